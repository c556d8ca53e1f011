// The small modeless notice "データを更新しています。お待ちください。" that a
// dialog shows while its worker thread writes to the database.
//
// Threads: Create, Terminate and the dialog procedure run on the UI thread
// that owns the calling dialog. IsShowWindow may be called from the worker
// thread: it reads the handle once, without a lock.
#pragma once

#include <windows.h>

#include <atomic>

class CNotifyMsg {
public:
    // The window property that ties a notice window to its object.
    static constexpr const wchar_t* kPropName = L"IEMILTEY_NOTIFYMSG_PROPNAME";

    CNotifyMsg() noexcept = default;
    CNotifyMsg(const CNotifyMsg&) = delete;
    CNotifyMsg& operator=(const CNotifyMsg&) = delete;

    // Makes the window from template 137 of instance, centres it on parent
    // (the work area without one) and shows it. Null on failure, which is
    // not reported further.
    HWND Create(HWND parent, HINSTANCE instance) noexcept;
    // FALSE without a window; else whether the handle still names a window
    // (a window closed from elsewhere answers FALSE).
    BOOL IsShowWindow() const noexcept;
    // Closes the window if it still exists and is still this object's (the
    // handle may be dead, or reused by another window); forgets it always.
    void Terminate() noexcept;
    // Centres w on its parent's window rectangle, or on the work area.
    static BOOL CenterWindow(HWND w) noexcept;

    HWND Window() const noexcept { return m_hWnd.load(std::memory_order_relaxed); }

private:
    static INT_PTR CALLBACK ProcNotifyMsg(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL ProcWM_INITDIALOG(HWND window) noexcept;

    std::atomic<HWND> m_hWnd{nullptr};
    HWND m_hParent = nullptr;
    HINSTANCE m_hInstance = nullptr;
};
