// Asks, after a form was submitted, whether the page's data is to be
// registered ("登録確認"); the user may switch the question off for good,
// which clears the option CHECKSET.
//
// Use: construct, DoModal with the active window as owner (IDOK after
// "はい", IDCANCEL after "いいえ", Escape or the close box), then read
// Result(): anything but 1 means No. UI thread only.
#pragma once

#include "CAxDialogImpl.h"
#include "CExpData.h"
#include "res/resource.h"

#include <windows.h>

#include <cstdint>

class CAutoEntryDlg : public CAxDialogImpl<CAutoEntryDlg> {
public:
    enum { IDD = IDD_AUTOENTRY };

    CAutoEntryDlg() = default;

    // 1 after "はい", 0 otherwise.
    std::int32_t Result() const noexcept { return m_nResult; }

    BEGIN_MSG_MAP(CAutoEntryDlg)
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
    // With "do not ask again" ticked: CHECKSET 0 written over the options
    // as they are stored now. Nothing is written when they cannot be read
    // (the defaults would replace the user's other options); the answer
    // stands either way.
    void StopAsking() noexcept;

    CExpData m_store;
    std::int32_t m_nResult = 0;
};
