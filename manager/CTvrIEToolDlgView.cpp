// The management dialog's window side: the tree of pages and items and the
// item fields of the selected node.
#include "CTvrIEToolDlg.h"
#include "CNotifyMsg.h"
#include "CUpdateMsg.h"
#include "CWinApp.h"
#include "FxMessageMap.h"
#include "TraceScope.h"
#include "resource.h"

#include <commctrl.h>

#include <cwchar>

namespace {
constexpr int kImageRoot = 0;
constexpr int kImagePage = 1;
constexpr int kImageItem = 2;

HTREEITEM InsertNode(HWND tree, HTREEITEM parent, const std::wstring& text, int image,
                     LPARAM data) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.iImage = image;
    insert.item.iSelectedImage = image;
    insert.item.lParam = data;
    return TreeView_InsertItem(tree, &insert);
}

bool NodeImage(HWND tree, HTREEITEM node, int* image, LPARAM* data) {
    TVITEMW item{};
    item.mask = TVIF_IMAGE | TVIF_PARAM | TVIF_HANDLE;
    item.hItem = node;
    if (!node || !TreeView_GetItem(tree, &item)) return false;
    *image = item.iImage;
    *data = item.lParam;
    return true;
}

std::wstring WindowText(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int read = ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(read > 0 ? read : 0));
    return text;
}
} // namespace

