#include "TestContainer.h"

#include <mutex>

namespace browser_test {

TestContainer::TestContainer() {
    static std::once_flag once;
    std::call_once(once, [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"BrowserTestContainer";
        RegisterClassExW(&wc);
    });
    m_window.reset(CreateWindowExW(0, L"BrowserTestContainer", L"container",
                                   WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 800, 600, nullptr,
                                   nullptr, GetModuleHandleW(nullptr), nullptr));
}

TestContainer::~TestContainer() {
    Close();
}

HRESULT TestContainer::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_IOleClientSite)
        *out = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
        *out = static_cast<IOleInPlaceSite*>(this);
    else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT TestContainer::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                        LPRECT pos, LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
    *frame = nullptr;
    *doc = nullptr;
    GetClientRect(m_window.get(), pos);
    *clip = *pos;
    info->fMDIApp = FALSE;
    info->hwndFrame = m_window.get();
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

HRESULT TestContainer::Embed(IUnknown* control, LONG verb) {
    control->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(m_control.put()));
    if (!m_control) return E_NOINTERFACE;
    HRESULT hr = m_control->SetClientSite(this);
    if (FAILED(hr)) return hr;
    RECT r;
    GetClientRect(m_window.get(), &r);
    return m_control->DoVerb(verb, nullptr, this, 0, m_window.get(), &r);
}

void TestContainer::Close() {
    if (!m_control) return;
    m_control->Close(OLECLOSE_NOSAVE);
    m_control->SetClientSite(nullptr);
    m_control.reset();
}

HWND FindServerWindow(HWND parent) {
    HWND embedding = FindWindowExW(parent, nullptr, L"Shell Embedding", nullptr);
    HWND view =
        embedding ? FindWindowExW(embedding, nullptr, L"Shell DocObject View", nullptr) : nullptr;
    return view ? FindWindowExW(view, nullptr, L"Internet Explorer_Server", nullptr) : nullptr;
}

HWND FindChild(HWND parent, const wchar_t* cls, int index) {
    HWND h = nullptr;
    for (int i = 0; i <= index; ++i) {
        h = FindWindowExW(parent, h, cls, nullptr);
        if (!h) return nullptr;
    }
    return h;
}

std::wstring WindowText(HWND h) {
    wchar_t buf[512] = {};
    GetWindowTextW(h, buf, 512);
    return buf;
}

} // namespace browser_test
