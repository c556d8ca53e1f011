// The management dialog's commands on the tree and the item pane: delete,
// copy, clear, open page, the check boxes, the context menus, the question
// before leaving an edited item, and which buttons a selection enables.
// Every command only changes the model's edit states and fields; the save
// writes them.
#include "CTvrIEToolDlg.h"
#include "CAboutDlg.h"
#include "CTvrIEToolDlgElements.h"
#include "HtmlCom.h"
#include "TraceScope.h"
#include "resource.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>

namespace {
const wchar_t kDeletePage[] = L"ページ「%ls」を削除しますか？";
const wchar_t kDeleteUnstored[] = L"未登録データは削除できません。";
const wchar_t kDeleteItem[] = L"アイテム「%ls」の情報を削除しますか？";
const wchar_t kCopyUnstored[] = L"未登録データはコピーできません。";
const wchar_t kOtherAutoInput[] =
    L"他のアイテムでこの項目がチェックされています。\nこのアイテムで設定しなおしますか?";
const wchar_t kRestore[] = L"変更前のデータに戻しますか?";
const wchar_t kLeave[] =
    L"項目の選択を変更すると、編集中のデータは破棄されます。\n選択項目を変更しますか？";
const wchar_t kCancel[] = L"キャンセルすると、編集した内容が破棄されます。\nキャンセルしますか?";
const wchar_t kSaveBeforeCopy[] = L"データが変更されています。\n保存してからコピーしますか？";

constexpr UINT kQuestion = MB_YESNO | MB_ICONEXCLAMATION;

std::wstring Format(const wchar_t* format, const std::wstring& text) {
    std::wstring result(text.size() + std::wcslen(format) + 1, L'\0');
    const int written = std::swprintf(result.data(), result.size(), format, text.c_str());
    result.resize(written > 0 ? size_t(written) : 0);
    return result;
}

bool Stored(std::int32_t select) {
    return select == 1;
}

// The stored text of a text, password or text-area control; null when it
// has none.
const std::wstring* StoredText(const CDataWebCtrl& ctrl) {
    if (const CDataWebTextValue* text = ctrl.TextValue()) return &text->m_strValue;
    if (const CDataWebMultiText* area = ctrl.MultiValue()) return &area->m_strText;
    return nullptr;
}

// What an element showed when its preview was bound, when that is the
// measure (an unnamed item's own preview), else null.
const mablix::BoundSnapshot::Values* BoundValues(const mablix::BoundSnapshot* bound,
                                                 const ElementRef& element) {
    return bound ? bound->Find(element) : nullptr;
}

// Whether the preview shows anything other than what is stored for item,
// or, for an element that bound records, other than what it showed when
// it was bound. Unbound elements are not shown and so not changed.
bool PreviewDiffers(const CDataWebItem& item, const mablix::BoundSnapshot* bound) {
    for (const auto& ctrl : item.m_ctrls) {
        switch (ctrl->m_nType) {
        case D_WEB_CTRL_TEXT:
        case D_WEB_CTRL_PSWD:
        case D_WEB_CTRL_MULTI: {
            const auto shown = mablix::ElementText(ctrl->m_element);
            const std::wstring* stored = StoredText(*ctrl);
            if (const auto* at = BoundValues(bound, ctrl->m_element)) {
                if (shown && *shown != at->text) return true;
            } else if (shown && stored && *shown != *stored) {
                return true;
            }
            break;
        }
        case D_WEB_CTRL_RADIO:
        case D_WEB_CTRL_CHECK:
        case D_WEB_CTRL_SELECT: {
            const CDataWebSelCtrl* choices = ctrl->SelValue();
            if (!choices) break;
            for (const auto& choice : choices->m_elements) {
                const bool option = ctrl->m_nType == D_WEB_CTRL_SELECT;
                const auto state = option ? mablix::OptionSelected(choice->m_element)
                                          : mablix::ElementChecked(choice->m_element);
                if (!state) continue;
                if (const auto* at = BoundValues(bound, choice->m_element)) {
                    if (state != (option ? at->selected : at->checked)) return true;
                } else if (*state != Stored(choice->m_nSelect)) {
                    return true;
                }
            }
            break;
        }
        case D_WEB_CTRL_SUBMIT:
        case D_WEB_CTRL_IMAGE: {
            const auto chosen = mablix::OptionSelected(ctrl->m_element);
            const CDataWebButtonValue* button = ctrl->ButtonValue();
            if (const auto* at = BoundValues(bound, ctrl->m_element)) {
                if (chosen && chosen != at->selected) return true;
            } else if (chosen && button && *chosen != Stored(button->m_nSelected)) {
                return true;
            }
            break;
        }
        default:
            break;
        }
    }
    return false;
}

void PutText(const ElementRef& element, const std::wstring& text) {
    if (!element) return;
    ScopedBstr value(text);
    if (auto input = As<IHTMLInputElement>(element.Get(), IID_IHTMLInputElement)) {
        (void)input->put_value(value.Get());
    } else if (auto area = As<IHTMLTextAreaElement>(element.Get(), IID_IHTMLTextAreaElement)) {
        (void)area->put_value(value.Get());
    }
}

void PutChecked(const ElementRef& element, bool checked) {
    if (auto input = element ? As<IHTMLInputElement>(element.Get(), IID_IHTMLInputElement)
                             : CComPtr<IHTMLInputElement>()) {
        (void)input->put_checked(checked ? VARIANT_TRUE : VARIANT_FALSE);
    }
}

void PutSelected(const ElementRef& element, bool selected) {
    if (auto option = element ? As<IHTMLOptionElement>(element.Get(), IID_IHTMLOptionElement)
                              : CComPtr<IHTMLOptionElement>()) {
        (void)option->put_selected(selected ? VARIANT_TRUE : VARIANT_FALSE);
    }
}

// Puts the stored values back into the bound elements of the preview, or,
// for an element that bound records, what it showed when it was bound.
void RestorePreview(const CDataWebItem& item, const mablix::BoundSnapshot* bound) {
    for (const auto& ctrl : item.m_ctrls) {
        const auto* at = BoundValues(bound, ctrl->m_element);
        switch (ctrl->m_nType) {
        case D_WEB_CTRL_TEXT:
        case D_WEB_CTRL_PSWD:
        case D_WEB_CTRL_MULTI:
            if (at && at->text) {
                PutText(ctrl->m_element, *at->text);
            } else if (const std::wstring* stored = StoredText(*ctrl)) {
                PutText(ctrl->m_element, *stored);
            }
            break;
        case D_WEB_CTRL_RADIO:
        case D_WEB_CTRL_CHECK:
        case D_WEB_CTRL_SELECT: {
            const CDataWebSelCtrl* choices = ctrl->SelValue();
            if (!choices) break;
            for (const auto& choice : choices->m_elements) {
                const auto* was = BoundValues(bound, choice->m_element);
                if (ctrl->m_nType == D_WEB_CTRL_SELECT) {
                    PutSelected(choice->m_element,
                                was && was->selected ? *was->selected : Stored(choice->m_nSelect));
                } else {
                    PutChecked(choice->m_element,
                               was && was->checked ? *was->checked : Stored(choice->m_nSelect));
                }
            }
            break;
        }
        case D_WEB_CTRL_SUBMIT:
        case D_WEB_CTRL_IMAGE:
            if (at && at->selected) {
                PutSelected(ctrl->m_element, *at->selected);
            } else if (const CDataWebButtonValue* button = ctrl->ButtonValue()) {
                PutSelected(ctrl->m_element, Stored(button->m_nSelected));
            }
            break;
        default:
            break;
        }
    }
}
} // namespace

