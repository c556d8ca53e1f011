#include "BrowserView.h"

#include "FormControls.h"
#include "GdiScopes.h"
#include "WindowClass.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <mutex>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace torva::browser {

namespace {

constexpr int kFirstControlId = 1000;
// A key handed to the view from another thread; lParam points to the MSG.
constexpr UINT kTranslateKeyMessage = WM_APP + 0x42;
const wchar_t kEmbeddingClass[] = L"Shell Embedding";
const wchar_t kDocViewClass[] = L"Shell DocObject View";
const wchar_t kServerClass[] = L"Internet Explorer_Server";

HINSTANCE ThisModule() {
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

void RegisterClasses(WNDPROC frameProc, WNDPROC serverProc) {
    static std::once_flag once;
    std::call_once(once, [&] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.hInstance = ThisModule();
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpfnWndProc = frameProc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kEmbeddingClass;
        (void)WindowClass::Register(wc); // a failure shows when the window is made
        wc.lpszClassName = kDocViewClass;
        (void)WindowClass::Register(wc);
        wc.lpfnWndProc = serverProc;
        wc.style = CS_DBLCLKS;
        wc.lpszClassName = kServerClass;
        (void)WindowClass::Register(wc);
    });
}

RECT Inside(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    return r;
}

} // namespace

BrowserView::BrowserView(WebBrowser& browser) : m_browser(browser) {}

std::unique_ptr<BrowserView> BrowserView::Create(HWND parent, const RECT& rect,
                                                 WebBrowser& browser) {
    RegisterClasses(FrameProc, ServerProc);
    std::unique_ptr<BrowserView> view(new BrowserView(browser));
    view->m_embedding.reset(CreateWindowExW(
        0, kEmbeddingClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect.left, rect.top,
        rect.right - rect.left, rect.bottom - rect.top, parent, nullptr, ThisModule(), nullptr));
    if (!view->m_embedding) return nullptr;
    const RECT in = Inside(view->m_embedding.get());
    view->m_docView = CreateWindowExW(
        0, kDocViewClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, in.right, in.bottom,
        view->m_embedding.get(), nullptr, ThisModule(), nullptr);
    if (!view->m_docView) return nullptr;
    view->m_server =
        CreateWindowExW(WS_EX_CONTROLPARENT, kServerClass, L"",
                        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL | WS_TABSTOP, 0, 0,
                        in.right, in.bottom, view->m_docView, nullptr, ThisModule(), view.get());
    if (!view->m_server) return nullptr;
    view->MakeFonts();
    browser.SetObserver(view.get());
    view->DocumentChanged(browser.document());
    return view;
}

BrowserView::~BrowserView() {
    m_browser.SetObserver(nullptr);
    m_focus.Detach();
    if (m_server) SetWindowLongPtrW(m_server, GWLP_USERDATA, 0);
}

void BrowserView::MakeFonts() {
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof ncm;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
    LOGFONTW lf = ncm.lfMessageFont;
    if (lf.lfHeight == 0) lf.lfHeight = -12;
    const LONG base = lf.lfHeight;
    m_fonts[0].reset(CreateFontIndirectW(&lf));
    lf.lfWeight = FW_BOLD;
    m_fonts[1].reset(CreateFontIndirectW(&lf));
    const int scale[3] = {20, 15, 12}; // tenths of the base height
    for (int i = 0; i < 3; ++i) {
        lf.lfHeight = base * scale[i] / 10;
        m_fonts[2 + i].reset(CreateFontIndirectW(&lf));
    }
}

HFONT BrowserView::FontFor(ViewLayout::Font f) const {
    return static_cast<HFONT>(m_fonts[static_cast<int>(f)].get());
}

