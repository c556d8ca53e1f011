#include "CWnd.h"

#include "AxHostWindow.h"
#include "CDataExchange.h"
#include "CMenu.h"
#include "CWinApp.h"
#include "FxThreadState.h"
#include "ModuleInstance.h"

namespace {

// The window property that carries a window's permanent object. A property
// rather than GWLP_USERDATA, so a subclassed control's own use of that is
// untouched.
constexpr wchar_t kObjectProp[] = L"TorvaFxWindowObject";

// UpdateData asked for by another thread: wParam is the save flag; the
// answer is UpdateData's result.
UINT UpdateDataMessage() noexcept {
    static const UINT message = ::RegisterWindowMessageW(L"TorvaFxUpdateData");
    return message;
}

LRESULT CALLBACK CreateHook(int code, WPARAM wParam, LPARAM lParam) {
    FxThreadState& state = FxGetThreadState();
    if (code == HCBT_CREATEWND && state.creating) {
        CWnd* target = state.creating;
        state.creating = nullptr;
        (void)target->SubclassWindow(reinterpret_cast<HWND>(wParam));
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

FxThreadState& FxGetThreadState() {
    thread_local FxThreadState state;
    return state;
}

CWnd::~CWnd() {
    if (!m_hWnd || this == &wndTop || this == &wndBottom || this == &wndTopMost ||
        this == &wndNoTopMost)
        return;
    if (m_superProc && ::IsWindow(m_hWnd)) {
        // Still bound to a live window: it goes with its object.
        ::DestroyWindow(m_hWnd);
    }
    if (m_hWnd) UnbindPermanent();
}

CWnd* CWnd::FromHandlePermanent(HWND window) noexcept {
    if (!window) return nullptr;
    return static_cast<CWnd*>(::GetPropW(window, kObjectProp));
}

CWnd* CWnd::FromHandle(HWND window) {
    if (!window) return nullptr;
    if (CWnd* permanent = FromHandlePermanent(window)) return permanent;
    auto& temporaries = FxGetThreadState().temporaries;
    auto& slot = temporaries[window];
    if (!slot) {
        slot = std::make_unique<CWnd>();
        slot->m_hWnd = window;
    }
    return slot.get();
}

void CWnd::DeleteTempMap() noexcept {
    CMenu::DeleteTempMap();
    auto& temporaries = FxGetThreadState().temporaries;
    for (auto it = temporaries.begin(); it != temporaries.end();) {
        if (::IsWindow(it->first)) {
            ++it;
            continue;
        }
        it->second->m_hWnd = nullptr; // a wrapper never destroys what it wraps
        it = temporaries.erase(it);
    }
}

BOOL CWnd::BindPermanent(HWND window, bool subclass) noexcept {
    if (!window || m_hWnd || FromHandlePermanent(window)) return FALSE;
    if (!::SetPropW(window, kObjectProp, this)) return FALSE;
    m_hWnd = window;
    if (subclass) {
        m_superProc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FxWindowProc)));
    }
    return TRUE;
}

void CWnd::UnbindPermanent() noexcept {
    if (!m_hWnd) return;
    if (::IsWindow(m_hWnd)) {
        if (m_superProc &&
            reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC)) == &FxWindowProc)
            ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_superProc));
        if (::GetPropW(m_hWnd, kObjectProp) == this) ::RemovePropW(m_hWnd, kObjectProp);
    }
    m_superProc = nullptr;
    m_hWnd = nullptr;
}

BOOL CWnd::Attach(HWND window) noexcept {
    return BindPermanent(window, false);
}

HWND CWnd::Detach() noexcept {
    const HWND window = m_hWnd;
    if (window && ::GetPropW(window, kObjectProp) == this) ::RemovePropW(window, kObjectProp);
    m_hWnd = nullptr;
    return window;
}

