#include "CWinThread.h"

#include <process.h>

#include <new>

#include "CCmdUI.h"
#include "CWnd.h"

CWinThread::~CWinThread() {
    if (m_hThread) ::CloseHandle(m_hThread);
    m_hThread = nullptr;
}

unsigned __stdcall CWinThread::ThreadEntry(void* param) {
    auto* self = static_cast<CWinThread*>(param);
    UINT code = 0;
    try {
        code = self->m_pfnThreadProc(self->m_pThreadParams);
    } catch (...) {
        // No exception may leave a thread procedure.
        code = static_cast<UINT>(-1);
    }
    // The flag is read after the function: the creator may clear it while
    // the thread is still suspended or running.
    if (self->m_bAutoDelete) delete self;
    return code;
}

BOOL CWinThread::CreateThread(DWORD createFlags, UINT stackSize, LPSECURITY_ATTRIBUTES security) {
    if (m_hThread || !m_pfnThreadProc) return FALSE;
    unsigned id = 0;
    // Always made suspended: the handle and id are stored before the thread
    // can run (and delete the object).
    const uintptr_t handle = ::_beginthreadex(security, stackSize, &CWinThread::ThreadEntry, this,
                                              createFlags | CREATE_SUSPENDED, &id);
    if (!handle) return FALSE;
    m_hThread = reinterpret_cast<HANDLE>(handle);
    m_nThreadID = id;
    if (!(createFlags & CREATE_SUSPENDED)) ::ResumeThread(m_hThread);
    return TRUE;
}

CWinThread* AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority, UINT stackSize,
                           DWORD createFlags, LPSECURITY_ATTRIBUTES security) {
    if (!proc) return nullptr;
    auto* thread = new (std::nothrow) CWinThread(proc, param);
    if (!thread) return nullptr;
    if (!thread->CreateThread(createFlags | CREATE_SUSPENDED, stackSize, security)) {
        delete thread;
        return nullptr;
    }
    ::SetThreadPriority(thread->m_hThread, priority);
    if (!(createFlags & CREATE_SUSPENDED)) ::ResumeThread(thread->m_hThread);
    return thread;
}

BOOL AfxPreTranslateWindows(MSG* msg) {
    // From the message's window up to its top-level window; a popup's
    // owner is not asked (its own messages are its business).
    for (HWND window = msg->hwnd; window; window = ::GetParent(window)) {
        if (CWnd* target = CWnd::FromHandlePermanent(window)) {
            if (target->PreTranslateMessage(msg)) return TRUE;
        }
        if (!(::GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD)) break;
    }
    return FALSE;
}

BOOL CWinThread::PreTranslateMessage(MSG* msg) {
    return AfxPreTranslateWindows(msg);
}

int CWinThread::Run() {
    m_bRunning = true;
    for (;;) {
        if (!::PeekMessageW(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE)) {
            // Idle: the main window brings its tool bar and indicators up to date.
            if (m_pMainWnd && m_pMainWnd->GetSafeHwnd())
                ::SendMessageW(m_pMainWnd->GetSafeHwnd(), WM_IDLEUPDATECMDUI, TRUE, 0);
            CWnd::DeleteTempMap();
            ::WaitMessage();
            continue;
        }
        const BOOL got = ::GetMessageW(&m_msgCur, nullptr, 0, 0);
        if (got <= 0) break;
        if (PreTranslateMessage(&m_msgCur)) continue;
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessageW(&m_msgCur);
    }
    m_bRunning = false;
    return ExitInstance();
}

int CWinThread::ExitInstance() {
    return m_msgCur.message == WM_QUIT ? static_cast<int>(m_msgCur.wParam) : 0;
}
