// The user of a dialog under test: a thread that waits for the test
// thread's dialog with a given caption to show, then runs a script on it as
// a user would (type text, press buttons, press keys). A dialog the script
// leaves open is closed with cancel, so a failing test does not hang.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

class FxUser {
public:
    using Script = std::function<void(HWND dialog)>;

    FxUser(std::wstring caption, Script script);
    ~FxUser();
    FxUser(const FxUser&) = delete;
    FxUser& operator=(const FxUser&) = delete;

    // Waits for the script to end; TRUE when the dialog was found.
    bool Join();
    bool LeftOpen() const noexcept { return m_leftOpen; }

    static std::wstring Text(HWND window);
    static void Type(HWND dialog, int id, const wchar_t* text);
    // A press of the button: has taken effect when it returns.
    static void Press(HWND dialog, int id);
    // A key pressed and released in the window (posted, as the keyboard does).
    static void Key(HWND window, UINT virtualKey);
    static bool WaitUntilGone(HWND window, DWORD timeoutMs);
    // The visible top-level window of thread with this caption, or null.
    static HWND FindThreadWindow(DWORD thread, const std::wstring& caption, DWORD timeoutMs);
    // A drop as the shell makes it: DROPFILES followed by the wide names,
    // each zero-terminated, and one more zero. DropIsFreed: the receiver
    // has finished it.
    static HDROP MakeDrop(const std::vector<std::wstring>& names);
    static bool DropIsFreed(HDROP drop);

private:
    void Run(const Script& script);

    std::wstring m_caption;
    DWORD m_testThread;
    bool m_found = false;
    bool m_leftOpen = false;
    std::thread m_thread;
};
