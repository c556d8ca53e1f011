#pragma once
#include <windows.h>

// A window handle with the few operations the add-in's window classes use.
// Does not own the window: destroying it is DestroyWindow's job.
class CWindow {
public:
    CWindow() = default;
    explicit CWindow(HWND window) noexcept : m_hWnd(window) {}

    operator HWND() const noexcept { return m_hWnd; }
    BOOL IsWindow() const noexcept { return ::IsWindow(m_hWnd); }
    BOOL DestroyWindow() noexcept { return ::DestroyWindow(m_hWnd); }
    HWND GetDlgItem(int id) const noexcept { return ::GetDlgItem(m_hWnd, id); }
    HWND GetParent() const noexcept { return ::GetParent(m_hWnd); }
    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const noexcept {
        return ::SendMessageW(m_hWnd, msg, wParam, lParam);
    }
    BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const noexcept {
        return ::PostMessageW(m_hWnd, msg, wParam, lParam);
    }
    BOOL SetWindowText(const wchar_t* text) noexcept { return ::SetWindowTextW(m_hWnd, text); }
    BOOL ShowWindow(int show) noexcept { return ::ShowWindow(m_hWnd, show); }
    BOOL EnableWindow(BOOL enable) noexcept { return ::EnableWindow(m_hWnd, enable); }
    BOOL GetClientRect(RECT* rect) const noexcept { return ::GetClientRect(m_hWnd, rect); }

    HWND m_hWnd = nullptr;
};