bool CTvrIEToolDlg::PaneDiffers(CDataWebItem* item, bool withAutoInput) const {
    if (!item) return false;
    // What the pane proposed when it showed the item.
    const std::wstring& proposed = item->m_strName.empty() ? item->m_strFormName : item->m_strName;
    const int state = item->m_nState;
    const bool autoInput = state != kItemPlaceholder && Flag(item->m_nAutoInput) == 1;
    const bool autoSend =
        state != kItemPlaceholder && state != kItemUnnamed && Flag(item->m_nAutoSend) == 1;
    return m_strItemName != proposed || (withAutoInput && (m_bAutoInput != FALSE) != autoInput) ||
           (m_bAutoSend != FALSE) != autoSend;
}

int CTvrIEToolDlg::IsChangeOrgData(int status) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::IsChangeOrgData");
    CDataWebItem* item = m_pShownItem;
    if (!item || !FindPageOfItem(item)) TORVA_RETURN_INT(1);
    UpdateDialogFields(TRUE);
    // An unnamed item (a placeholder left by a delete among them) is
    // measured against its own preview as it was shown: the browser's first
    // option of a list and the empty fields are nobody's edit.
    const bool unnamed = item->m_nState == kItemPlaceholder || item->m_nState == kItemUnnamed;
    const mablix::BoundSnapshot* bound = unnamed ? &BoundPreview() : nullptr;
    bool changed = PreviewDiffers(*item, bound);
    if (!changed && (status == 0 || status == 4)) changed = PaneDiffers(item, true);
    if (!changed) TORVA_RETURN_INT(1);
    const wchar_t* question = nullptr;
    switch (status) {
    case 0:
        question = kRestore;
        break;
    case 1:
        question = kLeave;
        break;
    case 2:
        question = kCancel;
        break;
    case 4:
        question = kSaveBeforeCopy;
        break;
    default:
        TORVA_RETURN_INT(-1);
    }
    const int answer = ShowMessage(question, kQuestion);
    if (status != 0) TORVA_RETURN_INT(answer);
    if (answer != IDYES) TORVA_RETURN_INT(0);
    // Back to what is stored: the preview, and the pane's fields with it.
    RestorePreview(*item, bound);
    m_strItemName = item->m_strName.empty() ? item->m_strFormName : item->m_strName;
    const int state = item->m_nState;
    m_bAutoInput = state != kItemPlaceholder && Flag(item->m_nAutoInput) == 1;
    m_bAutoSend =
        state != kItemPlaceholder && state != kItemUnnamed && Flag(item->m_nAutoSend) == 1;
    UpdateDialogFields(FALSE);
    TORVA_RETURN_INT(IDYES);
}

