#pragma once
#include <windows.h>
#include "CMessageMap.h"
#include "CWindow.h"
#include "MessageMap.h"

// What a window class needs for registration. className null gets a name
// made from the structure's address; baseClassName names the class being
// superclassed (its procedure then receives what the map leaves).
struct ComWndClassInfo {
    const wchar_t* className;
    const wchar_t* baseClassName;
    UINT style;
    HBRUSH background;
    ATOM atom;         // filled by the first registration
    WNDPROC superProc; // the base class's procedure, or DefWindowProcW
    wchar_t generatedName[32];
};

#define DECLARE_WND_CLASS(name)                                                                    \
    static ComWndClassInfo& GetWndClassInfo() noexcept {                                           \
        static ComWndClassInfo info{name,                                                          \
                                    nullptr,                                                       \
                                    CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS,                          \
                                    reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1),                    \
                                    0,                                                             \
                                    nullptr,                                                       \
                                    {}};                                                           \
        return info;                                                                               \
    }
#define DECLARE_WND_SUPERCLASS(name, baseName)                                                     \
    static ComWndClassInfo& GetWndClassInfo() noexcept {                                           \
        static ComWndClassInfo info{name, baseName, 0, nullptr, 0, nullptr, {}};                   \
        return info;                                                                               \
    }

// The part of CWindowImpl that does not depend on the derived class: class
// registration, creation and the window procedure that feeds the map. The
// object must outlive its window; OnFinalMessage runs after WM_NCDESTROY,
// when the handle has been cleared, and may delete the object.
class CWindowImplRoot : public CWindow, public CMessageMap {
public:
    CWindowImplRoot() = default;
    CWindowImplRoot(const CWindowImplRoot&) = delete;
    CWindowImplRoot& operator=(const CWindowImplRoot&) = delete;

    // The procedure the map's unhandled messages go to.
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
    virtual void OnFinalMessage(HWND) {}

protected:
    ~CWindowImplRoot();

    HWND CreateImpl(ComWndClassInfo& info, HWND parent, const RECT& rect, const wchar_t* name,
                    DWORD style, DWORD exStyle, UINT id) noexcept;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

    WNDPROC m_superProc = ::DefWindowProcW;
};

// Registers info's class once per process; 0 on failure.
[[nodiscard]] ATOM RegisterComWndClass(ComWndClassInfo& info, WNDPROC proc) noexcept;