LRESULT CALLBACK BrowserView::FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SIZE) {
        // Each frame window is filled by its one child.
        if (HWND child = GetWindow(hwnd, GW_CHILD))
            MoveWindow(child, 0, 0, GET_X_LPARAM(lp), GET_Y_LPARAM(lp), TRUE);
        return 0;
    }
    if (msg == WM_SETFOCUS) {
        if (HWND child = GetWindow(hwnd, GW_CHILD)) SetFocus(child);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK BrowserView::ServerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        auto* view = static_cast<BrowserView*>(cs->lpCreateParams);
        view->m_server = hwnd;
        view->m_focus.SetServer(hwnd);
    }
    auto* self = reinterpret_cast<BrowserView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    return self->OnServerMessage(msg, wp, lp);
}

LRESULT BrowserView::OnServerMessage(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (m_focus.OnServerMessage(msg, wp, lp, result)) return result;
    switch (msg) {
    case kTranslateKeyMessage:
        return TranslateKey(*reinterpret_cast<const MSG*>(lp));
    case WM_PAINT:
        Paint();
        return 0;
    case WM_COMMAND:
        OnCommand(LOWORD(wp), HIWORD(wp));
        return 0;
    case WM_SIZE:
        // A scroll bar that comes or goes resizes the window; the width
        // alone decides the layout.
        if (!m_rebuilding && LOWORD(lp) != m_layoutWidth) Rebuild();
        return 0;
    case WM_VSCROLL: {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_ALL;
        GetScrollInfo(m_server, SB_VERT, &si);
        int y = m_scrollY;
        switch (LOWORD(wp)) {
        case SB_LINEUP:
            y -= 20;
            break;
        case SB_LINEDOWN:
            y += 20;
            break;
        case SB_PAGEUP:
            y -= static_cast<int>(si.nPage);
            break;
        case SB_PAGEDOWN:
            y += static_cast<int>(si.nPage);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            y = si.nTrackPos;
            break;
        default:
            break;
        }
        Scroll(y);
        return 0;
    }
    case WM_MOUSEWHEEL:
        Scroll(m_scrollY - GET_WHEEL_DELTA_WPARAM(wp) / 2);
        return 0;
    case WM_LBUTTONDOWN:
        m_focus.Activate(nullptr); // a click beside the controls leaves them
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    default:
        return DefWindowProcW(m_server, msg, wp, lp);
    }
}

void BrowserView::SetRect(const RECT& rect) {
    MoveWindow(m_embedding.get(), rect.left, rect.top, rect.right - rect.left,
               rect.bottom - rect.top, TRUE);
}

void BrowserView::Show(bool show) {
    ShowWindow(m_embedding.get(), show ? SW_SHOW : SW_HIDE);
}

void BrowserView::DocumentChanged(HtmlDocument* doc) {
    m_page = ComPtr<HtmlDocument>(doc);
    m_scrollY = 0;
    Rebuild();
}

void BrowserView::Quitting() {
    m_page.reset();
    Rebuild();
}

void BrowserView::DestroyControls() {
    m_focus.Forget();
    for (const auto& c : m_controls)
        DestroyWindow(c.hwnd);
    m_controls.clear();
}

void BrowserView::Rebuild() {
    if (m_rebuilding) return;
    m_rebuilding = true;
    m_layoutWidth = static_cast<int>(Inside(m_server).right);
    DestroyControls();
    m_items.clear();
    if (m_page) {
        WindowDC dc(m_server);
        const RECT client = Inside(m_server);
        ViewLayout layout(
            std::max<int>(client.right, 200), [&](const std::wstring& text, ViewLayout::Font f) {
                SelectedObject font(dc.get(), FontFor(f));
                SIZE s{};
                GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &s);
                if (s.cy == 0) s.cy = 16;
                return s;
            });
        m_items = layout.Build(*m_page.get());
    }
    m_contentHeight = 0;
    int id = kFirstControlId;
    for (const auto& item : m_items) {
        m_contentHeight = std::max<int>(m_contentHeight, item.rect.bottom + 8);
        if (item.control == ViewLayout::ControlKind::None) continue;
        if (HWND h = MakeControl(item, id++)) m_controls.push_back({h, item});
    }
    RefreshAll();
    Scroll(m_scrollY);
    InvalidateRect(m_server, nullptr, TRUE);
    m_rebuilding = false;
}

