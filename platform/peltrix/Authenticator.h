// TvrAuth_AuthenticateUser's work, for one settings root.
//
// Only the user at the dialog answers: TVRAUTH_E_NO_PIN without any dialog
// when no PIN is set, otherwise the modal PinDialog on the calling thread,
// owned by that thread's active (or foreground) window if it has one. No
// setting answers in advance: anything the user's own processes can write
// (the registry below HKCU, a file) could be written by any program the user
// runs, so no such value may stand in for the PIN.
// The call blocks until the user answers; the caller's thread must be able to
// run a modal message loop.
#pragma once

#include <windows.h>

#include <string>

namespace peltrix {

class Authenticator {
public:
    explicit Authenticator(std::wstring settingsRoot) : m_root(std::move(settingsRoot)) {}

    [[nodiscard]] DWORD Authenticate(DWORD authCase) const;

    // The reason text shown for a case.
    static std::wstring ReasonText(DWORD authCase);
    // The calling thread's active window, else the foreground window when it
    // belongs to this thread, as a top-level window; null when there is none.
    static HWND OwnerForCallingThread();

private:
    std::wstring m_root;
};

} // namespace peltrix
