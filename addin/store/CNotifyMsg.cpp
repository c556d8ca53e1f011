#include "CNotifyMsg.h"
#include "WindowCentring.h"

#include "../ui/res/resource.h"

HWND CNotifyMsg::Create(HWND parent, HINSTANCE instance) noexcept {
    m_hWnd = nullptr;
    m_hParent = parent;
    m_hInstance = instance;
    const HWND window =
        ::CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_NOTIFYMSG), parent,
                             &CNotifyMsg::ProcNotifyMsg, reinterpret_cast<LPARAM>(this));
    m_hWnd = window;
    if (window) (void)CenterWindow(window);
    return window;
}

BOOL CNotifyMsg::IsShowWindow() const noexcept {
    const HWND window = Window();
    if (!window) return FALSE;
    return ::IsWindow(window);
}

void CNotifyMsg::Terminate() noexcept {
    const HWND window = m_hWnd.exchange(nullptr);
    if (!window || !::IsWindow(window)) return;
    if (::GetPropW(window, kPropName) != this) return;
    ::ShowWindow(window, SW_HIDE);
    ::SendMessageW(window, WM_CLOSE, 0, 0);
}

BOOL CNotifyMsg::CenterWindow(HWND w) noexcept {
    return torva::CenterWindowOn(w, ::GetParent(w));
}

BOOL CNotifyMsg::ProcWM_INITDIALOG(HWND window) noexcept {
    ::ShowWindow(window, SW_SHOW);
    return TRUE;
}

INT_PTR CALLBACK CNotifyMsg::ProcNotifyMsg(HWND window, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        auto* self = reinterpret_cast<CNotifyMsg*>(lParam);
        ::SetPropW(window, kPropName, self);
        return self ? self->ProcWM_INITDIALOG(window) : TRUE;
    }
    case WM_CLOSE:
        ::RemovePropW(window, kPropName);
        ::DestroyWindow(window);
        return FALSE;
    case WM_NCDESTROY:
        // A window destroyed without WM_CLOSE must not leave its property behind.
        ::RemovePropW(window, kPropName);
        return FALSE;
    default:
        return FALSE;
    }
}
