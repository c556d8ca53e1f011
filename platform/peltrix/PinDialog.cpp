#include "PinDialog.h"

#include "Peltrix.h"
#include "ResourceModule.h"
#include "StoreFormat.h"
#include "resource.h"

#include <vector>

namespace peltrix {

DWORD PinDialog::Show(HWND owner) {
    m_attempts = 0;
    const INT_PTR result = ::DialogBoxParamW(ResourceModule(), MAKEINTRESOURCEW(IDD_PIN), owner,
                                             &PinDialog::Procedure, reinterpret_cast<LPARAM>(this));
    if (result == -1) return TVRAUTH_E_INTERNAL;
    return static_cast<DWORD>(result);
}

INT_PTR CALLBACK PinDialog::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    // Nothing may unwind through the dialog manager's frames.
    try {
        if (message == WM_INITDIALOG) {
            ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        }
        auto* self = reinterpret_cast<PinDialog*>(::GetWindowLongPtrW(dialog, DWLP_USER));
        if (self == nullptr) return FALSE;
        return self->Handle(dialog, message, wParam);
    } catch (...) {
        ::EndDialog(dialog, TVRAUTH_E_INTERNAL);
        return TRUE;
    }
}

INT_PTR PinDialog::Handle(HWND dialog, UINT message, WPARAM wParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInit(dialog);
        // Focus goes to the first tab stop, the PIN field.
        return TRUE;
    case WM_DESTROY:
        ::RemovePropW(dialog, kAuthCaseProperty);
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            OnOk(dialog);
            return TRUE;
        case IDCANCEL: // also Esc and the close box
            ::EndDialog(dialog, TVRAUTH_E_CANCELLED);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

void PinDialog::OnInit(HWND dialog) {
    ::SetDlgItemTextW(dialog, IDC_REASON, m_reason.c_str());
    ::SetPropW(dialog, kAuthCaseProperty,
               reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(m_authCase)));
    ::SendDlgItemMessageW(dialog, IDC_PIN, EM_LIMITTEXT, kMaxPinChars, 0);
    // The caller may be a background program (the relay); the user must see
    // the request above whatever window has the focus.
    ::SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetForegroundWindow(dialog);
}

std::wstring PinDialog::TakePin(HWND dialog) {
    HWND edit = ::GetDlgItem(dialog, IDC_PIN);
    const int length = ::GetWindowTextLengthW(edit);
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length > 0 ? length : 0) + 1);
    const int copied = ::GetWindowTextW(edit, buffer.data(), static_cast<int>(buffer.size()));
    std::wstring pin(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
    SecureZeroMemory(buffer.data(), buffer.size() * sizeof(wchar_t));
    // The typed text leaves the control as soon as it has been read.
    ::SetWindowTextW(edit, L"");
    return pin;
}

void PinDialog::OnOk(HWND dialog) {
    std::wstring pin = TakePin(dialog);
    const DWORD result = m_checker(pin);
    if (!pin.empty()) SecureZeroMemory(&pin[0], pin.size() * sizeof(wchar_t));

    if (result != TVRAUTH_E_WRONG_PIN) {
        ::EndDialog(dialog, static_cast<INT_PTR>(result));
        return;
    }
    if (++m_attempts >= kMaxAttempts) {
        ::EndDialog(dialog, TVRAUTH_E_WRONG_PIN);
        return;
    }
    ::SetDlgItemTextW(dialog, IDC_MESSAGE, LoadResourceString(IDS_WRONG_PIN).c_str());
    ::SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(dialog, IDC_PIN)),
                   TRUE);
}

} // namespace peltrix
