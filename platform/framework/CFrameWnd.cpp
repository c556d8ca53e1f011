#include "CFrameWnd.h"

#include <commctrl.h>

#include "CCmdUI.h"
#include "CDocument.h"
#include "CWinApp.h"
#include "FxBars.h"
#include "ModuleInstance.h"

namespace {

constexpr UINT kIdleMessageId = 0xE001; // "Ready"
constexpr UINT kAppExitId = 0xE141;     // 57665
constexpr UINT kViewToolBarId = 0xE800;
constexpr UINT kViewStatusBarId = 0xE801;

// One class per icon: the frame's icon is the resource of its id.
const wchar_t* FrameClass(UINT iconId) {
    static wchar_t name[48];
    const HINSTANCE instance = AfxGetResourceHandle();
    ::wsprintfW(name, L"TorvaFxFrame:%u", iconId);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (::GetClassInfoExW(ComtlModuleInstance(), name, &existing)) return name;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ComtlModuleInstance();
    wc.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(iconId));
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name;
    return ::RegisterClassExW(&wc) ? name : nullptr;
}

bool IsVisibleChild(HWND window) {
    return window && (::GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE);
}

} // namespace

CString FxCommandPrompt(UINT stringId, bool tip) {
    CString text;
    if (!stringId || !text.LoadString(stringId)) return CString();
    const int newline = text.Find(L'\n');
    if (newline < 0) return tip ? CString() : text;
    return tip ? text.Mid(newline + 1) : text.Left(newline);
}

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
ON_WM_CREATE()
ON_WM_CLOSE()
ON_WM_SIZE()
ON_MESSAGE(WM_INITMENUPOPUP, &CFrameWnd::OnInitMenuPopup)
ON_MESSAGE(WM_MENUSELECT, &CFrameWnd::OnMenuSelect)
ON_MESSAGE(WM_EXITMENULOOP, &CFrameWnd::OnExitMenuLoop)
ON_MESSAGE(WM_IDLEUPDATECMDUI, &CFrameWnd::OnIdleUpdate)
ON_MESSAGE(WM_SETFOCUS, &CFrameWnd::OnSetFocusMessage)
ON_COMMAND_RANGE(kViewToolBarId, kViewStatusBarId, &CFrameWnd::OnToggleBar)
ON_UPDATE_COMMAND_UI(kViewToolBarId, &CFrameWnd::OnUpdateBar)
ON_UPDATE_COMMAND_UI(kViewStatusBarId, &CFrameWnd::OnUpdateBar)
ON_COMMAND(kAppExitId, &CFrameWnd::OnAppExit)
END_MESSAGE_MAP()

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTW&) {
    return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) {
    m_resourceId = resourceId;
    m_strTitle = FxCommandPrompt(resourceId, false);
    m_pDocument = context ? context->m_pCurrentDoc : nullptr;
    CREATESTRUCTW cs{};
    cs.style = style;
    cs.lpszName = m_strTitle;
    cs.lpszClass = FrameClass(resourceId);
    cs.x = cs.y = cs.cx = cs.cy = CW_USEDEFAULT;
    cs.hwndParent = parent ? parent->GetSafeHwnd() : nullptr;
    cs.lpCreateParams = context;
    if (!cs.lpszClass || !PreCreateWindow(cs)) return FALSE;
    m_addToTitle = (cs.style & FWS_ADDTOTITLE) != 0;
    cs.style &= ~FWS_ADDTOTITLE;
    m_accelerators.Load(resourceId);
    if (m_menu.LoadMenu(resourceId)) cs.hMenu = m_menu.GetSafeHmenu();
    if (!CreateFromStruct(cs)) return FALSE;
    m_menu.Detach(); // the window's now: it is destroyed with the window
    RecalcLayout();
    return TRUE;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* context) {
    if (!context || !context->m_pNewViewClass) return TRUE;
    RECT rect{0, 0, 0, 0};
    return AfxCreateView(context->m_pNewViewClass, this, AFX_IDW_PANE_FIRST, rect, context) !=
           nullptr;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT cs) {
    if (Default() == -1) return -1;
    auto* context = cs ? static_cast<CCreateContext*>(cs->lpCreateParams) : nullptr;
    return OnCreateClient(cs, context) ? 0 : -1;
}

