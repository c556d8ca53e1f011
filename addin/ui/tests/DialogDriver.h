// Plays a user in front of a modal dialog: a script runs on a thread of its
// own while the test thread sits in the dialog's modal loop, finds the
// dialog by its caption, sets controls and presses buttons the way the
// mouse would reach them (BM_CLICK on the button).
//
// A script that fails part way must not leave the test thread in the modal
// loop for ever: when the script returns and the dialog is still open after
// a grace period, the driver closes its message boxes and cancels it, and
// LeftOpen() tells the test.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>
#include <thread>

class DialogDriver {
public:
    using Script = std::function<void(DialogDriver&)>;

    // caption: the dialog to wait for on the calling (test) thread.
    DialogDriver(std::wstring caption, Script script);
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // The dialog, once it is shown; null if it never appeared.
    HWND Dialog() const noexcept { return m_dialog.load(); }
    bool LeftOpen() const noexcept { return m_leftOpen.load(); }
    // Waits until the script has run.
    void Join();

    // Helpers for scripts (they run on the driver thread).
    // Clicks the button id of dialog as the mouse would.
    static void Click(HWND dialog, int id);
    // A message box owned by owner, once it shows; null after timeoutMs.
    static HWND WaitForMessageBox(HWND owner, DWORD timeoutMs = 5000);
    // The texts of a message box's static controls, joined by '\n'.
    static std::wstring MessageBoxText(HWND box);
    // The icon a message box shows; null without one.
    static HICON MessageBoxIcon(HWND box);
    // Presses the message box's only button and waits until it is gone.
    static bool DismissMessageBox(HWND box, DWORD timeoutMs = 5000);
    static bool WaitUntilGone(HWND window, DWORD timeoutMs);
    static std::wstring Text(HWND window);
    // The top-level windows of a thread, in the order the system lists them.
    static std::vector<HWND> ThreadWindows(DWORD thread);

private:
    void Run(const Script& script);
    HWND WaitForDialog(DWORD timeoutMs) const;
    void ForceClose(HWND dialog);

    std::wstring m_caption;
    DWORD m_testThread;
    std::atomic<HWND> m_dialog{nullptr};
    std::atomic<bool> m_leftOpen{false};
    std::thread m_thread;
};
