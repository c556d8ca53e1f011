#include "CWindowImplRoot.h"
#include <cwchar>
#include <utility>
#include "ModuleInstance.h"

namespace {

// The window property that carries the object; a property rather than
// GWLP_USERDATA so that a superclassed control's own use of it is untouched.
constexpr wchar_t kObjectProp[] = L"TorvaComtlWindowObject";

// The object whose window CreateWindowExW is creating on this thread; the
// window procedure binds it to the handle at the window's first message.
thread_local CWindowImplRoot* t_creating = nullptr;

} // namespace

ATOM RegisterComWndClass(ComWndClassInfo& info, WNDPROC proc) noexcept {
    if (info.atom) return info.atom;
    const HINSTANCE instance = ComtlModuleInstance();
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (info.baseClassName) {
        // A superclass: the base class's everything, our procedure and name.
        if (!::GetClassInfoExW(nullptr, info.baseClassName, &wc) &&
            !::GetClassInfoExW(instance, info.baseClassName, &wc))
            return 0;
        info.superProc = wc.lpfnWndProc;
    } else {
        wc.style = info.style;
        wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<const wchar_t*>(IDC_ARROW));
        wc.hbrBackground = info.background;
        info.superProc = ::DefWindowProcW;
    }
    const wchar_t* name = info.className;
    if (!name) {
        std::swprintf(info.generatedName, sizeof(info.generatedName) / sizeof(wchar_t),
                      L"TorvaWnd:%p", static_cast<void*>(&info));
        name = info.generatedName;
    }
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.lpszClassName = name;
    info.atom = ::RegisterClassExW(&wc);
    // Another module copy of the same code, or a class left registered by an
    // earlier instance of this DLL: reuse it.
    if (!info.atom && ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS) {
        WNDCLASSEXW existing{};
        existing.cbSize = sizeof(existing);
        info.atom = static_cast<ATOM>(::GetClassInfoExW(instance, name, &existing));
    }
    return info.atom;
}

CWindowImplRoot::~CWindowImplRoot() {
    // A window still alive would call into a destroyed object: cut it loose.
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        ::RemovePropW(m_hWnd, kObjectProp);
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_superProc));
    }
}

HWND CWindowImplRoot::CreateImpl(ComWndClassInfo& info, HWND parent, const RECT& rect,
                                 const wchar_t* name, DWORD style, DWORD exStyle,
                                 UINT id) noexcept {
    if (m_hWnd) return nullptr;
    const ATOM atom = RegisterComWndClass(info, &CWindowImplRoot::WindowProc);
    if (!atom) return nullptr;
    m_superProc = info.superProc;
    t_creating = this;
    const HWND window = ::CreateWindowExW(
        exStyle, MAKEINTATOM(atom), name, style, rect.left, rect.top, rect.right - rect.left,
        rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
        ComtlModuleInstance(), nullptr);
    t_creating = nullptr;
    return window;
}

LRESULT CWindowImplRoot::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    return ::CallWindowProcW(m_superProc, m_hWnd, msg, wParam, lParam);
}

LRESULT CALLBACK CWindowImplRoot::WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<CWindowImplRoot*>(::GetPropW(window, kObjectProp));
    if (!self && t_creating) {
        self = std::exchange(t_creating, nullptr);
        self->m_hWnd = window;
        ::SetPropW(window, kObjectProp, self);
    }
    // A window of our class made without Create has no object to answer.
    if (!self) return ::DefWindowProcW(window, msg, wParam, lParam);

    LRESULT result = 0;
    BOOL handled = FALSE;
    try {
        handled = self->ProcessWindowMessage(window, msg, wParam, lParam, result);
    } catch (...) {
        // No exception may unwind into the system's dispatcher.
        handled = FALSE;
    }
    if (msg == WM_NCDESTROY) {
        if (!handled) result = self->DefWindowProc(msg, wParam, lParam);
        ::RemovePropW(window, kObjectProp);
        self->m_hWnd = nullptr;
        try {
            self->OnFinalMessage(window);
        } catch (...) {
        }
        return result;
    }
    return handled ? result : self->DefWindowProc(msg, wParam, lParam);
}