void CFrameWnd::InitialUpdateFrame(CDocument* document, BOOL makeVisible) {
    if (document) {
        const std::vector<CView*> views = document->Views();
        for (CView* view : views)
            view->OnInitialUpdate();
        if (!m_pActiveView && !views.empty()) m_pActiveView = views.front();
    }
    m_pDocument = document;
    OnUpdateFrameTitle();
    if (m_pActiveView && m_pActiveView->GetSafeHwnd()) ::SetFocus(m_pActiveView->GetSafeHwnd());
    if (makeVisible) {
        const CWinApp* app = AfxGetApp();
        ShowWindow(app ? app->m_nCmdShow : SW_SHOWNORMAL);
        UpdateWindow();
    }
}

void CFrameWnd::OnUpdateFrameTitle() {
    if (!m_addToTitle || !m_pDocument) return;
    CString title = m_pDocument->GetTitle();
    title += L" - ";
    title += m_strTitle;
    SetWindowText(title);
}

void CFrameWnd::RecalcLayout() {
    if (!m_hWnd) return;
    RECT client{};
    GetClientRect(&client);
    if (const HWND toolBar = Bar(AFX_IDW_TOOLBAR); IsVisibleChild(toolBar)) {
        ::SendMessageW(toolBar, TB_AUTOSIZE, 0, 0);
        RECT bar{};
        ::GetWindowRect(toolBar, &bar);
        const int height = bar.bottom - bar.top;
        ::MoveWindow(toolBar, client.left, client.top, client.right - client.left, height, TRUE);
        client.top += height;
    }
    if (const HWND statusBar = Bar(AFX_IDW_STATUS_BAR); IsVisibleChild(statusBar)) {
        // A status bar places itself at the bottom when told of the size.
        ::SendMessageW(statusBar, WM_SIZE, 0, 0);
        RECT bar{};
        ::GetWindowRect(statusBar, &bar);
        client.bottom -= bar.bottom - bar.top;
    }
    if (client.bottom < client.top) client.bottom = client.top;
    if (const HWND pane = Bar(AFX_IDW_PANE_FIRST))
        ::MoveWindow(pane, client.left, client.top, client.right - client.left,
                     client.bottom - client.top, TRUE);
}

void CFrameWnd::OnSize(UINT type, int, int) {
    Default();
    if (type != SIZE_MINIMIZED) RecalcLayout();
}

void CFrameWnd::OnClose() {
    DestroyWindow();
}

void CFrameWnd::PostNcDestroy() {
    if (m_pDeleted) *m_pDeleted = true;
    delete this;
}

void CFrameWnd::SetMessageText(const wchar_t* text) {
    if (const HWND statusBar = Bar(AFX_IDW_STATUS_BAR))
        ::SendMessageW(statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text ? text : L""));
}

void CFrameWnd::SetMessageText(UINT stringId) {
    SetMessageText(FxCommandPrompt(stringId, false));
}

BOOL CFrameWnd::PreTranslateMessage(MSG* msg) {
    if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST &&
        m_accelerators.Translate(m_hWnd, msg))
        return TRUE;
    return CWnd::PreTranslateMessage(msg);
}

BOOL CFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    LRESULT ignored = 0;
    if (m_pActiveView && m_pActiveView->DispatchToMap(WM_COMMAND, wParam, lParam, &ignored))
        return TRUE;
    if (DispatchToMap(WM_COMMAND, wParam, lParam, &ignored)) return TRUE;
    CWinApp* app = AfxGetApp();
    return app && app->DispatchToMap(WM_COMMAND, wParam, lParam, &ignored);
}

void CFrameWnd::RouteCommandUI(CCmdUI& ui) {
    CWinApp* app = AfxGetApp();
    CCmdTarget* targets[] = {m_pActiveView, this, app};
    for (CCmdTarget* target : targets) {
        ui.m_bEnableChanged = false;
        if (target && ui.DoUpdate(target)) return;
    }
    bool handled = false;
    for (CCmdTarget* target : targets)
        if (target && target->HasCommandHandler(ui.m_nID)) handled = true;
    ui.Enable(handled ? TRUE : FALSE);
}

