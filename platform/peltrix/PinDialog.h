// The modal PIN dialog (IDD_PIN). It runs its own modal loop on the calling
// thread and gives the user kMaxAttempts tries; after each wrong one it says
// so and clears the field. While it is open the window carries the
// authentication case as the property kAuthCaseProperty, so that assistive
// tools (and a user's own automation that types the PIN) can tell one
// request from another when several are open; it grants nothing by itself.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace peltrix {

class PinDialog {
public:
    static constexpr int kMaxAttempts = 3;
    static constexpr wchar_t kAuthCaseProperty[] = L"PeltrixAuthCase";

    // Answers TVRAUTH_OK for the right PIN, TVRAUTH_E_WRONG_PIN for a wrong
    // one; any other answer closes the dialog with that result. It is called
    // on the dialog's thread; an exception closes the dialog with
    // TVRAUTH_E_INTERNAL.
    using Checker = std::function<DWORD(const std::wstring& pin)>;

    PinDialog(DWORD authCase, std::wstring reason, Checker checker)
        : m_authCase(authCase), m_reason(std::move(reason)), m_checker(std::move(checker)) {}
    PinDialog(const PinDialog&) = delete;
    PinDialog& operator=(const PinDialog&) = delete;

    // owner may be null. TVRAUTH_OK, TVRAUTH_E_WRONG_PIN after the last wrong
    // attempt, TVRAUTH_E_CANCELLED, or TVRAUTH_E_INTERNAL when the dialog
    // could not be shown.
    [[nodiscard]] DWORD Show(HWND owner);

private:
    static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(HWND dialog, UINT message, WPARAM wParam);
    void OnInit(HWND dialog);
    void OnOk(HWND dialog);
    static std::wstring TakePin(HWND dialog);

    DWORD m_authCase;
    std::wstring m_reason;
    Checker m_checker;
    int m_attempts = 0;
};

} // namespace peltrix