BEGIN_MESSAGE_MAP(CTvrIEToolDlg, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_WM_SIZE()
ON_WM_GETMINMAXINFO()
ON_WM_TIMER()
ON_WM_CLOSE()
ON_WM_DESTROY()
ON_MESSAGE(kLoadedMessage, &CTvrIEToolDlg::OnLoaded)
ON_MESSAGE(kFieldsMessage, &CTvrIEToolDlg::OnFields)
ON_NOTIFY(TVN_SELCHANGINGW, IDC_TREE_WEBDATA, &CTvrIEToolDlg::OnTreeSelChanging)
ON_NOTIFY(TVN_SELCHANGEDW, IDC_TREE_WEBDATA, &CTvrIEToolDlg::OnTreeSelChanged)
ON_NOTIFY(NM_RCLICK, IDC_TREE_WEBDATA, &CTvrIEToolDlg::OnTreeRClick)
ON_NOTIFY(TVN_BEGINLABELEDITW, IDC_TREE_WEBDATA, &CTvrIEToolDlg::OnTreeBeginLabelEdit)
ON_NOTIFY(TVN_ENDLABELEDITW, IDC_TREE_WEBDATA, &CTvrIEToolDlg::OnTreeEndLabelEdit)
ON_BN_CLICKED(IDC_BUTTON_RENAME, &CTvrIEToolDlg::OnRename)
ON_BN_CLICKED(IDC_BUTTON_APPLY, &CTvrIEToolDlg::OnApply)
ON_BN_CLICKED(IDC_BUTTON_ITEMINFO, &CTvrIEToolDlg::OnPaneToggle)
ON_BN_CLICKED(IDC_BUTTON_DELETE, &CTvrIEToolDlg::OnDelete)
ON_BN_CLICKED(IDC_BUTTON_COPY, &CTvrIEToolDlg::OnCopy)
ON_BN_CLICKED(IDC_BUTTON_CLEAR, &CTvrIEToolDlg::OnClear)
ON_BN_CLICKED(IDC_BUTTON_OPENPAGE, &CTvrIEToolDlg::OnOpenPage)
ON_BN_CLICKED(IDC_CHECK_AUTOINPUT, &CTvrIEToolDlg::OnCheckAutoInput)
ON_BN_CLICKED(IDC_CHECK_CHANGEFLG, &CTvrIEToolDlg::OnCheckChangeFlg)
ON_COMMAND(ID_ACCEL_RENAME, &CTvrIEToolDlg::OnRename)
ON_COMMAND(ID_ACCEL_DELETE, &CTvrIEToolDlg::OnAccelDelete)
END_MESSAGE_MAP()

BOOL CTvrIEToolDlg::OnInitDialog() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::OnInitDialog");
    CDialog::OnInitDialog();
    m_dwUiThread = ::GetCurrentThreadId();
    const HINSTANCE module = ::GetModuleHandleW(nullptr);
    m_hIcon = ::LoadIconW(module, MAKEINTRESOURCEW(IDR_MAINFRAME));
    if (m_hIcon) {
        ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
        ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    }
    // Resource accelerators are freed with the module.
    m_hAccel = ::LoadAcceleratorsW(module, MAKEINTRESOURCEW(IDR_ACCELERATOR));
    CentreWindow();

    if (HMENU system = ::GetSystemMenu(m_hWnd, FALSE)) {
        ::AppendMenuW(system, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuW(system, MF_STRING, IDM_ABOUTBOX, L"バージョン情報(&A)...");
        // No closing while the tree loads.
        ::EnableMenuItem(system, SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    }
    m_hImages = ImageList_Create(16, 16, ILC_COLOR8, 3, 3);
    for (const UINT id : {IDB_ROOT, IDB_PAGE, IDB_ITEM}) {
        if (HBITMAP bitmap = ::LoadBitmapW(module, MAKEINTRESOURCEW(id))) {
            ImageList_Add(m_hImages, bitmap, nullptr);
            ::DeleteObject(bitmap);
        }
    }
    if (HWND tree = ::GetDlgItem(m_hWnd, IDC_TREE_WEBDATA))
        TreeView_SetImageList(tree, m_hImages, TVSIL_NORMAL);

    m_pNotifyMsg = std::make_unique<CNotifyMsg>(this);
    if (m_pNotifyMsg->Create(CNotifyMsg::IDD, this)) m_pNotifyMsg->ShowWindow(SW_SHOW);
    EnablePageBtn();
    for (const int id : {IDC_EDIT_ITEMNAME, IDC_BUTTON_CLEAR, IDC_CHECK_AUTOINPUT,
                         IDC_CHECK_AUTOSEND, IDC_CHECK_CHANGEFLG, IDOK, IDCANCEL, IDC_BUTTON_APPLY})
        ::EnableWindow(::GetDlgItem(m_hWnd, id), FALSE);
    m_nCryptUsable = 1;

    m_hLoader.reset(::CreateThread(nullptr, 0, &CTvrIEToolDlg::LoaderThread, this, 0, nullptr));
    if (!m_hLoader) {
        // Without a thread the tree is read here.
        (void)GetWebFormData();
        (void)GetOptionData();
        ::PostMessageW(m_hWnd, kLoadedMessage, 0, 0);
    }
    // The pages and options belong to the loader until it has ended: the
    // pane is shown once it has (WM_USER+55).
    TORVA_RETURN_BOOL(TRUE);
}

void CTvrIEToolDlg::OnDestroy() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::OnDestroy");
    // The threads use the model: it stays until they have ended.
    m_hLoader.reset();
    m_hWorker.reset();
    ::KillTimer(m_hWnd, 1);
    ::KillTimer(m_hWnd, 2);
    m_pNotifyMsg.reset();
    m_pUpdateMsg.reset();
    Default();
}

void CTvrIEToolDlg::SetTreeViewData() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::SetTreeViewData");
    const HWND tree = ::GetDlgItem(m_hWnd, IDC_TREE_WEBDATA);
    if (!tree) return;
    TreeView_DeleteAllItems(tree);
    const HTREEITEM root = InsertNode(tree, TVI_ROOT, L"登録アイテム一覧", kImageRoot, 0);
    for (const auto& page : m_pages) {
        if (page->m_nEditState == kPageDeleted) continue;
        const std::wstring label = page->m_strTitle + L"(" + page->m_strUrl + L")";
        const HTREEITEM pageNode =
            InsertNode(tree, root, label, kImagePage, reinterpret_cast<LPARAM>(page.get()));
        for (const auto& item : page->m_items) {
            if (item->m_nState == kItemDeleted) continue;
            InsertNode(tree, pageNode, GetItemLabel(page.get(), item.get()), kImageItem,
                       reinterpret_cast<LPARAM>(item.get()));
        }
        TreeView_Expand(tree, pageNode, TVE_EXPAND);
    }
    TreeView_Expand(tree, root, TVE_EXPAND);
}

