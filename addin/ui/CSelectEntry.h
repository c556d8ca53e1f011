// Asks whether a page that already has stored data gets an additional entry
// or overwrites the stored one. OK without touching the choice means "add".
//
// The dialog holds a counted store of its own for its whole life, so the
// relay program is running (and is started, for the first store of the
// process) while the user decides. UI thread only.
#pragma once

#include "CAxDialogImpl.h"
#include "CExpData.h"
#include "DpiScale.h"
#include "res/resource.h"

#include <windows.h>

#include <cstdint>

class CSelectEntry : public CAxDialogImpl<CSelectEntry> {
public:
    enum { IDD = IDD_SELECTENTRY };

    CSelectEntry() = default;

    // 1 after OK, 0 after cancel.
    std::int32_t Result() const noexcept { return m_nResult; }
    // 1 when "overwrite" was chosen (meaningful after OK).
    std::int32_t Overwrite() const noexcept { return m_nOverwrite; }

    BEGIN_MSG_MAP(CSelectEntry)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    COMMAND_HANDLER(IDOK, BN_CLICKED, OnClickedOK)
    COMMAND_HANDLER(IDCANCEL, BN_CLICKED, OnClickedCancel)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    END_MSG_MAP()

    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClickedOK(WORD, WORD, HWND, BOOL&);
    LRESULT OnClickedCancel(WORD, WORD, HWND, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&) { return 1; }

private:
    CExpData m_store;
    DpiScale m_scale;
    std::int32_t m_nResult = 0;
    std::int32_t m_nOverwrite = 0;
};