void CTvrIEToolDlg::EnablePageBtn() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::EnablePageBtn");
    const HWND tree = ::GetDlgItem(m_hWnd, IDC_TREE_WEBDATA);
    const HTREEITEM node = tree ? TreeView_GetSelection(tree) : nullptr;
    const bool page = PageOfNode(node) != nullptr;
    const bool item = ItemOfNode(node) != nullptr;
    const auto enable = [this](int id, bool on) {
        if (HWND button = ::GetDlgItem(m_hWnd, id)) ::EnableWindow(button, on ? TRUE : FALSE);
    };
    enable(IDC_BUTTON_RENAME, page);
    enable(IDC_BUTTON_OPENPAGE, page);
    enable(IDC_BUTTON_DELETE, page || item);
    enable(IDC_BUTTON_COPY, item);
}

HTREEITEM CTvrIEToolDlg::FindItemNode(const CDataWebItem* item) const {
    const HWND tree = ::GetDlgItem(m_hWnd, IDC_TREE_WEBDATA);
    if (!tree || !item) return nullptr;
    for (HTREEITEM page = TreeView_GetChild(tree, TreeView_GetRoot(tree)); page;
         page = TreeView_GetNextSibling(tree, page)) {
        for (HTREEITEM node = TreeView_GetChild(tree, page); node;
             node = TreeView_GetNextSibling(tree, node)) {
            if (ItemOfNode(node) == item) return node;
        }
    }
    return nullptr;
}

void CTvrIEToolDlg::SelectNode(HTREEITEM node) {
    const HWND tree = ::GetDlgItem(m_hWnd, IDC_TREE_WEBDATA);
    if (!tree) return;
    m_bSelecting = true;
    TreeView_SelectItem(tree, node);
    m_bSelecting = false;
}