BOOL CWnd::SubclassWindow(HWND window) noexcept {
    return BindPermanent(window, true);
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) noexcept {
    if (!parent) return FALSE;
    return SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow() noexcept {
    const HWND window = m_hWnd;
    UnbindPermanent();
    return window;
}

BOOL CWnd::Create(const wchar_t* className, const wchar_t* windowName, DWORD style,
                  const RECT& rect, CWnd* parent, UINT id) {
    return CreateEx(0, className, windowName, style | WS_CHILD, rect, parent, id);
}

BOOL CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                    const RECT& rect, CWnd* parent, UINT id, void* param) {
    CREATESTRUCTW cs{};
    cs.dwExStyle = exStyle;
    cs.lpszClass = className;
    cs.lpszName = windowName;
    cs.style = static_cast<LONG>(style);
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.right - rect.left;
    cs.cy = rect.bottom - rect.top;
    cs.hwndParent = parent ? parent->m_hWnd : nullptr;
    cs.hMenu = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)) : nullptr;
    cs.lpCreateParams = param;
    return CreateFromStruct(cs);
}

BOOL CWnd::CreateFromStruct(const CREATESTRUCTW& cs) {
    if (m_hWnd) return FALSE;
    FxThreadState& state = FxGetThreadState();
    state.creating = this;
    const HHOOK hook = ::SetWindowsHookExW(WH_CBT, &CreateHook, nullptr, ::GetCurrentThreadId());
    const HWND window = ::CreateWindowExW(
        cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x, cs.y, cs.cx,
        cs.cy, cs.hwndParent, cs.hMenu, ComtlModuleInstance(), cs.lpCreateParams);
    if (hook) ::UnhookWindowsHookEx(hook);
    state.creating = nullptr;
    if (!window) return FALSE;
    // Without the hook the window is bound now, past its creation messages.
    if (!m_hWnd) return SubclassWindow(window);
    return TRUE;
}

BOOL CWnd::CreateControl(REFCLSID clsid, const wchar_t*, DWORD style, const RECT& rect,
                         CWnd* parent, UINT id) {
    if (!AxHostGetControlMessage()) return FALSE; // no control container
    wchar_t name[64] = {};
    if (!::StringFromGUID2(clsid, name, 64)) return FALSE;
    if (!CreateEx(0, kAxHostWindowClass, name, style | WS_CHILD, rect, parent, id)) return FALSE;
    if (GetControlUnknown()) return TRUE;
    DestroyWindow(); // the host stands but the control could not be made
    return FALSE;
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    const bool routed = m_superProc != nullptr;
    const BOOL destroyed = ::DestroyWindow(m_hWnd);
    // An attached window's messages never reached us: let go here.
    if (!routed && m_hWnd && !::IsWindow(m_hWnd)) UnbindPermanent();
    return destroyed;
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_COMMAND) {
        *result = 0;
        return OnCommand(wParam, lParam);
    }
    if (message == WM_NOTIFY) return OnNotify(wParam, lParam, result);
    if (message != 0 && message == UpdateDataMessage()) {
        *result = UpdateDataHere(static_cast<BOOL>(wParam));
        return TRUE;
    }
    return DispatchToMap(message, wParam, lParam, result);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    LRESULT ignored = 0;
    return DispatchToMap(WM_COMMAND, wParam, lParam, &ignored);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    // The control's own object sees its notification first (ON_NOTIFY_REFLECT).
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    CWnd* control = header ? FromHandlePermanent(header->hwndFrom) : nullptr;
    if (control && control != this &&
        control->DispatchToMap(kFxReflectBase + WM_NOTIFY, wParam, lParam, result))
        return TRUE;
    return DispatchToMap(WM_NOTIFY, wParam, lParam, result);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_superProc) return ::CallWindowProcW(m_superProc, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    const FxCurrentMessage& current = FxGetThreadState().current;
    return DefWindowProc(current.message, current.wParam, current.lParam);
}

void CWnd::OnNcDestroyFinal() noexcept {
    if (CWinApp* app = AfxGetApp()) {
        if (app->m_pMainWnd == this) {
            app->m_pMainWnd = nullptr;
            // The main window's end ends the application's loop; a modal
            // main dialog run from InitInstance leaves no quit message behind.
            if (app->IsInMessageLoop()) ::PostQuitMessage(0);
        }
    }
    UnbindPermanent();
    try {
        PostNcDestroy();
    } catch (...) {
        // PostNcDestroy runs inside the window procedure: nothing may escape.
    }
}

