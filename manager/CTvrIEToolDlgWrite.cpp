// Writing a new item and deleting items and pages in the database, and
// freeing them in memory.
#include "CTvrIEToolDlg.h"
#include "CTvrIEToolDlgHandles.h"
#include "TraceScope.h"
#include "WebFormLayout.h"

#include <algorithm>

namespace {
namespace wf = torva::webform;

bool IsChoiceKind(std::int32_t kind) {
    return kind == D_WEB_CTRL_RADIO || kind == D_WEB_CTRL_CHECK || kind == D_WEB_CTRL_SELECT;
}

// A key already gone is as good as deleted.
bool Deleted(DWORD result) {
    return result == TVRDB_OK || result == TVRDB_E_KEY_NOT_FOUND;
}
} // namespace

BOOL CTvrIEToolDlg::AddWebItem(const std::wstring& pageKey, CDataWebItem* item) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::AddWebItem");
    if (!item) TORVA_RETURN_BOOL(FALSE);
    TVRDB_HDB db = nullptr;
    if (!OpenDB(&db)) TORVA_RETURN_BOOL(FALSE);
    DlgDbScope dbScope(*this, db);

    std::vector<std::wstring> existing;
    {
        TVRDB_HKEY page = nullptr;
        if (OpenKey(db, pageKey, &page) != TVRDB_OK) TORVA_RETURN_BOOL(FALSE);
        DlgKeyScope pageScope(*this, db, page);
        existing = EnumSubKeys(db, page);
    }
    // The database matches names without regard to case: a number whose key
    // exists in another spelling is taken too, or the new item would be
    // written into that key.
    std::wstring itemKey;
    for (int n = 1;; ++n) {
        itemKey = wf::NumberedKeyPath(pageKey, wf::kItemStem, n);
        const auto same = [&itemKey](const std::wstring& name) {
            return ::CompareStringOrdinal(name.c_str(), int(name.size()), itemKey.c_str(),
                                          int(itemKey.size()), TRUE) == CSTR_EQUAL;
        };
        if (std::none_of(existing.begin(), existing.end(), same)) break;
    }

    bool ok = false;
    {
        TVRDB_HKEY key = nullptr;
        if (CreateKey(db, itemKey, &key) != TVRDB_OK) TORVA_RETURN_BOOL(FALSE);
        DlgKeyScope itemScope(*this, db, key);
        ok = CreateValue(db, key, wf::kItemName, item->m_strName) == TVRDB_OK &&
             CreateValue(db, key, wf::kItemFormName, item->m_strFormName) == TVRDB_OK &&
             CreateValue(db, key, wf::kItemAutoInput, DWORD(item->m_nAutoInput)) == TVRDB_OK &&
             CreateValue(db, key, wf::kItemAutoSend, DWORD(item->m_nAutoSend)) == TVRDB_OK &&
             CreateValue(db, key, wf::kItemIndex, DWORD(item->m_nIndex)) == TVRDB_OK;
    }
    // The controls of a new item always get keys of their own: a copy still
    // holding its source's keys must never write into the source.
    std::vector<std::wstring> ctrlKeys;
    int n = 1;
    for (auto& ctrl : item->m_ctrls) {
        if (!ok) break;
        if (!ctrl) continue;
        ctrlKeys.push_back(wf::NumberedKeyPath(itemKey, wf::kCtrlStem, n++));
        ok = WriteNewCtrl(db, *ctrl, ctrlKeys.back());
    }
    if (!ok) {
        // Nothing half-written stays behind for the next save to trip over.
        TVRDB_HKEY page = nullptr;
        if (OpenKey(db, pageKey, &page) == TVRDB_OK) {
            DlgKeyScope pageScope(*this, db, page);
            (void)TvrDB_DeleteKey(db, page, GetSubKey(itemKey).c_str());
        }
        TORVA_RETURN_BOOL(FALSE);
    }
    item->m_strKey = itemKey;
    size_t next = 0;
    for (auto& ctrl : item->m_ctrls) {
        if (ctrl) ctrl->m_strKey = ctrlKeys[next++];
    }
    TORVA_RETURN_BOOL(TRUE);
}