void CTvrIEToolDlg::RefreshItemLabels(CDataWebForm* page) {
    const HWND tree = ::GetDlgItem(m_hWnd, IDC_TREE_WEBDATA);
    if (!tree || !page) return;
    for (HTREEITEM pageNode = TreeView_GetChild(tree, TreeView_GetRoot(tree)); pageNode;
         pageNode = TreeView_GetNextSibling(tree, pageNode)) {
        if (PageOfNode(pageNode) != page) continue;
        for (HTREEITEM node = TreeView_GetChild(tree, pageNode); node;
             node = TreeView_GetNextSibling(tree, node)) {
            CDataWebItem* item = ItemOfNode(node);
            if (!item) continue;
            const std::wstring label = GetItemLabel(page, item);
            TVITEMW change{};
            change.mask = TVIF_TEXT | TVIF_HANDLE;
            change.hItem = node;
            change.pszText = const_cast<wchar_t*>(label.c_str());
            TreeView_SetItem(tree, &change);
        }
        return;
    }
}

void CTvrIEToolDlg::RestoreAutoInputItem() {
    if (!m_pAutoInputItem) return;
    m_pAutoInputItem->m_nState = m_nAutoInputOldState;
    m_pAutoInputItem->m_nAutoInput = m_nAutoInputOld;
    m_pAutoInputItem->m_nAutoSend = m_nAutoSendOld;
    m_pAutoInputItem = nullptr;
}

void CTvrIEToolDlg::RestoreLeftEdits(CDataWebItem* item) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::RestoreLeftEdits");
    RestoreAutoInputItem();
    // A placeholder left with its edits given up is the item it was.
    if (m_pPlaceholderItem && m_pPlaceholderItem == item) {
        item->m_strName = m_strPlaceholderName;
        item->m_nState = kItemNormal;
        m_pPlaceholderItem = nullptr;
        m_strPlaceholderName.clear();
    }
    RefreshItemLabels(FindPageOfItem(item));
}

void CTvrIEToolDlg::OnTreeSelChanging(NMHDR* header, LRESULT* result) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::OnTreeSelChanging");
    *result = FALSE;
    if (m_bSelecting || !m_bLoaded) return;
    const auto* change = reinterpret_cast<NMTREEVIEWW*>(header);
    CDataWebItem* item = ItemOfNode(change->itemOld.hItem);
    if (!item || item != m_pShownItem) return;
    CDataWebForm* page = FindPageOfItem(item);
    const int answer = IsChangeOrgData(1);
    if (answer == IDYES) {
        // The preview's edits are given up; the item stays what the tree
        // made it (a deleted item stays deleted). Only the check taken from
        // another item is given back, or the save would clear it for nothing.
        RestoreAutoInputItem();
        RefreshItemLabels(page);
        return;
    }
    if (answer != 1) {
        *result = TRUE;
        return;
    }
    UpdateDialogFields(TRUE);
    // The only item of a page fills in whatever its check says.
    if (!PaneDiffers(item, GetItemNum(page) != 1)) return;
    if (ShowMessage(kLeave, kQuestion) != IDYES) {
        *result = TRUE;
        return;
    }
    RestoreLeftEdits(item);
}

void CTvrIEToolDlg::OnTreeRClick(NMHDR*, LRESULT* result) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::OnTreeRClick");
    *result = TRUE;
    const HWND tree = ::GetDlgItem(m_hWnd, IDC_TREE_WEBDATA);
    if (!tree || IsSaving()) return;
    POINT cursor{};
    ::GetCursorPos(&cursor);
    TVHITTESTINFO hit{};
    hit.pt = cursor;
    ::ScreenToClient(tree, &hit.pt);
    const HTREEITEM under = TreeView_HitTest(tree, &hit);
    if (under && (hit.flags & (TVHT_ONITEM | TVHT_ONITEMBUTTON))) TreeView_SelectItem(tree, under);
    const HTREEITEM node = TreeView_GetSelection(tree);
    UINT menuId = 0;
    if (PageOfNode(node)) {
        menuId = IDR_MENU_PAGE;
    } else if (ItemOfNode(node)) {
        menuId = IDR_MENU_ITEM;
    } else {
        return;
    }
    HMENU menu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(menuId));
    if (!menu) return;
    // The dialog must be the foreground window, or the menu stays open when
    // the user clicks elsewhere.
    ::SetForegroundWindow(m_hWnd);
    ::TrackPopupMenu(::GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0,
                     m_hWnd, nullptr);
    ::DestroyMenu(menu);
}

