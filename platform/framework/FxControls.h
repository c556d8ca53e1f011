// Wrappers of the standard controls for the few calls programs make on them.
// They add no members to CWnd, so a dialog item (GetDlgItem) may be used as
// one of them, as the conventional framework allows.
#pragma once

#include "CWnd.h"

class CButton : public CWnd {
public:
    int GetCheck() const noexcept { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int check) noexcept { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
};

class CEdit : public CWnd {
public:
    void SetLimitText(UINT limit) noexcept { SendMessage(EM_LIMITTEXT, limit); }
    void SetSel(int start, int end) noexcept {
        SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end);
    }
};

class CStatic : public CWnd {};