HWND BrowserView::MakeControl(const ViewLayout::Item& item, int id) {
    using K = ViewLayout::ControlKind;
    const wchar_t* cls = L"EDIT";
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    DWORD ex = 0;
    int extraHeight = 0;
    switch (item.control) {
    case K::Edit:
        style |= ES_AUTOHSCROLL;
        ex = WS_EX_CLIENTEDGE;
        break;
    case K::Password:
        style |= ES_AUTOHSCROLL | ES_PASSWORD;
        ex = WS_EX_CLIENTEDGE;
        break;
    case K::TextArea:
        style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL;
        ex = WS_EX_CLIENTEDGE;
        break;
    case K::CheckBox:
        cls = L"BUTTON";
        style |= BS_CHECKBOX;
        break;
    case K::Radio:
        cls = L"BUTTON";
        style |= BS_RADIOBUTTON;
        break;
    case K::Button:
        cls = L"BUTTON";
        style |= BS_PUSHBUTTON;
        break;
    case K::DropDown:
        cls = L"COMBOBOX";
        style |= CBS_DROPDOWNLIST | WS_VSCROLL;
        extraHeight = 200;
        break;
    case K::ListBox:
        cls = L"LISTBOX";
        style |= LBS_NOTIFY | WS_VSCROLL | WS_BORDER | LBS_NOINTEGRALHEIGHT;
        if (FormControls::IsMultiple(*item.node)) style |= LBS_MULTIPLESEL;
        break;
    default:
        return nullptr;
    }
    if (item.node->HasAttribute(L"disabled")) style |= WS_DISABLED;
    if (item.node->HasAttribute(L"readonly") &&
        (item.control == K::Edit || item.control == K::TextArea))
        style |= ES_READONLY;
    const RECT& r = item.rect;
    HWND h = CreateWindowExW(
        ex, cls, item.control == K::Button ? item.text.c_str() : L"", style, r.left,
        r.top - m_scrollY, r.right - r.left, r.bottom - r.top + extraHeight, m_server,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ThisModule(), nullptr);
    if (!h) return nullptr;
    m_focus.Adopt(h);
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(ViewLayout::Font::Normal)), FALSE);
    if (item.control == K::DropDown || item.control == K::ListBox) {
        const UINT add = item.control == K::DropDown ? CB_ADDSTRING : LB_ADDSTRING;
        for (HtmlNode* o : FormControls::Options(*item.node))
            SendMessageW(h, add, 0, reinterpret_cast<LPARAM>(FormControls::OptionText(*o).c_str()));
    }
    if ((item.control == K::Edit || item.control == K::Password) &&
        item.node->HasAttribute(L"maxlength")) {
        const long max = std::wcstol(item.node->Attribute(L"maxlength").c_str(), nullptr, 10);
        if (max > 0) SendMessageW(h, EM_SETLIMITTEXT, static_cast<WPARAM>(max), 0);
    }
    return h;
}