void CTvrIEToolDlg::OnDelete() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::OnDelete");
    if (IsSaving() || !m_bLoaded) return;
    DeleteSelected();
}

void CTvrIEToolDlg::OnAccelDelete() {
    ::PostMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_BUTTON_DELETE, BN_CLICKED), 0);
}

void CTvrIEToolDlg::DeleteSelected() {
    const HWND tree = ::GetDlgItem(m_hWnd, IDC_TREE_WEBDATA);
    const HTREEITEM node = tree ? TreeView_GetSelection(tree) : nullptr;
    if (CDataWebForm* page = PageOfNode(node)) {
        if (ShowMessage(Format(kDeletePage, page->m_strTitle).c_str(), kQuestion) != IDYES) return;
        page->m_nEditState = kPageDeleted;
        m_bSelecting = true;
        TreeView_DeleteItem(tree, node);
        m_bSelecting = false;
        SetWebItemData();
        return;
    }
    CDataWebItem* item = ItemOfNode(node);
    CDataWebForm* page = item ? FindPageOfItem(item) : nullptr;
    if (!page) return;
    if (item->m_strKey.empty()) {
        (void)ShowMessage(kDeleteUnstored, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (ShowMessage(Format(kDeleteItem, item->m_strName).c_str(), kQuestion) != IDYES) return;
    bool sibling = false;
    for (const auto& other : page->m_items) {
        if (other.get() == item || other->m_nIndex != item->m_nIndex) continue;
        if (other->m_nState != kItemDeleted && other->m_nState != kItemUnnamed) sibling = true;
    }
    if (sibling) {
        item->m_nState = kItemDeleted;
        m_bSelecting = true;
        TreeView_DeleteItem(tree, node);
        m_bSelecting = false;
        SetWebItemData();
        return;
    }
    // The form's last item stays as its placeholder; the name is kept for
    // a restore when its edits are given up.
    m_pPlaceholderItem = item;
    m_strPlaceholderName = item->m_strName;
    item->m_strName.clear();
    item->m_nState = kItemPlaceholder;
    RefreshItemLabels(page);
    SetWebItemData();
}

void CTvrIEToolDlg::OnCopy() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::OnCopy");
    if (IsSaving() || !m_bLoaded) return;
    CopySelected();
}

void CTvrIEToolDlg::CopySelected() {
    const HWND tree = ::GetDlgItem(m_hWnd, IDC_TREE_WEBDATA);
    CDataWebItem* item = ItemOfNode(tree ? TreeView_GetSelection(tree) : nullptr);
    CDataWebForm* page = item ? FindPageOfItem(item) : nullptr;
    if (!page) return;
    if (item->m_nState == kItemPlaceholder || item->m_strKey.empty()) {
        (void)ShowMessage(kCopyUnstored, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const int answer = IsChangeOrgData(4);
    if (answer == IDYES) {
        UpdateDialogFields(TRUE);
        if (!IsItemName(page, item, m_strItemName)) return;
        // The whole model is saved first, here on the window's thread (no
        // worker runs); a copy of edits that could not be saved is no copy.
        m_nCryptUsable = 1;
        if (!SetWebFormData()) return;
        // The save may have freed pages and items that had no node.
        if (!FindPageOfItem(item)) return;
        page = FindPageOfItem(item);
    } else if (answer != 1) {
        return;
    }
    UpdateDialogFields(TRUE);
    CDataWebItem* copy = CopyWebItem(page, *item, CreateCopyName(page, m_strItemName));
    if (!copy) return;
    m_bSelecting = true;
    SetTreeViewData();
    m_bSelecting = false;
    // The copy is shown as the selection.
    SelectNode(FindItemNode(copy));
    if (m_pShownItem != copy) SetWebItemData();
}

void CTvrIEToolDlg::OnClear() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::OnClear");
    (void)IsChangeOrgData(0);
}

std::wstring CTvrIEToolDlg::OpenPageParameters(const std::wstring& url) {
    std::wstring parameters = L"-new ";
    if (url.empty()) return parameters;
    // One argument however the URL reads: a quote inside it is written as
    // its URL escape, and backslashes before the closing quote are doubled
    // so that they do not escape it.
    std::wstring quoted;
    quoted.reserve(url.size() + 8);
    for (const wchar_t c : url) {
        if (c == L'"') {
            quoted += L"%22";
        } else {
            quoted += c;
        }
    }
    size_t trailing = 0;
    while (trailing < quoted.size() && quoted[quoted.size() - 1 - trailing] == L'\\')
        ++trailing;
    quoted.append(trailing, L'\\');
    return parameters + L"\"" + quoted + L"\"";
}

void CTvrIEToolDlg::OpenBrowser(const std::wstring& parameters) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::OpenBrowser");
    (void)::ShellExecuteW(nullptr, L"open", L"iexplore.exe", parameters.c_str(), nullptr,
                          SW_SHOWNORMAL);
}

void CTvrIEToolDlg::OnOpenPage() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::OnOpenPage");
    const HWND tree = ::GetDlgItem(m_hWnd, IDC_TREE_WEBDATA);
    CDataWebForm* page = PageOfNode(tree ? TreeView_GetSelection(tree) : nullptr);
    if (!page) return;
    OpenBrowser(OpenPageParameters(page->m_strUrl));
}