void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::UpdateData(BOOL save) {
    if (!m_hWnd) return FALSE;
    // The controls belong to the window's thread: a worker's request is
    // carried out there and waited for.
    if (::GetWindowThreadProcessId(m_hWnd, nullptr) != ::GetCurrentThreadId())
        return static_cast<BOOL>(
            ::SendMessageW(m_hWnd, UpdateDataMessage(), save ? TRUE : FALSE, 0));
    return UpdateDataHere(save);
}

BOOL CWnd::UpdateDataHere(BOOL save) {
    CDataExchange dx(this, save);
    try {
        DoDataExchange(&dx);
    } catch (const FxDataExchangeFailure&) {
        return FALSE;
    }
    return TRUE;
}

IUnknown* CWnd::GetControlUnknown() const noexcept {
    const UINT message = AxHostGetControlMessage();
    if (!m_hWnd || !message) return nullptr;
    return reinterpret_cast<IUnknown*>(::SendMessageW(m_hWnd, message, 0, 0));
}

void CWnd::GetWindowText(CString& text) const {
    const int length = ::GetWindowTextLengthW(m_hWnd);
    wchar_t* buffer = text.GetBufferSetLength(length + 1);
    const int got = ::GetWindowTextW(m_hWnd, buffer, length + 1);
    text.ReleaseBuffer(got < 0 ? 0 : got);
}

int CWnd::GetDlgItemText(int id, CString& text) const {
    const HWND item = ::GetDlgItem(m_hWnd, id);
    if (!item) {
        text.Empty();
        return 0;
    }
    CWnd wrapper;
    wrapper.m_hWnd = item;
    wrapper.GetWindowText(text);
    wrapper.m_hWnd = nullptr;
    return text.GetLength();
}

void CWnd::ClientToScreen(RECT* rect) const noexcept {
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(rect), 2);
}

void CWnd::ScreenToClient(RECT* rect) const noexcept {
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(rect), 2);
}

void CWnd::CenterWindow(CWnd* alternateOwner) noexcept {
    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    HWND around = alternateOwner ? alternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
    if (GetStyle() & WS_CHILD) around = ::GetParent(m_hWnd);
    RECT area{};
    if (around && ::IsWindowVisible(around) && !::IsIconic(around)) {
        ::GetWindowRect(around, &area);
    } else {
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    POINT topLeft{(area.left + area.right - width) / 2, (area.top + area.bottom - height) / 2};
    if (GetStyle() & WS_CHILD) ::ScreenToClient(::GetParent(m_hWnd), &topLeft);
    ::SetWindowPos(m_hWnd, nullptr, topLeft.x, topLeft.y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) noexcept {
    const LONG_PTR style = GetStyle();
    const LONG_PTR changed = (style & ~static_cast<LONG_PTR>(remove)) | add;
    if (changed == style) return FALSE;
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, changed);
    if (swpFlags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       swpFlags | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

int CWnd::MessageBox(const wchar_t* text, const wchar_t* caption, UINT type) {
    if (!caption) {
        const CWinApp* app = AfxGetApp();
        caption = app && app->m_pszAppName ? app->m_pszAppName : L"";
    }
    return ::MessageBoxW(m_hWnd, text, caption, type);
}

CMenu* CWnd::GetSystemMenu(BOOL revert) const {
    return CMenu::FromHandle(::GetSystemMenu(m_hWnd, revert));
}

LRESULT CALLBACK FxWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* self = CWnd::FromHandlePermanent(window);
    if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
    FxThreadState& state = FxGetThreadState();
    const FxCurrentMessage saved = state.current;
    state.current = FxCurrentMessage{window, message, wParam, lParam};
    LRESULT result = 0;
    try {
        result = self->WindowProc(message, wParam, lParam);
    } catch (...) {
        // No exception may unwind into the system's dispatcher.
        result = 0;
    }
    state.current = saved;
    if (message == WM_NCDESTROY && self->m_hWnd == window) self->OnNcDestroyFinal();
    return result;
}