void BrowserView::Refresh(const Control& c) {
    using K = ViewLayout::ControlKind;
    HtmlNode& n = *c.item.node;
    m_syncing = true;
    switch (c.item.control) {
    case K::Edit:
    case K::Password:
    case K::TextArea: {
        const std::wstring want = FormControls::Value(n);
        const int len = GetWindowTextLengthW(c.hwnd);
        std::wstring have(static_cast<size_t>(len) + 1, L'\0');
        GetWindowTextW(c.hwnd, have.data(), len + 1);
        have.resize(static_cast<size_t>(len));
        if (have != want) SetWindowTextW(c.hwnd, want.c_str());
        break;
    }
    case K::CheckBox:
    case K::Radio:
        SendMessageW(c.hwnd, BM_SETCHECK, FormControls::Checked(n) ? BST_CHECKED : BST_UNCHECKED,
                     0);
        break;
    case K::DropDown:
        SendMessageW(c.hwnd, CB_SETCURSEL, static_cast<WPARAM>(FormControls::SelectedIndex(n)), 0);
        break;
    case K::ListBox: {
        const auto opts = FormControls::Options(n);
        const bool multiple = FormControls::IsMultiple(n);
        for (size_t i = 0; i < opts.size(); ++i) {
            if (multiple)
                SendMessageW(c.hwnd, LB_SETSEL, FormControls::Checked(*opts[i]) ? TRUE : FALSE,
                             static_cast<LPARAM>(i));
        }
        if (!multiple)
            SendMessageW(c.hwnd, LB_SETCURSEL, static_cast<WPARAM>(FormControls::SelectedIndex(n)),
                         0);
        break;
    }
    default:
        break;
    }
    m_syncing = false;
}

void BrowserView::RefreshAll() {
    for (const auto& c : m_controls)
        Refresh(c);
}

void BrowserView::ControlChanged(HtmlDocument&, HtmlNode&) {
    if (!m_syncing) RefreshAll();
}

void BrowserView::OnCommand(int id, int code) {
    const int index = id - kFirstControlId;
    if (m_syncing || index < 0 || index >= static_cast<int>(m_controls.size())) return;
    const Control c = m_controls[static_cast<size_t>(index)];
    HtmlNode& n = *c.item.node;
    HtmlDocument& page = *c.item.page;
    ComPtr<HtmlDocument> hold(&page);
    using K = ViewLayout::ControlKind;
    m_syncing = true; // the change is the user's: nothing to write back
    switch (c.item.control) {
    case K::Edit:
    case K::Password:
    case K::TextArea:
        if (code == EN_CHANGE) {
            const int len = GetWindowTextLengthW(c.hwnd);
            std::wstring text(static_cast<size_t>(len) + 1, L'\0');
            GetWindowTextW(c.hwnd, text.data(), len + 1);
            text.resize(static_cast<size_t>(len));
            FormControls::SetValue(n, std::move(text));
        }
        break;
    case K::DropDown:
        if (code == CBN_SELCHANGE)
            FormControls::SetSelectedIndex(
                n, static_cast<long>(SendMessageW(c.hwnd, CB_GETCURSEL, 0, 0)));
        break;
    case K::ListBox:
        if (code == LBN_SELCHANGE) {
            const auto opts = FormControls::Options(n);
            for (size_t i = 0; i < opts.size(); ++i)
                FormControls::SetSelected(*opts[i], SendMessageW(c.hwnd, LB_GETSEL, i, 0) > 0);
        }
        break;
    default:
        break;
    }
    m_syncing = false;
    if (code == BN_CLICKED && (c.item.control == K::CheckBox || c.item.control == K::Radio ||
                               c.item.control == K::Button)) {
        // The click goes through the page as the user's click: sinks,
        // ticking, submitting. The page may be left (and this view rebuilt)
        // inside.
        page.Click(n);
        if (m_page) RefreshAll();
    }
}

HWND BrowserView::ControlFor(const HtmlNode* node) const {
    for (const auto& c : m_controls)
        if (c.item.node == node) return c.hwnd;
    return nullptr;
}

void BrowserView::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_server, &ps);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    for (const auto& item : m_items) {
        if (item.control != ViewLayout::ControlKind::None) continue;
        SelectedObject font(dc, FontFor(item.font));
        TextOutW(dc, item.rect.left, item.rect.top - m_scrollY, item.text.c_str(),
                 static_cast<int>(item.text.size()));
    }
    EndPaint(m_server, &ps);
}