CDataWebForm* CTvrIEToolDlg::PageOfNode(HTREEITEM node) const {
    int image = -1;
    LPARAM data = 0;
    if (!NodeImage(::GetDlgItem(m_hWnd, IDC_TREE_WEBDATA), node, &image, &data)) return nullptr;
    return image == kImagePage ? reinterpret_cast<CDataWebForm*>(data) : nullptr;
}

CDataWebItem* CTvrIEToolDlg::ItemOfNode(HTREEITEM node) const {
    int image = -1;
    LPARAM data = 0;
    if (!NodeImage(::GetDlgItem(m_hWnd, IDC_TREE_WEBDATA), node, &image, &data)) return nullptr;
    return image == kImageItem ? reinterpret_cast<CDataWebItem*>(data) : nullptr;
}

LRESULT CTvrIEToolDlg::OnFields(WPARAM fetch, LPARAM) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::OnFields");
    const auto checked = [this](int id) {
        return ::IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED ? TRUE : FALSE;
    };
    const auto check = [this](int id, BOOL on) {
        ::CheckDlgButton(m_hWnd, id, on ? BST_CHECKED : BST_UNCHECKED);
    };
    if (fetch) {
        m_strItemName = WindowText(::GetDlgItem(m_hWnd, IDC_EDIT_ITEMNAME));
        m_strFormName = WindowText(::GetDlgItem(m_hWnd, IDC_STATIC_FORMNAME));
        m_bAutoInput = checked(IDC_CHECK_AUTOINPUT);
        m_bAutoSend = checked(IDC_CHECK_AUTOSEND);
        m_bChangeFlg = checked(IDC_CHECK_CHANGEFLG);
        m_bHidePwd = checked(IDC_CHECK_HIDEPWD);
    } else {
        ::SetDlgItemTextW(m_hWnd, IDC_EDIT_ITEMNAME, m_strItemName.c_str());
        ::SetDlgItemTextW(m_hWnd, IDC_STATIC_FORMNAME, m_strFormName.c_str());
        check(IDC_CHECK_AUTOINPUT, m_bAutoInput);
        check(IDC_CHECK_AUTOSEND, m_bAutoSend);
        check(IDC_CHECK_CHANGEFLG, m_bChangeFlg);
        check(IDC_CHECK_HIDEPWD, m_bHidePwd);
    }
    TORVA_RETURN_INT(0);
}

void CTvrIEToolDlg::OnTreeSelChanged(NMHDR*, LRESULT* result) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::OnTreeSelChanged");
    SetWebItemData();
    if (result) *result = 0;
}

void CTvrIEToolDlg::SetWebItemData() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::SetWebItemData");
    const HWND tree = ::GetDlgItem(m_hWnd, IDC_TREE_WEBDATA);
    const HTREEITEM node = tree ? TreeView_GetSelection(tree) : nullptr;
    // The preview's bindings belong to the item shown before.
    ClearElementBindings();
    m_pShownItem = ItemOfNode(node);
    // The options as they are now: the browser may have changed them since
    // the manager opened.
    (void)GetOptionData();
    m_bHidePwd = m_option.m_nHidePwd != 0 ? TRUE : FALSE;
    CDataWebItem* const item = m_pShownItem;
    CDataWebForm* page = item ? FindPageOfItem(item) : PageOfNode(node);
    const int state = item ? item->m_nState : kItemNormal;
    // An item without a name proposes its form's name.
    m_strItemName =
        item ? (item->m_strName.empty() ? item->m_strFormName : item->m_strName) : std::wstring();
    m_strFormName = item ? item->m_strFormName : std::wstring();
    m_bAutoInput = item && state != kItemPlaceholder && item->m_nAutoInput == 1 ? TRUE : FALSE;
    m_bAutoSend =
        item && state != kItemPlaceholder && state != kItemUnnamed && item->m_nAutoSend == 1
            ? TRUE
            : FALSE;
    m_bChangeFlg = page && page->m_nChangeFlg == 1 ? TRUE : FALSE;
    if (item) RefreshItemLabels(page);
    UpdateDialogFields(FALSE);
    ShowCtrlData(m_pShownItem);
    for (const int id : {IDC_EDIT_ITEMNAME, IDC_BUTTON_CLEAR, IDC_CHECK_AUTOINPUT,
                         IDC_CHECK_AUTOSEND, IDC_CHECK_CHANGEFLG})
        ::EnableWindow(::GetDlgItem(m_hWnd, id), item ? TRUE : FALSE);
    EnablePageBtn();
}

