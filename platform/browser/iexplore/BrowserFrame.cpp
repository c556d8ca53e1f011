#include "BrowserFrame.h"

#include "BrowserObserver.h"

#include <mutex>

namespace torva::browser {

namespace {

constexpr int kAddressHeight = 26;
constexpr int kAddressId = 100;
const wchar_t kFrameClass[] = L"IEFrame";
const wchar_t kStripClass[] = L"TorvaBandStrip";

} // namespace

std::unique_ptr<BrowserFrame> BrowserFrame::Create(int show) {
    static std::once_flag once;
    std::call_once(once, [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpfnWndProc = FrameProc;
        wc.lpszClassName = kFrameClass;
        wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
        RegisterClassExW(&wc);
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = kStripClass;
        RegisterClassExW(&wc);
    });
    std::unique_ptr<BrowserFrame> f(new BrowserFrame());
    f->m_browser = WebBrowser::Create();
    if (!f->m_browser) return nullptr;
    f->m_window.reset(CreateWindowExW(
        0, kFrameClass, L"Internet Explorer", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
        CW_USEDEFAULT, 900, 700, nullptr, nullptr, GetModuleHandleW(nullptr), f.get()));
    if (!f->m_window) return nullptr;
    HWND w = f->m_window.get();
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof ncm;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
    f->m_font.reset(CreateFontIndirectW(&ncm.lfMessageFont));
    f->m_address = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 10,
        kAddressHeight, w, reinterpret_cast<HMENU>(kAddressId), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(f->m_address, WM_SETFONT, reinterpret_cast<WPARAM>(f->m_font.get()), FALSE);
    RECT client;
    GetClientRect(w, &client);
    // The strip spans the frame before any band is sited in it.
    f->m_strip = CreateWindowExW(0, kStripClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                                 kAddressHeight, client.right, 0, w, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    f->m_browser->SetTopWindow(w);
    // The address line follows the top page, wherever its navigation came from.
    const HWND address = f->m_address;
    f->m_loads = PageLoads::Create(
        static_cast<IWebBrowser2*>(f->m_browser.get()),
        [address](const std::wstring& url) { SetWindowTextW(address, url.c_str()); });
    RECT r{0, 0, 10, 10};
    f->m_view = BrowserView::Create(w, r, *f->m_browser.get());
    if (!f->m_view) return nullptr;
    f->m_bands = BandSite::Create(f->m_strip, f->m_browser.get());
    f->m_bands->LoadRegisteredBands(client.right);
    f->Layout();
    ShowWindow(w, show);
    UpdateWindow(w);
    return f;
}

BrowserFrame::~BrowserFrame() {
    Shutdown();
    if (m_loads) {
        m_loads->Detach();
        m_loads->Release();
    }
}

int BrowserFrame::Completions(const std::wstring& text) const {
    return m_loads ? m_loads->Count(text) : 0;
}

void BrowserFrame::Shutdown() {
    if (m_closed) return;
    m_closed = true;
    // The browser says goodbye first (bands unadvise in OnQuit), then the
    // bands are closed and unsited, then the view goes.
    if (m_browser) m_browser->Quit();
    if (m_bands) m_bands->CloseAll();
    m_view.reset();
}

HRESULT BrowserFrame::Open(const std::wstring& url) {
    SetWindowTextW(m_address, url.c_str());
    return m_browser->NavigateTo(url);
}

bool BrowserFrame::CloseBand(int index) {
    if (!m_bands || !m_bands->CloseBand(index)) return false;
    Layout();
    return true;
}

LRESULT CALLBACK BrowserFrame::FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE)
        SetWindowLongPtrW(
            hwnd, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    auto* self = reinterpret_cast<BrowserFrame*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    return self->OnMessage(hwnd, msg, wp, lp);
}

LRESULT BrowserFrame::OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE:
        Layout();
        return 0;
    case WM_ENABLE:
        if (!wp) ++m_disables;
        return 0;
    case WM_CLOSE:
        Shutdown();
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        (void)m_window.release(); // being destroyed by the system
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

void BrowserFrame::Layout() {
    if (!m_view) return;
    RECT c;
    GetClientRect(m_window.get(), &c);
    MoveWindow(m_address, 0, 0, c.right, kAddressHeight, TRUE);
    const int bandHeight = m_bands ? m_bands->Layout(c.right) : 0;
    MoveWindow(m_strip, 0, kAddressHeight, c.right, bandHeight, TRUE);
    const int top = kAddressHeight + bandHeight;
    m_view->SetRect(RECT{0, top, c.right, c.bottom});
}

void BrowserFrame::TabFrom(int stop, bool back, MSG& msg) {
    // The stops in Tab order: the address line (0), each band, the page.
    const int stops = m_bands->BandCount() + 2;
    const int page = stops - 1;
    if (stop > 0 && stop < page) m_bands->Deactivate();
    for (int next = (stop + (back ? stops - 1 : 1)) % stops; next != stop;
         next = (next + (back ? stops - 1 : 1)) % stops) {
        if (next == 0) {
            SetFocus(m_address);
            SendMessageW(m_address, EM_SETSEL, 0, -1);
            return;
        }
        if (next == page) {
            if (m_view) m_view->TakeFocus(back);
            return;
        }
        if (m_bands->Activate(next - 1, &msg)) return;
    }
}

bool BrowserFrame::PreTranslate(MSG& msg) {
    if (m_bands && m_bands->BandCount() > 0) {
        if (msg.message == WM_LBUTTONDOWN || msg.message == WM_RBUTTONDOWN ||
            msg.message == WM_MBUTTONDOWN || msg.message == WM_LBUTTONDBLCLK) {
            const int band = m_bands->BandOf(msg.hwnd);
            if (band >= 0)
                (void)m_bands->Activate(band, &msg);
            else if (IsChild(m_window.get(), msg.hwnd))
                m_bands->Deactivate();
            return false; // the click itself goes on to the window
        }
        if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
            // While a band has the focus the keys are its own: it sees them
            // first, and what it leaves goes to its windows, not the page.
            const int band = m_bands->FocusedBand();
            if (band >= 0) {
                if (m_bands->TranslateKey(band, msg) == S_OK) return true;
                if (msg.wParam != VK_TAB) return false;
                if (msg.message == WM_KEYDOWN) TabFrom(band + 1, GetKeyState(VK_SHIFT) < 0, msg);
                return true;
            }
        }
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && msg.hwnd == m_address) {
        TabFrom(0, GetKeyState(VK_SHIFT) < 0, msg);
        return true;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && msg.hwnd == m_address) {
        wchar_t url[2048] = {};
        GetWindowTextW(m_address, url, 2048);
        (void)m_browser->NavigateTo(url);
        return true;
    }
    return m_view && m_view->TranslateKey(msg) == S_OK;
}

} // namespace torva::browser
