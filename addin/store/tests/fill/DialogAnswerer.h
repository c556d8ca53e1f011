// Answers the modal dialogs that code under test opens on the test thread,
// as a user would, for the whole life of the object: a watcher thread looks
// for visible dialogs of the test thread, runs the answer set for their
// caption and counts them. A dialog without an answer is cancelled and
// counted too, so an unexpected question never leaves the test in a modal
// loop for ever.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>

class DialogAnswerer {
public:
    using Answer = std::function<void(HWND dialog)>;

    DialogAnswerer();
    ~DialogAnswerer();
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    // What to do when a dialog with this caption shows (watcher thread).
    void Set(const std::wstring& caption, Answer answer);
    // How many dialogs with this caption were shown so far.
    int Seen(const std::wstring& caption) const;
    // Captions of every dialog shown, in order.
    std::wstring Log() const;

    // Script helpers: tick a check box, press a button (BM_CLICK).
    static void Tick(HWND dialog, int id);
    static void Press(HWND dialog, int id);

private:
    void Watch();
    void Handle(HWND dialog);

    DWORD m_testThread;
    mutable std::mutex m_lock;
    std::map<std::wstring, Answer> m_answers;
    std::map<std::wstring, int> m_seen;
    std::wstring m_log;
    std::set<HWND> m_handled;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
