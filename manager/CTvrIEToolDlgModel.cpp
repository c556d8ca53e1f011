// Queries and edits of the in-memory tree that the dialog's commands use:
// names, counts, copies, labels, and what the preview holds.
#include "CTvrIEToolDlg.h"
#include "CTvrIEToolDlgElements.h"
#include "TraceScope.h"

#include <cwchar>
#include <set>

namespace {
// "コピー ～ " with the full-width tilde U+FF5E.
const wchar_t kCopyPrefix[] = L"\u30B3\u30D4\u30FC \uFF5E ";
const wchar_t kCopyNumbered[] = L"\u30B3\u30D4\u30FC \uFF5E (%d) %ls";
const wchar_t kNewEntry[] = L"(新規登録)";
const wchar_t kNoName[] = L"名前なし";
const wchar_t kNameTaken[] = L"既に登録されているアイテム名です。";

bool NameTaken(const CDataWebForm& page, const CDataWebItem* except, const std::wstring& name) {
    for (const auto& item : page.m_items) {
        if (!item || item.get() == except || item->m_nState == CTvrIEToolDlg::kItemDeleted)
            continue;
        if (item->m_strName == name) return true;
    }
    return false;
}
} // namespace

CDataWebForm* CTvrIEToolDlg::FindPageOfItem(const CDataWebItem* item) const {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::FindPageOfItem");
    if (!item) return nullptr;
    for (const auto& page : m_pages) {
        for (const auto& held : page->m_items) {
            if (held.get() == item) return page.get();
        }
    }
    return nullptr;
}

int CTvrIEToolDlg::GetItemNum(CDataWebForm* page) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::GetItemNum");
    if (!page) TORVA_RETURN_INT(0);
    int count = 0;
    for (const auto& item : page->m_items) {
        if (item && item->m_nState != kItemDeleted) ++count;
    }
    TORVA_RETURN_INT(count);
}

BOOL CTvrIEToolDlg::IsItemName(CDataWebForm* page, CDataWebItem* item, const std::wstring& name) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::IsItemName");
    if (!page || !NameTaken(*page, item, name)) TORVA_RETURN_BOOL(TRUE);
    (void)ShowMessage(kNameTaken, MB_OK | MB_ICONHAND);
    TORVA_RETURN_BOOL(FALSE);
}

std::wstring CTvrIEToolDlg::CreateCopyName(CDataWebForm* page, const std::wstring& name) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::CreateCopyName");
    std::wstring copy = kCopyPrefix + name;
    if (!page || !NameTaken(*page, nullptr, copy)) return copy;
    for (int n = 2;; ++n) {
        const int length = std::swprintf(nullptr, 0, kCopyNumbered, n, name.c_str());
        std::wstring numbered(length > 0 ? size_t(length) + 64 : name.size() + 64, L'\0');
        const int written =
            std::swprintf(numbered.data(), numbered.size(), kCopyNumbered, n, name.c_str());
        if (written < 0) return copy;
        numbered.resize(size_t(written));
        if (!NameTaken(*page, nullptr, numbered)) return numbered;
    }
}

CDataWebItem* CTvrIEToolDlg::CopyWebItem(CDataWebForm* page, const CDataWebItem& source,
                                         const std::wstring& name) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::CopyWebItem");
    if (!page) return nullptr;
    CDataWebItem& copy = page->AddItem();
    copy.Copy(source);
    copy.m_strKey.clear();
    copy.m_strName = name;
    copy.m_nAutoInput = 0;
    copy.m_nAutoSend = 0;
    copy.m_nState = kItemCopied;
    for (auto& ctrl : copy.m_ctrls) {
        // Keys and bindings belong to the source: the copy gets its own keys
        // when it is stored, and its bindings when it is shown.
        ctrl->m_strKey.clear();
        ctrl->m_element.Reset();
        if (CDataWebSelCtrl* choices = ctrl->SelValue()) {
            if (ctrl->m_nType != D_WEB_CTRL_SELECT) choices->m_nMultiple = 0;
            for (auto& choice : choices->m_elements)
                choice->m_element.Reset();
        }
    }
    return &copy;
}

