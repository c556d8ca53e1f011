// Owners for the device contexts and selections the view and the screenshot
// use, so every GetDC has its ReleaseDC and every SelectObject its undo.
#pragma once

#include <Win32Handles.h>

namespace torva::browser {

// GetDC / ReleaseDC of one window (the screen for null).
class WindowDC {
public:
    explicit WindowDC(HWND hwnd) noexcept : m_hwnd(hwnd), m_dc(GetDC(hwnd)) {}
    ~WindowDC() {
        if (m_dc) ReleaseDC(m_hwnd, m_dc);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const noexcept { return m_dc; }

private:
    HWND m_hwnd;
    HDC m_dc;
};

struct MemoryDCTraits { // CreateCompatibleDC
    static HDC Invalid() noexcept { return nullptr; }
    static bool IsValid(HDC dc) noexcept { return dc != nullptr; }
    static void Close(HDC dc) noexcept { DeleteDC(dc); }
};
using UniqueMemoryDC = UniqueResource<HDC, MemoryDCTraits>;

// Selects an object into a DC for the scope.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ obj) noexcept : m_dc(dc), m_old(SelectObject(dc, obj)) {}
    ~SelectedObject() { SelectObject(m_dc, m_old); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

} // namespace torva::browser