BOOL CFrameWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (CWnd::OnNotify(wParam, lParam, result)) return TRUE;
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header) return FALSE;
    const HWND toolBar = Bar(AFX_IDW_TOOLBAR);
    auto* bar = dynamic_cast<CToolBar*>(CWnd::FromHandlePermanent(toolBar));
    if (header->code == TTN_GETDISPINFOW) {
        if (!bar || !(bar->GetBarStyle() & CBRS_TOOLTIPS)) return FALSE;
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
        m_tipText = FxCommandPrompt(static_cast<UINT>(header->idFrom), true);
        info->lpszText = const_cast<wchar_t*>(static_cast<const wchar_t*>(m_tipText));
        info->hinst = nullptr;
        return TRUE;
    }
    if (header->code == TBN_HOTITEMCHANGE && header->hwndFrom == toolBar) {
        if (!bar || !(bar->GetBarStyle() & CBRS_FLYBY)) return FALSE;
        const auto* hot = reinterpret_cast<const NMTBHOTITEM*>(lParam);
        if (hot->dwFlags & HICF_LEAVING)
            SetMessageText(kIdleMessageId);
        else
            SetMessageText(static_cast<UINT>(hot->idNew));
        *result = 0;
        return TRUE;
    }
    return FALSE;
}

LRESULT CFrameWnd::OnInitMenuPopup(WPARAM wParam, LPARAM lParam) {
    Default();
    if (HIWORD(lParam)) return 0; // the window menu is the system's
    const HMENU menu = reinterpret_cast<HMENU>(wParam);
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        const UINT id = ::GetMenuItemID(menu, i);
        if (id == 0 || id == static_cast<UINT>(-1)) continue; // separator or submenu
        CCmdUI ui;
        ui.m_nID = id;
        ui.m_hMenu = menu;
        ui.m_nIndex = static_cast<UINT>(i);
        RouteCommandUI(ui);
    }
    return 0;
}

LRESULT CFrameWnd::OnMenuSelect(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    const UINT flags = HIWORD(wParam);
    if (flags == 0xFFFF && lParam == 0) {
        SetMessageText(kIdleMessageId);
    } else if (flags & (MF_POPUP | MF_SEPARATOR)) {
        SetMessageText(L"");
    } else {
        SetMessageText(id);
    }
    return 0;
}

LRESULT CFrameWnd::OnExitMenuLoop(WPARAM, LPARAM) {
    SetMessageText(kIdleMessageId);
    return 0;
}

LRESULT CFrameWnd::OnIdleUpdate(WPARAM wParam, LPARAM lParam) {
    if (const HWND toolBar = Bar(AFX_IDW_TOOLBAR); IsVisibleChild(toolBar)) {
        const int count = static_cast<int>(::SendMessageW(toolBar, TB_BUTTONCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            TBBUTTON button{};
            if (!::SendMessageW(toolBar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button)))
                continue;
            if (button.fsStyle & TBSTYLE_SEP) continue;
            CCmdUI ui;
            ui.m_nID = static_cast<UINT>(button.idCommand);
            ui.m_hToolBar = toolBar;
            RouteCommandUI(ui);
        }
    }
    if (const HWND statusBar = Bar(AFX_IDW_STATUS_BAR); IsVisibleChild(statusBar))
        ::SendMessageW(statusBar, WM_IDLEUPDATECMDUI, wParam, lParam);
    return 0;
}

LRESULT CFrameWnd::OnSetFocusMessage(WPARAM, LPARAM) {
    if (m_pActiveView && m_pActiveView->GetSafeHwnd()) {
        ::SetFocus(m_pActiveView->GetSafeHwnd());
        return 0;
    }
    return Default();
}

void CFrameWnd::OnToggleBar(UINT id) {
    const HWND bar = Bar(id);
    if (!bar) return;
    ::ShowWindow(bar, IsVisibleChild(bar) ? SW_HIDE : SW_SHOW);
    RecalcLayout();
}

void CFrameWnd::OnUpdateBar(CCmdUI* ui) {
    const HWND bar = Bar(ui->m_nID);
    ui->Enable(bar != nullptr);
    ui->SetCheck(IsVisibleChild(bar) ? 1 : 0);
}

void CFrameWnd::OnAppExit() {
    // Through WM_CLOSE, so the frame's own closing steps run.
    SendMessage(WM_CLOSE);
}