std::wstring CTvrIEToolDlg::GetItemLabel(CDataWebForm* page, CDataWebItem* item) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::GetItemLabel");
    if (!item) return {};
    if (!item->m_strName.empty()) return item->m_strName;
    const std::wstring base = item->m_strFormName.empty() ? kNoName : item->m_strFormName;
    std::set<std::wstring> used;
    if (page) {
        for (const auto& sibling : page->m_items) {
            if (!sibling || sibling.get() == item) break;
            if (sibling->m_nState == kItemDeleted) continue;
            used.insert(GetItemLabel(page, sibling.get()));
        }
    }
    std::wstring label = base + kNewEntry;
    for (int n = 2; used.count(label); ++n)
        label = base + std::to_wstring(n) + kNewEntry;
    return label;
}

void CTvrIEToolDlg::ClearElementBindings() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::ClearElementBindings");
    m_boundPreview.Clear();
    for (const auto& page : m_pages) {
        for (const auto& item : page->m_items) {
            for (const auto& ctrl : item->m_ctrls) {
                ctrl->m_element.Reset();
                if (CDataWebSelCtrl* choices = ctrl->SelValue()) {
                    for (auto& choice : choices->m_elements)
                        choice->m_element.Reset();
                }
            }
        }
    }
}

BOOL CTvrIEToolDlg::CheckDeleteData(CDataWebItem* item) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::CheckDeleteData");
    // Only the shown item has a preview; for any other there is nothing entered.
    if (!item || item != m_pShownItem) TORVA_RETURN_BOOL(TRUE);
    UpdateDialogFields(TRUE);
    // What the preview showed when it was bound is its own, not entered:
    // the browser's first option of a list, the choices an unnamed item
    // was stored with. Without that record, an empty text, no check and the
    // stored option choices are nothing entered.
    const mablix::BoundSnapshot& bound = BoundPreview();
    for (const auto& ctrl : item->m_ctrls) {
        switch (ctrl->m_nType) {
        case D_WEB_CTRL_TEXT:
        case D_WEB_CTRL_PSWD:
        case D_WEB_CTRL_MULTI: {
            const auto text = mablix::ElementText(ctrl->m_element);
            if (!text) break;
            const mablix::BoundSnapshot::Values* shown = bound.Find(ctrl->m_element);
            if (shown ? shown->text != text : !text->empty()) TORVA_RETURN_BOOL(FALSE);
            break;
        }
        case D_WEB_CTRL_RADIO:
        case D_WEB_CTRL_CHECK:
        case D_WEB_CTRL_SELECT: {
            const CDataWebSelCtrl* choices = ctrl->SelValue();
            if (!choices) break; // no choices
            for (const auto& choice : choices->m_elements) {
                const mablix::BoundSnapshot::Values* shown = bound.Find(choice->m_element);
                if (ctrl->m_nType == D_WEB_CTRL_SELECT) {
                    const auto selected = mablix::OptionSelected(choice->m_element);
                    if (!selected) continue;
                    if (shown ? shown->selected != selected : *selected != (choice->m_nSelect == 1))
                        TORVA_RETURN_BOOL(FALSE);
                } else {
                    const auto checked = mablix::ElementChecked(choice->m_element);
                    if (!checked) continue;
                    if (shown ? shown->checked != checked : *checked) TORVA_RETURN_BOOL(FALSE);
                }
            }
            break;
        }
        default:
            break;
        }
    }
    // What the pane proposed when it showed the item.
    const std::wstring& proposed = item->m_strName.empty() ? item->m_strFormName : item->m_strName;
    const bool fresh = item->m_nState == kItemPlaceholder;
    const bool autoInput = !fresh && Flag(item->m_nAutoInput) == 1;
    const bool autoSend = !fresh && item->m_nState != kItemUnnamed && Flag(item->m_nAutoSend) == 1;
    if (m_strItemName != proposed || (m_bAutoInput != FALSE) != autoInput ||
        (m_bAutoSend != FALSE) != autoSend) {
        TORVA_RETURN_BOOL(FALSE);
    }
    TORVA_RETURN_BOOL(TRUE);
}