void BrowserView::Scroll(int newY) {
    const RECT client = Inside(m_server);
    const int maxY = std::max<int>(0, m_contentHeight - client.bottom);
    newY = std::clamp(newY, 0, maxY);
    SCROLLINFO si{sizeof si,
                  SIF_RANGE | SIF_PAGE | SIF_POS,
                  0,
                  std::max(m_contentHeight - 1, 0),
                  static_cast<UINT>(client.bottom),
                  newY,
                  0};
    SetScrollInfo(m_server, SB_VERT, &si, TRUE);
    if (newY == m_scrollY) return;
    m_scrollY = newY;
    for (const auto& c : m_controls)
        SetWindowPos(c.hwnd, nullptr, c.item.rect.left, c.item.rect.top - m_scrollY, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(m_server, nullptr, TRUE);
}

const BrowserView::Control* BrowserView::ActiveControl() const {
    const HWND active = m_focus.active();
    for (const auto& c : m_controls)
        if (active && c.hwnd == active) return &c;
    return nullptr;
}

void BrowserView::TakeFocus(bool fromEnd) {
    if (!m_focus.active())
        if (HWND first = GetNextDlgTabItem(m_server, nullptr, fromEnd)) {
            if (IsChild(m_server, first)) {
                m_focus.Activate(first);
                return;
            }
        }
    SetFocus(m_server);
}

const HtmlNode* BrowserView::ActiveElement() const {
    const Control* c = ActiveControl();
    return c ? c->item.node : nullptr;
}

HRESULT BrowserView::TranslateKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_KEYUP) return S_FALSE;
    if (GetWindowThreadProcessId(m_server, nullptr) != GetCurrentThreadId()) {
        // A caller on another thread (a worker of a dialog) gets the key
        // handled where the focus and the windows are.
        MSG copy = msg;
        return static_cast<HRESULT>(
            SendMessageW(m_server, kTranslateKeyMessage, 0, reinterpret_cast<LPARAM>(&copy)));
    }
    const HWND focus = GetFocus();
    if (!focus || (focus != m_server && !IsChild(m_server, focus))) return S_FALSE;
    const bool down = msg.message == WM_KEYDOWN;
    if (msg.wParam == VK_TAB) {
        if (!down) return S_OK;
        const bool back = GetKeyState(VK_SHIFT) < 0;
        if (HWND next = GetNextDlgTabItem(m_server, m_focus.active(), back)) m_focus.Activate(next);
        return S_OK;
    }
    const Control* c = ActiveControl();
    if (!c) return S_FALSE;
    if (msg.wParam == VK_RETURN) return EnterKey(*c, down);
    using K = ViewLayout::ControlKind;
    const K kind = c->item.control;
    if (kind != K::Edit && kind != K::Password && kind != K::TextArea) return S_FALSE;
    return m_focus.EditKey(msg, kind == K::Password, c->item.node->HasAttribute(L"readonly"));
}

HRESULT BrowserView::EnterKey(const Control& c, bool act) {
    using K = ViewLayout::ControlKind;
    switch (c.item.control) {
    case K::TextArea:
        if (act && !c.item.node->HasAttribute(L"readonly"))
            SendMessageW(c.hwnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"\r\n"));
        return S_OK;
    case K::Button:
        if (act) OnCommand(GetDlgCtrlID(c.hwnd), BN_CLICKED); // may leave the page
        return S_OK;
    case K::Edit:
    case K::Password:
        break;
    default:
        return S_FALSE;
    }
    if (!act) return S_OK;
    HtmlNode* form = c.item.node->FormOwner();
    if (!form) return S_OK;
    // Enter in a text field is a click on the form's first submit button,
    // or a plain submission when it has none.
    ComPtr<HtmlDocument> page(c.item.page);
    for (HtmlNode* n : FormControls::Elements(*form))
        if (n->Is(L"input") && (n->InputType() == L"submit" || n->InputType() == L"image")) {
            page->Click(*n);
            return S_OK;
        }
    page->Submit(*form, nullptr);
    return S_OK;
}

} // namespace torva::browser
