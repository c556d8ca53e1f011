#include "AxHostWindow.h"
#include <string>
#include "CAxHostSite.h"
#include "ModuleInstance.h"

namespace {

UINT g_getHostMessage = 0;
UINT g_getControlMessage = 0;

CComObject<CAxHostSite>* SiteOf(HWND window) {
    return reinterpret_cast<CComObject<CAxHostSite>*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

std::wstring WindowText(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

LRESULT OnCreate(HWND window) {
    CComObject<CAxHostSite>* site = nullptr;
    if (FAILED(CComObject<CAxHostSite>::CreateInstance(&site))) return -1;
    site->AddRef(); // the window's reference, given back at WM_DESTROY
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(site));
    const std::wstring name = WindowText(window);
    // An empty or unknown name leaves an empty host, as a dialog may still
    // want the window; the control message then answers 0.
    if (!name.empty() && FAILED(site->CreateControl(window, name.c_str()))) site->DestroyControl();
    return 0;
}

void OnDestroy(HWND window) {
    CComObject<CAxHostSite>* site = SiteOf(window);
    if (!site) return;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    site->DestroyControl();
    site->Release();
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    try {
        if (msg == WM_CREATE) return OnCreate(window);
        if (msg == WM_DESTROY) {
            OnDestroy(window);
        } else if (msg == WM_SIZE) {
            if (CComObject<CAxHostSite>* site = SiteOf(window))
                site->Resize(RECT{0, 0, LOWORD(lParam), HIWORD(lParam)});
        } else if (msg != 0 && msg == g_getHostMessage) {
            CComObject<CAxHostSite>* site = SiteOf(window);
            return site ? reinterpret_cast<LRESULT>(static_cast<IOleClientSite*>(site)) : 0;
        } else if (msg != 0 && msg == g_getControlMessage) {
            CComObject<CAxHostSite>* site = SiteOf(window);
            return site ? reinterpret_cast<LRESULT>(site->Control()) : 0;
        }
    } catch (...) {
        // No exception may unwind into the system's dispatcher.
        if (msg == WM_CREATE) return -1;
    }
    return ::DefWindowProcW(window, msg, wParam, lParam);
}

} // namespace

BOOL AxHostWindowInit() noexcept {
    g_getHostMessage = ::RegisterWindowMessageW(L"WM_ATLGETHOST");
    g_getControlMessage = ::RegisterWindowMessageW(L"WM_ATLGETCONTROL");
    if (!g_getHostMessage || !g_getControlMessage) return FALSE;
    const HINSTANCE instance = ComtlModuleInstance();
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExW(instance, kAxHostWindowClass, &existing)) return TRUE;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = HostWindowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<const wchar_t*>(IDC_ARROW));
    wc.lpszClassName = kAxHostWindowClass;
    return ::RegisterClassExW(&wc) != 0;
}

UINT AxHostGetHostMessage() noexcept {
    return g_getHostMessage;
}
UINT AxHostGetControlMessage() noexcept {
    return g_getControlMessage;
}
