#include "CDataExchange.h"

#include <cwchar>

#include "CWnd.h"

HWND CDataExchange::PrepareCtrl(int id) noexcept {
    const HWND control = ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
    if (control) m_hWndLastControl = control;
    return control;
}

void CDataExchange::Fail() {
    if (m_bSaveAndValidate && m_hWndLastControl) {
        ::SetFocus(m_hWndLastControl);
        ::SendMessageW(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    throw FxDataExchangeFailure{};
}

void DDX_Text(CDataExchange* dx, int id, CString& value) {
    const HWND control = dx->PrepareCtrl(id);
    if (!control) return;
    CWnd wrapper;
    wrapper.m_hWnd = control;
    if (dx->m_bSaveAndValidate) {
        wrapper.GetWindowText(value);
    } else {
        wrapper.SetWindowText(value);
    }
    wrapper.m_hWnd = nullptr;
}

void DDX_Text(CDataExchange* dx, int id, int& value) {
    const HWND control = dx->PrepareCtrl(id);
    if (!control) return;
    if (!dx->m_bSaveAndValidate) {
        wchar_t text[16] = {};
        std::swprintf(text, 16, L"%d", value);
        ::SetWindowTextW(control, text);
        return;
    }
    BOOL ok = FALSE;
    const int got = static_cast<int>(::GetDlgItemInt(dx->m_pDlgWnd->m_hWnd, id, &ok, TRUE));
    if (!ok) {
        ::MessageBeep(MB_ICONEXCLAMATION);
        dx->Fail();
    }
    value = got;
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
    const HWND control = dx->PrepareCtrl(id);
    if (!control) return;
    if (dx->m_bSaveAndValidate) {
        value = static_cast<int>(::SendMessageW(control, BM_GETCHECK, 0, 0));
    } else {
        // Out-of-range values read as unchecked rather than reaching the button.
        const int state =
            value == BST_CHECKED || value == BST_INDETERMINATE ? value : BST_UNCHECKED;
        ::SendMessageW(control, BM_SETCHECK, static_cast<WPARAM>(state), 0);
    }
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (control.m_hWnd) return;
    const HWND item = dx->PrepareCtrl(id);
    if (!item) return;
    // A control cannot be bound twice (another object holds it): the
    // member then stays unbound.
    (void)control.SubclassWindow(item);
}
