// The registration dialog's window: initialisation, layout, folding and the
// forwarding of editing keys into the HTML copy.
#include "CRegistDlg.h"

#include "AxHostWindow.h"
#include "CComPtr.h"
#include "RegistHtml.h"
#include "RegistLayout.h"

#include <commctrl.h>

namespace {

constexpr int kColumnWidth = 130;
constexpr wchar_t kServerClass[] = L"Internet Explorer_Server";

// Each dialog forwards the keys of its own copy window; the window finds its
// dialog's record under this property. Dialogs of several browser threads
// (several tabs of one process) thus never share one record.
constexpr wchar_t kForwardingProp[] = L"TorvaRegistKeyForwarding";

bool IsServerWindow(HWND window) {
    wchar_t name[64] = {};
    return window && ::GetClassNameW(window, name, 64) > 0 && ::lstrcmpW(name, kServerClass) == 0;
}

// Delete, or one of C V X A Z Y typed with Control.
bool IsEditingKey(WPARAM key) {
    WPARAM upper = key;
    if (upper >= 0x61 && upper <= 0x7A) upper -= 0x20;
    return key == VK_DELETE || upper == 'C' || upper == 'V' || upper == 'X' || upper == 'A' ||
           upper == 'Z' || upper == 'Y';
}

LRESULT CALLBACK ForwardKeysProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    const auto* forwarding =
        static_cast<const CRegistDlg::KeyForwarding*>(::GetPropW(window, kForwardingProp));
    if (!forwarding) return ::DefWindowProcW(window, msg, wParam, lParam);
    const WNDPROC previous = forwarding->previous;
    if ((msg == WM_KEYDOWN || msg == WM_KEYUP) && IsEditingKey(wParam)) {
        const HWND focus = ::GetFocus();
        BYTE keys[256] = {};
        (void)::GetKeyboardState(keys);
        const bool control = (keys[VK_CONTROL] & 0x80) != 0;
        if (IsServerWindow(focus) && (wParam == VK_DELETE || control)) {
            MSG forwarded{focus, msg, wParam, 0, 0, {0, 0}};
            (void)CRegistDlg::TranslateInCopy(forwarding->browser, forwarded);
            MSG incoming{window, msg, wParam, lParam, 0, {0, 0}};
            ::TranslateMessage(&incoming);
        }
    }
    if (!previous) return ::DefWindowProcW(window, msg, wParam, lParam);
    return ::CallWindowProcW(previous, window, msg, wParam, lParam);
}

HWND ChildOfClass(HWND parent, const wchar_t* name) {
    return parent ? ::FindWindowExW(parent, nullptr, name, nullptr) : nullptr;
}

} // namespace

HRESULT CRegistDlg::TranslateInCopy(IWebBrowser2* browser, MSG& msg) {
    if (!browser) return E_POINTER;
    CComPtr<IDispatch> document;
    if (FAILED(browser->get_Document(&document)) || !document) return E_FAIL;
    auto active = regist::As<IOleInPlaceActiveObject>(document, IID_IOleInPlaceActiveObject);
    if (!active) return E_NOINTERFACE;
    return active->TranslateAccelerator(&msg);
}

LRESULT CRegistDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    m_hTitle = GetDlgItem(IDC_REGIST_TITLE);
    m_hList = GetDlgItem(IDC_REGIST_LIST);
    m_hItemName = GetDlgItem(IDC_REGIST_NAME);
    m_hUrl = GetDlgItem(IDC_REGIST_URL);
    m_hDate = GetDlgItem(IDC_REGIST_DATE);
    m_hFormName = GetDlgItem(IDC_REGIST_FORMNAME);
    m_hFoldBtn = GetDlgItem(IDC_REGIST_FOLD);
    m_hAutoSend = GetDlgItem(IDC_REGIST_AUTOSEND);
    m_hAutoInput = GetDlgItem(IDC_REGIST_AUTOINPUT);
    m_hHidePwd = GetDlgItem(IDC_REGIST_HIDEPWD);
    m_hChangeFlg = GetDlgItem(IDC_REGIST_CHANGEFLG);

    m_forwarding = KeyForwarding{};

    const HWND host = GetDlgItem(IDC_REGIST_BROWSER);
    auto* control =
        host ? reinterpret_cast<IUnknown*>(::SendMessageW(host, AxHostGetControlMessage(), 0, 0))
             : nullptr;
    if (m_pBrowser) {
        m_pBrowser->Release();
        m_pBrowser = nullptr;
    }
    if (control &&
        SUCCEEDED(
            control->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&m_pBrowser))) &&
        m_pBrowser) {
        const LONG_PTR exStyle = ::GetWindowLongPtrW(host, GWL_EXSTYLE);
        ::SetWindowLongPtrW(host, GWL_EXSTYLE, exStyle | WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE);
        (void)m_pBrowser->put_RegisterAsDropTarget(VARIANT_FALSE);
        const LONG_PTR style = ::GetWindowLongPtrW(host, GWL_STYLE);
        ::SetWindowLongPtrW(host, GWL_STYLE, style | WS_TABSTOP);
    }

    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = kColumnWidth;
    column.pszText = const_cast<wchar_t*>(L"アイテム名");
    ListView_InsertColumn(m_hList, 0, &column);
    column.pszText = const_cast<wchar_t*>(L"フォーム名");
    ListView_InsertColumn(m_hList, 1, &column);
    ListView_SetExtendedListViewStyle(m_hList, LVS_EX_FULLROWSELECT);

    if (m_pDocument) (void)UpdatePageData();

    const SIZE size = RegistDialogSize(m_scale);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    m_nScreenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    SetPositionCtrl(1);
    return TRUE;
}