namespace {
constexpr size_t kTitleLimit = 50;
}

void CTvrIEToolDlg::OnRename() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::OnRename");
    const HWND tree = ::GetDlgItem(m_hWnd, IDC_TREE_WEBDATA);
    if (!tree) return;
    const HTREEITEM node = TreeView_GetSelection(tree);
    if (!PageOfNode(node)) return;
    ::SetFocus(tree);
    TreeView_EditLabel(tree, node);
}

void CTvrIEToolDlg::OnTreeBeginLabelEdit(NMHDR* header, LRESULT* result) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::OnTreeBeginLabelEdit");
    const auto* info = reinterpret_cast<NMTVDISPINFOW*>(header);
    CDataWebForm* page = PageOfNode(info->item.hItem);
    // Only a page's title is edited, and the editor starts with the title
    // alone, without the URL of the label.
    if (!page) {
        *result = TRUE;
        return;
    }
    if (HWND edit = TreeView_GetEditControl(::GetDlgItem(m_hWnd, IDC_TREE_WEBDATA)))
        ::SetWindowTextW(edit, page->m_strTitle.c_str());
    m_bLabelEditing = true;
    *result = FALSE;
}

void CTvrIEToolDlg::OnTreeEndLabelEdit(NMHDR* header, LRESULT* result) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::OnTreeEndLabelEdit");
    *result = FALSE;
    if (!m_bLabelEditing) return;
    m_bLabelEditing = false;
    const auto* info = reinterpret_cast<NMTVDISPINFOW*>(header);
    CDataWebForm* page = PageOfNode(info->item.hItem);
    // A null text is an edit given up.
    if (!page || !info->item.pszText) return;
    const std::wstring title(info->item.pszText);
    if (title.empty()) {
        ShowMessage(L"タイトルが入力されていません。", MB_ICONEXCLAMATION | MB_OK);
        return;
    }
    if (title.size() > kTitleLimit) {
        ShowMessage(L"タイトルは５０文字以内です。", MB_ICONEXCLAMATION | MB_OK);
        ::PostMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_BUTTON_RENAME, BN_CLICKED), 0);
        return;
    }
    if (title == page->m_strTitle) return;
    page->m_strTitle = title;
    if (page->m_nEditState == kPageNormal) page->m_nEditState = kPageRetitled;
    const std::wstring label = page->m_strTitle + L"(" + page->m_strUrl + L")";
    TVITEMW item{};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = info->item.hItem;
    item.pszText = const_cast<wchar_t*>(label.c_str());
    TreeView_SetItem(::GetDlgItem(m_hWnd, IDC_TREE_WEBDATA), &item);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_BUTTON_APPLY), TRUE);
}

void CTvrIEToolDlg::OnApply() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::OnApply");
    (void)StartSaveWorker(1);
}

void CTvrIEToolDlg::OnOK() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::OnOK");
    // The dialog closes when the worker reports a full save.
    (void)StartSaveWorker(2);
}