bool CTvrIEToolDlg::WriteNewCtrl(TVRDB_HDB db, const CDataWebCtrl& ctrl,
                                 const std::wstring& ctrlKey) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::WriteNewCtrl");
    TVRDB_HKEY key = nullptr;
    if (CreateKey(db, ctrlKey, &key) != TVRDB_OK) TORVA_RETURN_BOOL(false);
    DlgKeyScope ctrlScope(*this, db, key);
    auto put = [&](const wchar_t* name, DWORD value) {
        return CreateValue(db, key, name, value) == TVRDB_OK;
    };
    auto putText = [&](const wchar_t* name, const std::wstring& text) {
        return CreateValue(db, key, name, text) == TVRDB_OK;
    };
    if (!put(wf::kCtrlType, DWORD(ctrl.m_nType)) || !putText(wf::kCtrlName, ctrl.m_strName)) {
        TORVA_RETURN_BOOL(false);
    }
    switch (ctrl.m_nType) {
    case D_WEB_CTRL_TEXT:
    case D_WEB_CTRL_PSWD: {
        const CDataWebTextValue* text = ctrl.TextValue();
        if (!text) break;
        if (text->m_nDataLen != -1 && !put(wf::kCtrlDataLen, DWORD(text->m_nDataLen))) {
            TORVA_RETURN_BOOL(false);
        }
        if (ctrl.m_nType == D_WEB_CTRL_TEXT) {
            if (!putText(wf::kCtrlValue, text->m_strValue)) TORVA_RETURN_BOOL(false);
        } else if (!text->m_strValue.empty()) {
            if (!SetStringValue_Encord(db, ctrlKey, wf::kCtrlValue, text->m_strValue)) {
                TORVA_RETURN_BOOL(false);
            }
        } else if (text->m_nNotDecrypted == 0) {
            // A password that was never had in clear is not stored as empty.
            if (!putText(wf::kCtrlValue, std::wstring())) TORVA_RETURN_BOOL(false);
        }
        break;
    }
    case D_WEB_CTRL_RADIO:
    case D_WEB_CTRL_CHECK:
    case D_WEB_CTRL_SELECT: {
        const CDataWebSelCtrl* choices = ctrl.SelValue();
        if (!choices) break; // no choice list: nothing beyond TYPE and NAME
        if (!put(wf::kCtrlMultiple, DWORD(choices->m_nMultiple))) TORVA_RETURN_BOOL(false);
        TVRDB_HKEY element = nullptr;
        if (CreateKey(db, wf::SubKeyPath(ctrlKey, wf::kElementKey), &element) != TVRDB_OK)
            TORVA_RETURN_BOOL(false);
        DlgKeyScope elementScope(*this, db, element);
        if (CreateValue(db, element, wf::kElementDataNum, DWORD(choices->m_elements.size())) !=
            TVRDB_OK) {
            TORVA_RETURN_BOOL(false);
        }
        int i = 1;
        for (const auto& choice : choices->m_elements) {
            const bool written =
                CreateValue(db, element, wf::NumberedValueName(wf::kElementValueStem, i).c_str(),
                            choice->m_strValue) == TVRDB_OK &&
                CreateValue(db, element, wf::NumberedValueName(wf::kElementSelectStem, i).c_str(),
                            DWORD(choice->m_nSelect == 1 ? 1 : 0)) == TVRDB_OK &&
                (ctrl.m_nType != D_WEB_CTRL_SELECT ||
                 CreateValue(db, element, wf::NumberedValueName(wf::kElementTextStem, i).c_str(),
                             choice->m_strText) == TVRDB_OK);
            if (!written) TORVA_RETURN_BOOL(false);
            ++i;
        }
        break;
    }
    case D_WEB_CTRL_MULTI: {
        const CDataWebMultiText* area = ctrl.MultiValue();
        if (!area) break;
        if ((area->m_nRows != -1 && !put(wf::kCtrlRows, DWORD(area->m_nRows))) ||
            (area->m_nCols != -1 && !put(wf::kCtrlCols, DWORD(area->m_nCols))) ||
            !putText(wf::kCtrlText, area->m_strText)) {
            TORVA_RETURN_BOOL(false);
        }
        break;
    }
    case D_WEB_CTRL_SUBMIT:
    case D_WEB_CTRL_IMAGE: {
        const CDataWebButtonValue* button = ctrl.ButtonValue();
        if (!button) break;
        if (!putText(wf::kCtrlValue, button->m_strValue) ||
            !put(wf::kCtrlSelect, DWORD(button->m_nSelected == 1 ? 1 : 0))) {
            TORVA_RETURN_BOOL(false);
        }
        break;
    }
    default:
        break;
    }
    TORVA_RETURN_BOOL(true);
}

