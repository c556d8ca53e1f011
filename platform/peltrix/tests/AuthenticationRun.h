// Drives the PIN dialog as a user would, from the test's thread, while the
// authentication runs on a thread of its own (the dialog's modal loop blocks
// that thread). Windows are found with EnumThreadWindows on that thread only,
// so dialogs of other test processes on the same desktop never interfere.
#pragma once

#include <windows.h>

#include <functional>
#include <future>
#include <string>
#include <thread>

class AuthenticationRun {
public:
    // body runs on the new thread; its result is the run's result.
    explicit AuthenticationRun(std::function<DWORD()> body);
    // Closes whatever dialog is still open and joins the thread.
    ~AuthenticationRun();
    AuthenticationRun(const AuthenticationRun&) = delete;
    AuthenticationRun& operator=(const AuthenticationRun&) = delete;

    // Polls for the thread's dialog; null when none appeared in time.
    HWND WaitForDialog(DWORD timeoutMs = 15000) const;
    // Types into the PIN field and presses OK (or Cancel).
    static void TypePin(HWND dialog, const std::wstring& pin);
    static void Press(HWND dialog, int buttonId);
    static std::wstring ControlText(HWND dialog, int controlId);

    // True and the result when the body returned in time.
    bool WaitForResult(DWORD& result, DWORD timeoutMs = 15000);

private:
    HWND FindDialog() const;

    std::promise<DWORD> m_threadIdPromise;
    DWORD m_threadId = 0;
    std::shared_future<DWORD> m_result;
    std::thread m_thread;
};

// Runs body on the calling thread and counts the windows it creates;
// created is -1 when the counting hook could not be installed.
DWORD CountWindowsCreated(const std::function<DWORD()>& body, int& created);