void CTvrIEToolDlg::OnCheckAutoInput() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::OnCheckAutoInput");
    UpdateDialogFields(TRUE);
    CDataWebItem* item = m_pShownItem;
    CDataWebForm* page = item ? FindPageOfItem(item) : nullptr;
    if (m_bAutoInput && page) {
        CDataWebItem* other = nullptr;
        for (const auto& held : page->m_items) {
            if (held.get() == item || held->m_nState == kItemDeleted) continue;
            if (Flag(held->m_nAutoInput) == 1) {
                other = held.get();
                break;
            }
        }
        if (other && ShowMessage(kOtherAutoInput, kQuestion) == IDYES) {
            // Asked again for the same item: what it was before the first
            // answer stays what a discard gives back.
            if (other != m_pAutoInputItem) {
                m_pAutoInputItem = other;
                m_nAutoInputOld = other->m_nAutoInput;
                m_nAutoSendOld = other->m_nAutoSend;
                m_nAutoInputOldState = other->m_nState;
            }
            // Only a stored, unedited item is rewritten by state 7; any
            // other (an unsaved copy among them) keeps its own state and
            // loses the flag in memory, so that its save writes it cleared.
            if (other->m_nState == kItemNormal) {
                other->m_nState = kItemAutoInputMoved;
            } else {
                other->m_nAutoInput = 0;
            }
        } else if (other) {
            m_bAutoInput = FALSE;
        }
    }
    UpdateDialogFields(FALSE);
}

void CTvrIEToolDlg::OnCheckChangeFlg() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::OnCheckChangeFlg");
    UpdateDialogFields(TRUE);
    if (CDataWebForm* page = FindPageOfItem(m_pShownItem))
        page->m_nChangeFlg = m_bChangeFlg ? 1 : 0;
}

void CTvrIEToolDlg::OnSysCommand(UINT id, LPARAM) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        (void)about.DoModal();
        return;
    }
    Default();
}

void CTvrIEToolDlg::OnClose() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::OnClose");
    // Close is grey while the tree loads.
    HMENU system = ::GetSystemMenu(m_hWnd, FALSE);
    if (system && (::GetMenuState(system, SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED)) return;
    OnCancel();
}
