// The management dialog's window side: the tree of pages and items and the
// item fields of the selected node.
#include "CTvrIEToolDlg.h"
#include "CWinApp.h"
#include "FxMessageMap.h"
#include "TraceScope.h"
#include "resource.h"

#include <commctrl.h>

#include <cwchar>

namespace {
constexpr UINT kFieldsMessage = WM_USER + 60;
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
    ON_MESSAGE(kFieldsMessage, &CTvrIEToolDlg::OnFields)
    ON_NOTIFY(TVN_SELCHANGEDW, IDC_TREE_WEBDATA, &CTvrIEToolDlg::OnTreeSelChanged)
    ON_NOTIFY(TVN_BEGINLABELEDITW, IDC_TREE_WEBDATA, &CTvrIEToolDlg::OnTreeBeginLabelEdit)
    ON_NOTIFY(TVN_ENDLABELEDITW, IDC_TREE_WEBDATA, &CTvrIEToolDlg::OnTreeEndLabelEdit)
    ON_BN_CLICKED(IDC_BUTTON_RENAME, &CTvrIEToolDlg::OnRename)
    ON_BN_CLICKED(IDC_BUTTON_APPLY, &CTvrIEToolDlg::OnApply)
    ON_BN_CLICKED(IDC_BUTTON_ITEMINFO, &CTvrIEToolDlg::OnPaneToggle)
    ON_COMMAND(ID_ACCEL_RENAME, &CTvrIEToolDlg::OnRename)
END_MESSAGE_MAP()

BOOL CTvrIEToolDlg::OnInitDialog() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::OnInitDialog");
    CDialog::OnInitDialog();
    const HINSTANCE module = ::GetModuleHandleW(nullptr);
    if (HICON icon = ::LoadIconW(module, MAKEINTRESOURCEW(IDR_MAINFRAME))) {
        ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    m_hImages = ImageList_Create(16, 16, ILC_COLOR8, 3, 3);
    for (const UINT id : {IDB_ROOT, IDB_PAGE, IDB_ITEM}) {
        if (HBITMAP bitmap = ::LoadBitmapW(module, MAKEINTRESOURCEW(id))) {
            ImageList_Add(m_hImages, bitmap, nullptr);
            ::DeleteObject(bitmap);
        }
    }
    // Resource accelerators are freed with the module.
    m_hAccel = ::LoadAcceleratorsW(module, MAKEINTRESOURCEW(IDR_ACCELERATOR));
    if (HWND tree = ::GetDlgItem(m_hWnd, IDC_TREE_WEBDATA))
        TreeView_SetImageList(tree, m_hImages, TVSIL_NORMAL);

    GetOptionData();
    m_bHidePwd = m_option.m_nHidePwd != 0 ? TRUE : FALSE;
    GetWebFormData();
    FillTree();
    UpdateDialogFields(FALSE);
    ShowCtrlData(nullptr);
    TORVA_RETURN_BOOL(TRUE);
}

void CTvrIEToolDlg::FillTree() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::FillTree");
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
    ShowSelection();
    if (result) *result = 0;
}

void CTvrIEToolDlg::ShowSelection() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::ShowSelection");
    const HWND tree = ::GetDlgItem(m_hWnd, IDC_TREE_WEBDATA);
    const HTREEITEM node = tree ? TreeView_GetSelection(tree) : nullptr;
    // The preview's bindings belong to the item shown before.
    ClearElementBindings();
    m_pShownItem = ItemOfNode(node);
    CDataWebForm* page = m_pShownItem ? FindPageOfItem(m_pShownItem) : PageOfNode(node);
    m_strItemName = m_pShownItem ? m_pShownItem->m_strName : std::wstring();
    m_strFormName = m_pShownItem ? m_pShownItem->m_strFormName : std::wstring();
    m_bAutoInput = m_pShownItem && m_pShownItem->m_nAutoInput ? TRUE : FALSE;
    m_bAutoSend = m_pShownItem && m_pShownItem->m_nAutoSend ? TRUE : FALSE;
    m_bChangeFlg = page && page->m_nChangeFlg ? TRUE : FALSE;
    UpdateDialogFields(FALSE);
    ShowCtrlData(m_pShownItem);
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
    // The dialog takes no input while the tree is written.
    ::EnableWindow(m_hWnd, FALSE);
    const BOOL saved = SetWebFormData();
    ::EnableWindow(m_hWnd, TRUE);
    // What was saved is shown again from the model, without the deleted.
    CDataWebItem* const shown = m_pShownItem;
    FillTree();
    if (saved) ::EnableWindow(::GetDlgItem(m_hWnd, IDC_BUTTON_APPLY), FALSE);
    if (!shown) return;
    const HWND tree = ::GetDlgItem(m_hWnd, IDC_TREE_WEBDATA);
    for (HTREEITEM page = TreeView_GetChild(tree, TreeView_GetRoot(tree)); page;
         page = TreeView_GetNextSibling(tree, page)) {
        for (HTREEITEM node = TreeView_GetChild(tree, page); node;
             node = TreeView_GetNextSibling(tree, node)) {
            if (ItemOfNode(node) == shown) {
                TreeView_SelectItem(tree, node);
                return;
            }
        }
    }
}

void CTvrIEToolDlg::OnOK() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::OnOK");
    ::EnableWindow(m_hWnd, FALSE);
    const BOOL saved = SetWebFormData();
    ::EnableWindow(m_hWnd, TRUE);
    // A failed save keeps the dialog, and the edits, for another try.
    if (saved) EndDialog(IDOK);
}

void CTvrIEToolDlg::OnPaneToggle() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::OnPaneToggle");
    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    const int width = window.right - window.left;
    if (m_bPaneShown) {
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
            if (doubled > work) doubled = work;
        }
        window.right = window.left + doubled;
        ::SetDlgItemTextW(m_hWnd, IDC_BUTTON_ITEMINFO, L"<<アイテム情報(&O)");
    }
    m_bPaneShown = !m_bPaneShown;
    ::SetWindowPos(m_hWnd, nullptr, window.left, window.top, window.right - window.left,
                   window.bottom - window.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CTvrIEToolDlg::PreTranslateMessage(MSG* msg) {
    if (m_hAccel && msg && msg->message == WM_KEYDOWN && m_hWnd) {
        wchar_t kind[16] = {};
        const HWND focus = ::GetFocus();
        const bool inEdit =
            focus && ::GetClassNameW(focus, kind, 16) && ::lstrcmpiW(kind, L"Edit") == 0;
        if (!inEdit && ::TranslateAcceleratorW(m_hWnd, m_hAccel, msg)) return TRUE;
    }
    return CDialog::PreTranslateMessage(msg);
}

void CTvrIEToolDlg::OnCancel() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::OnCancel");
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
    if (edited && ShowMessage(L"キャンセルすると、編集した内容が破棄されます。\nキャンセルしますか?",
                              MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return;
    }
    EndDialog(IDCANCEL);
}