BOOL CTvrIEToolDlg::DeleteWebItem(const std::wstring& pageKey, CDataWebItem* item) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::DeleteWebItem");
    if (!item || item->m_strKey.empty()) TORVA_RETURN_BOOL(FALSE);
    TVRDB_HDB db = nullptr;
    if (!OpenDB(&db)) TORVA_RETURN_BOOL(FALSE);
    DlgDbScope dbScope(*this, db);
    {
        TVRDB_HKEY itemKey = nullptr;
        const DWORD opened = OpenKey(db, item->m_strKey, &itemKey);
        if (opened != TVRDB_OK && opened != TVRDB_E_KEY_NOT_FOUND) TORVA_RETURN_BOOL(FALSE);
        DlgKeyScope itemScope(*this, db, itemKey);
        for (const auto& ctrl : item->m_ctrls) {
            // A control never stored has no key: there is nothing of it to
            // delete, and an empty name must not reach the database.
            if (!itemKey || !ctrl || ctrl->m_strKey.empty()) continue;
            if (IsChoiceKind(ctrl->m_nType)) {
                TVRDB_HKEY ctrlKey = nullptr;
                if (OpenKey(db, ctrl->m_strKey, &ctrlKey) == TVRDB_OK) {
                    DlgKeyScope ctrlScope(*this, db, ctrlKey);
                    if (!Deleted(TvrDB_DeleteKey(db, ctrlKey, wf::kElementKey)))
                        TORVA_RETURN_BOOL(FALSE);
                }
            }
            if (!Deleted(TvrDB_DeleteKey(db, itemKey, GetSubKey(ctrl->m_strKey).c_str()))) {
                TORVA_RETURN_BOOL(FALSE);
            }
        }
    }
    TVRDB_HKEY page = nullptr;
    const DWORD opened = OpenKey(db, pageKey, &page);
    if (opened != TVRDB_OK && opened != TVRDB_E_KEY_NOT_FOUND) TORVA_RETURN_BOOL(FALSE);
    DlgKeyScope pageScope(*this, db, page);
    if (page && !Deleted(TvrDB_DeleteKey(db, page, GetSubKey(item->m_strKey).c_str()))) {
        TORVA_RETURN_BOOL(FALSE);
    }
    item->m_nState = kItemNormal;
    TORVA_RETURN_BOOL(TRUE);
}

BOOL CTvrIEToolDlg::DeleteWebForm(CDataWebForm* page, BOOL remove) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::DeleteWebForm");
    if (!page || !remove) TORVA_RETURN_BOOL(FALSE);
    for (const auto& item : page->m_items) {
        if (item && !item->m_strKey.empty() && !DeleteWebItem(page->m_strKey, item.get())) {
            TORVA_RETURN_BOOL(FALSE);
        }
    }
    if (!page->m_strKey.empty()) {
        TVRDB_HKEY root = nullptr;
        TVRDB_HDB db = nullptr;
        if (!OpenDB(&db)) TORVA_RETURN_BOOL(FALSE);
        DlgDbScope dbScope(*this, db);
        const DWORD opened = OpenKey(db, wf::kRootKey, &root);
        if (opened != TVRDB_OK && opened != TVRDB_E_KEY_NOT_FOUND) TORVA_RETURN_BOOL(FALSE);
        DlgKeyScope rootScope(*this, db, root);
        if (root && !Deleted(TvrDB_DeleteKey(db, root, GetSubKey(page->m_strKey).c_str()))) {
            TORVA_RETURN_BOOL(FALSE);
        }
    }
    FreeWebForm(page);
    TORVA_RETURN_BOOL(TRUE);
}

void CTvrIEToolDlg::ForgetItem(const CDataWebItem* item) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::ForgetItem");
    if (!item) return;
    if (m_pShownItem == item) m_pShownItem = nullptr;
    if (m_pAutoInputItem == item) m_pAutoInputItem = nullptr;
    if (m_pPreviewItem == item) m_pPreviewItem = nullptr;
    if (m_pPlaceholderItem == item) {
        m_pPlaceholderItem = nullptr;
        m_strPlaceholderName.clear();
    }
}

void CTvrIEToolDlg::FreeWebItem(CDataWebForm* page, CDataWebItem* item) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::FreeWebItem");
    if (!page || !item) return;
    ForgetItem(item);
    auto& items = page->m_items;
    items.erase(std::remove_if(items.begin(), items.end(),
                               [item](const auto& held) { return held.get() == item; }),
                items.end());
}

void CTvrIEToolDlg::FreeWebForm(CDataWebForm* page) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::FreeWebForm");
    if (!page) return;
    for (const auto& item : page->m_items)
        ForgetItem(item.get());
    m_pages.erase(std::remove_if(m_pages.begin(), m_pages.end(),
                                 [page](const auto& held) { return held.get() == page; }),
                  m_pages.end());
}
