// CWinThread: a worker thread running a function. AfxBeginThread creates it
// suspended when asked (so the caller can clear m_bAutoDelete and resume
// it); with m_bAutoDelete FALSE the object and its handle outlive the thread,
// so the exit code can be polled with GetExitCodeThread(m_hThread) until the
// owner deletes the object. With m_bAutoDelete TRUE (the default) the object
// deletes itself when the function returns.
//
// CWinThread is also the base of CWinApp, whose thread runs the message loop.
#pragma once

#include <windows.h>

#include "CCmdTarget.h"

class CWnd;

using AFX_THREADPROC = UINT(__cdecl*)(LPVOID);

class CWinThread : public CCmdTarget {
public:
    CWinThread() = default;
    CWinThread(AFX_THREADPROC proc, LPVOID param) noexcept
        : m_pfnThreadProc(proc), m_pThreadParams(param) {}
    // Closes the thread handle (the thread itself is not stopped).
    ~CWinThread() override;

    // Starts the thread function; CREATE_SUSPENDED leaves it for ResumeThread.
    BOOL CreateThread(DWORD createFlags = 0, UINT stackSize = 0,
                      LPSECURITY_ATTRIBUTES security = nullptr);
    DWORD ResumeThread() noexcept { return ::ResumeThread(m_hThread); }
    DWORD SuspendThread() noexcept { return ::SuspendThread(m_hThread); }
    BOOL SetThreadPriority(int priority) noexcept {
        return ::SetThreadPriority(m_hThread, priority);
    }
    int GetThreadPriority() const noexcept { return ::GetThreadPriority(m_hThread); }
    operator HANDLE() const noexcept { return m_hThread; }

    // The message loop of a thread with windows (the application's).
    virtual BOOL InitInstance() { return FALSE; }
    virtual int ExitInstance();
    virtual int Run();
    // Offered every message of the loop before it is dispatched; the
    // default offers it to the windows from its target up to the top-level
    // window.
    virtual BOOL PreTranslateMessage(MSG* msg);
    // TRUE while Run's loop runs (the main window's end then ends it).
    bool IsInMessageLoop() const noexcept { return m_bRunning; }

    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    BOOL m_bAutoDelete = TRUE;
    CWnd* m_pMainWnd = nullptr;
    AFX_THREADPROC m_pfnThreadProc = nullptr;
    LPVOID m_pThreadParams = nullptr;

protected:
    MSG m_msgCur{}; // the last message the loop took (WM_QUIT's wParam is the exit code)
    bool m_bRunning = false;

private:
    static unsigned __stdcall ThreadEntry(void* self);
};

// Creates a worker thread running proc(param); null when it cannot start.
CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority = THREAD_PRIORITY_NORMAL,
                           UINT stackSize = 0, DWORD createFlags = 0,
                           LPSECURITY_ATTRIBUTES security = nullptr);

// The loop's message dispatch with PreTranslateMessage, shared by the
// application's loop and the dialogs' modal loops: offers msg to the windows
// from its target window up to its top-level window; TRUE when one took it.
BOOL AfxPreTranslateWindows(MSG* msg);
