// Asks, during filling in, whether a stored entry whose form has changed is
// to be registered again; the user may also ask not to be asked again.
// UI thread only.
#pragma once

#include "CAxDialogImpl.h"
#include "DpiScale.h"
#include "res/resource.h"

#include <windows.h>

#include <cstdint>

class CChangeEntryDlg : public CAxDialogImpl<CChangeEntryDlg> {
public:
    enum { IDD = IDD_CHANGEENTRY };

    CChangeEntryDlg() = default;

    // 1 when "do not ask again" was ticked as the dialog closed.
    std::int32_t DoNotAsk() const noexcept { return m_nDoNotAsk; }
    // 1 after "はい", 0 after "いいえ".
    std::int32_t Yes() const noexcept { return m_nYes; }

    BEGIN_MSG_MAP(CChangeEntryDlg)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    COMMAND_HANDLER(IDOK, BN_CLICKED, OnClickedYes)
    COMMAND_HANDLER(IDCANCEL, BN_CLICKED, OnClickedNo)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    END_MSG_MAP()

    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClickedYes(WORD, WORD, HWND, BOOL&);
    LRESULT OnClickedNo(WORD, WORD, HWND, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&) { return 1; }

private:
    void ReadDoNotAsk() noexcept;

    DpiScale m_scale;
    std::int32_t m_nDoNotAsk = 0;
    std::int32_t m_nYes = 0;
};