void CTvrIEToolDlg::OnPaneToggle() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::OnPaneToggle");
    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    const int width = window.right - window.left;
    // The minimum size follows the pane: the flag changes first.
    m_bPaneShown = !m_bPaneShown;
    if (!m_bPaneShown) {
        window.right = window.left + width / 2;
        ::SetDlgItemTextW(m_hWnd, IDC_BUTTON_ITEMINFO, L"アイテム情報(&O)>>");
        // The narrow window's place, for the profile's readers.
        if (CWinApp* app = AfxGetApp()) {
            app->WriteProfileInt(L"Position", L"Left", window.left);
            app->WriteProfileInt(L"Position", L"Top", window.top);
            app->WriteProfileInt(L"Position", L"Right", window.right);
            app->WriteProfileInt(L"Position", L"Bottom", window.bottom);
        }
    } else {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        int doubled = width * 2;
        if (::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor)) {
            const int work = monitor.rcWork.right - monitor.rcWork.left;
            const int least = 2 * m_scaler.ScaleX(450);
            if (::IsZoomed(m_hWnd) && work < least) {
                ::ShowWindow(m_hWnd, SW_RESTORE);
                ::GetWindowRect(m_hWnd, &window);
                doubled = least;
            } else if (doubled > work) {
                doubled = work;
            }
        }
        window.right = window.left + doubled;
        ::SetDlgItemTextW(m_hWnd, IDC_BUTTON_ITEMINFO, L"<<アイテム情報(&O)");
    }
    ::SetWindowPos(m_hWnd, nullptr, window.left, window.top, window.right - window.left,
                   window.bottom - window.top, SWP_NOZORDER | SWP_NOACTIVATE);
    SetPositionCtrl(true);
    ::ShowWindow(m_hWnd, SW_SHOW);
}

BOOL CTvrIEToolDlg::PreTranslateMessage(MSG* msg) {
    if (msg && msg->message == WM_KEYDOWN && m_hWnd) {
        const HWND tree = ::GetDlgItem(m_hWnd, IDC_TREE_WEBDATA);
        const HWND focus = ::GetFocus();
        // The accelerators are the tree's keys.
        if (m_hAccel && tree && focus == tree && ::TranslateAcceleratorW(m_hWnd, m_hAccel, msg))
            return TRUE;
        if (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE) {
            const HWND editor = tree ? TreeView_GetEditControl(tree) : nullptr;
            if (editor && msg->hwnd == editor) {
                // Escape gives the title back; either key ends the editing.
                if (msg->wParam == VK_ESCAPE) {
                    if (CDataWebForm* page = PageOfNode(TreeView_GetSelection(tree)))
                        ::SetWindowTextW(editor, page->m_strTitle.c_str());
                }
                TreeView_EndEditLabelNow(tree, FALSE);
                ::SetFocus(tree);
                return TRUE;
            }
            if (msg->wParam == VK_ESCAPE) return TRUE; // never closes the dialog
            // Enter belongs to the preview's page while it has the focus.
            const HWND browser = ::GetDlgItem(m_hWnd, IDC_EXPLORER_ITEM);
            if (browser && focus && (focus == browser || ::IsChild(browser, focus))) {
                ::TranslateMessage(msg);
                ::DispatchMessageW(msg);
                return TRUE;
            }
            // Enter presses a focused push button, never the default one.
            wchar_t kind[16] = {};
            const bool button =
                focus && ::GetClassNameW(focus, kind, 16) && ::lstrcmpiW(kind, L"Button") == 0 &&
                (::GetWindowLongW(focus, GWL_STYLE) & BS_TYPEMASK) <= BS_DEFPUSHBUTTON;
            if (!button) return TRUE;
        }
    }
    return CDialog::PreTranslateMessage(msg);
}

void CTvrIEToolDlg::OnCancel() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::OnCancel");
    // A save that runs is never given up half-way.
    if (IsSaving()) return;
    const wchar_t* const question =
        L"キャンセルすると、編集した内容が破棄されます。\nキャンセルしますか?";
    bool edited = false;
    for (const auto& page : m_pages) {
        if (page->m_nEditState != kPageNormal) edited = true;
        for (const auto& item : page->m_items) {
            const int state = item->m_nState;
            // A deleted item that was never stored loses nothing.
            if (state == kItemDeleted && item->m_strKey.empty()) continue;
            if (state != kItemNormal && state != kItemAutoInputMoved && state != kItemUnnamed)
                edited = true;
        }
    }
    if (edited) {
        if (ShowMessage(question, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    } else {
        const int answer = IsChangeOrgData(2);
        if (answer == IDNO) return;
        if (answer == 1 && m_pShownItem) {
            UpdateDialogFields(TRUE);
            if (PaneDiffers(m_pShownItem, true) &&
                ShowMessage(question, MB_YESNO | MB_ICONQUESTION) != IDYES) {
                return;
            }
        }
    }
    CloseDlg();
    EndDialog(IDCANCEL);
}