void CRegistDlg::SetPositionCtrl(int fChange) {
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    if (!fChange && ::EqualRect(&client, &m_rcClient)) return;
    m_rcClient = client;
    for (const RegistPlacement& place : RegistLayout(m_scale, client, m_nExpanded == 1)) {
        const HWND control = GetDlgItem(place.id);
        if (!control) continue;
        if (!place.shown) {
            ::ShowWindow(control, SW_HIDE);
            continue;
        }
        ::MoveWindow(control, place.rect.left, place.rect.top, place.rect.right - place.rect.left,
                     place.rect.bottom - place.rect.top, FALSE);
        if (place.id != IDC_REGIST_HIDEPWD) ::ShowWindow(control, SW_SHOWNA);
    }
    if (m_hHidePwd) ::ShowWindow(m_hHidePwd, SW_HIDE);
    ::RedrawWindow(m_hWnd, nullptr, nullptr,
                   RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

HWND CRegistDlg::CopyWindow() const {
    const HWND host = ::GetDlgItem(m_hWnd, IDC_REGIST_BROWSER);
    const HWND embedding = ChildOfClass(host, L"Shell Embedding");
    const HWND view = ChildOfClass(embedding, L"Shell DocObject View");
    return ChildOfClass(view, kServerClass);
}

void CRegistDlg::InstallKeyForwarding() {
    if (m_forwarding.installed) return;
    const HWND window = CopyWindow();
    if (!window || ::GetPropW(window, kForwardingProp)) return;
    m_forwarding.browser = m_pBrowser;
    m_forwarding.window = window;
    // The record is found before the new procedure can run.
    if (!::SetPropW(window, kForwardingProp, &m_forwarding)) {
        m_forwarding = KeyForwarding{};
        return;
    }
    m_forwarding.previous = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForwardKeysProc)));
    m_forwarding.installed = m_forwarding.previous != nullptr;
    if (!m_forwarding.installed) {
        ::RemovePropW(window, kForwardingProp);
        m_forwarding = KeyForwarding{};
    }
}

void CRegistDlg::RemoveKeyForwarding() {
    const HWND window = m_forwarding.window;
    if (m_forwarding.previous && window && ::IsWindow(window)) {
        ::SetWindowLongPtrW(window, GWLP_WNDPROC,
                            reinterpret_cast<LONG_PTR>(m_forwarding.previous));
        ::RemovePropW(window, kForwardingProp);
    }
    m_forwarding = KeyForwarding{};
}

LRESULT CRegistDlg::OnBnClickedButtonOption(WORD, WORD, HWND, BOOL&) {
    InstallKeyForwarding();
    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    int right = window.right;
    int fChange = 0;
    if (m_nExpanded == 1) {
        ::SetWindowTextW(m_hFoldBtn, L"アイテム情報(&O)>>");
        m_nExpanded = 0;
        right = window.left + (window.right - window.left) / 2;
    } else {
        ::SetWindowTextW(m_hFoldBtn, L"<<アイテム情報(&O)");
        m_nExpanded = 1;
        if (2 * (m_rcClient.right - m_rcClient.left) > m_nScreenWidth) {
            right = window.left + m_nScreenWidth;
            fChange = 1;
        } else {
            right = window.left + 2 * (window.right - window.left);
        }
    }
    ::MoveWindow(m_hWnd, window.left, window.top, right - window.left, window.bottom - window.top,
                 TRUE);
    SetPositionCtrl(fChange);
    return 0;
}
