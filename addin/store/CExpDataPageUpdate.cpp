// Rewriting and deleting stored pages and items.
#include "CExpData.h"
#include "TraceScope.h"

#include "UrlList.h"
#include "WebFormLayout.h"

namespace {

namespace wf = torva::webform;

constexpr DWORD kNothingStored = 4;
constexpr DWORD kKeyNotFound = 8;

} // namespace

BOOL CExpData::UpdateWebForm(CDataWebForm* pWebForm, CDataWebItem* pSelItem) {
    TORVA_TRACE_SCOPE(L"CExpData::UpdateWebForm");
    if (!pWebForm) TORVA_RETURN_BOOL(FALSE);
    ZentripCell* db = nullptr;
    if (!OpenDB(&db)) TORVA_RETURN_BOOL(FALSE);
    ZentripCell* page = nullptr;
    if (OpenKey(db, pWebForm->m_strKey.c_str(), &page) != 0 || !page) {
        CloseDB(&db);
        TORVA_RETURN_BOOL(FALSE);
    }
    bool ok = CreateValue(db, page, wf::kPageTitle, pWebForm->m_strTitle) == 0;
    ok = CreateValue(db, page, wf::kPageUpdateDate, pWebForm->m_strUpdateDate) == 0 && ok;
    ok = CreateValue(db, page, wf::kPageChangeFlg, DWORD(pWebForm->m_nChangeFlg)) == 0 && ok;
    CloseKey(db, &page);
    if (pSelItem) {
        ZentripCell* item = nullptr;
        if (OpenKey(db, pSelItem->m_strKey.c_str(), &item) != 0) {
            CloseDB(&db);
            TORVA_RETURN_BOOL(FALSE);
        }
        ok = CreateValue(db, item, wf::kItemName, pSelItem->m_strName) == 0 && ok;
        ok = CreateValue(db, item, wf::kItemAutoInput, DWORD(pSelItem->m_nAutoInput)) == 0 && ok;
        ok = CreateValue(db, item, wf::kItemAutoSend, DWORD(pSelItem->m_nAutoSend)) == 0 && ok;
        ok = CreateValue(db, item, wf::kItemIndex, DWORD(pSelItem->m_nIndex)) == 0 && ok;
        CloseKey(db, &item);
        for (auto& ctrl : pSelItem->m_ctrls) {
            if (ctrl && ctrl->HasValue()) ok = UpdateCtrl(db, *ctrl) && ok;
        }
    }
    CloseDB(&db);
    TORVA_RETURN_BOOL(ok ? TRUE : FALSE);
}

bool CExpData::UpdateCtrl(const ZentripCell* db, CDataWebCtrl& ctrl) {
    TORVA_TRACE_SCOPE(L"CExpData::UpdateCtrl");
    ZentripCell* key = nullptr;
    if (OpenKey(db, ctrl.m_strKey.c_str(), &key) != 0) TORVA_RETURN_BOOL(false);
    const bool changed = ctrl.m_nChanged == 1;
    bool ok = true;
    // A DWORD that is -1 is removed rather than stored.
    const auto writeOrDelete = [&](const wchar_t* name, std::int32_t value) {
        if (value == -1) {
            (void)Zentrip_DeleteValue(db, key, name);
        } else {
            ok = CreateValue(db, key, name, DWORD(value)) == 0 && ok;
        }
    };
    if (const CDataWebTextValue* text = ctrl.TextValue()) {
        if (ctrl.m_nType != D_WEB_CTRL_PSWD) {
            ok = CreateValue(db, key, wf::kCtrlValue, text->m_strValue) == 0 && ok;
        } else if (text->m_nNotDecrypted != 1 || !text->m_strValue.empty()) {
            ok = WritePassword(db, key, text->m_strValue) && ok;
        }
        // else: the password came without its clear text and nobody put a
        // new one in: the stored cipher is the only copy of it and stays.
        if (changed) writeOrDelete(wf::kCtrlDataLen, text->m_nDataLen);
    } else if (const CDataWebSelCtrl* sel = ctrl.SelValue()) {
        ZentripCell* elements = nullptr;
        const std::wstring elementPath = wf::SubKeyPath(ctrl.m_strKey, wf::kElementKey);
        if (OpenKey(db, elementPath.c_str(), &elements) != 0) {
            ok = false;
        } else {
            const int count = int(sel->m_elements.size());
            if (changed) {
                ok = CreateValue(db, key, wf::kCtrlMultiple, DWORD(sel->m_nMultiple)) == 0 && ok;
                const std::int32_t before = GetDwordValue(db, elements, wf::kElementDataNum);
                ok = CreateValue(db, elements, wf::kElementDataNum, DWORD(count)) == 0 && ok;
                for (int i = count + 1; i <= before; ++i) {
                    (void)Zentrip_DeleteValue(
                        db, elements, wf::NumberedValueName(wf::kElementValueStem, i).c_str());
                    (void)Zentrip_DeleteValue(
                        db, elements, wf::NumberedValueName(wf::kElementSelectStem, i).c_str());
                    (void)Zentrip_DeleteValue(
                        db, elements, wf::NumberedValueName(wf::kElementTextStem, i).c_str());
                }
            }
            for (int i = 1; i <= count; ++i) {
                const CDataWebSelElement& choice = *sel->m_elements[i - 1];
                ok = CreateValue(db, elements,
                                 wf::NumberedValueName(wf::kElementSelectStem, i).c_str(),
                                 DWORD(choice.m_nSelect)) == 0 &&
                     ok;
                if (choice.m_nEntry != 1) continue;
                ok = CreateValue(db, elements,
                                 wf::NumberedValueName(wf::kElementValueStem, i).c_str(),
                                 choice.m_strValue) == 0 &&
                     ok;
                ok = CreateValue(db, elements,
                                 wf::NumberedValueName(wf::kElementTextStem, i).c_str(),
                                 choice.m_strText) == 0 &&
                     ok;
            }
            CloseKey(db, &elements);
        }
    } else if (const CDataWebMultiText* multi = ctrl.MultiValue()) {
        ok = CreateValue(db, key, wf::kCtrlText, multi->m_strText) == 0 && ok;
        if (changed) {
            writeOrDelete(wf::kCtrlRows, multi->m_nRows);
            writeOrDelete(wf::kCtrlCols, multi->m_nCols);
        }
    } else if (const CDataWebButtonValue* button = ctrl.ButtonValue()) {
        // The user's choice of submit button is kept whatever the capture did.
        ok = CreateValue(db, key, wf::kCtrlSelect, DWORD(button->m_nSelected)) == 0 && ok;
        if (changed) ok = CreateValue(db, key, wf::kCtrlValue, button->m_strValue) == 0 && ok;
    }
    CloseKey(db, &key);
    TORVA_RETURN_BOOL(ok);
}

void CExpData::DeleteWebItem(CDataWebItem* pSelItem) {
    TORVA_TRACE_SCOPE(L"CExpData::DeleteWebItem");
    if (!pSelItem) TORVA_RETURN_VOID();
    ZentripCell* db = nullptr;
    if (!OpenDB(&db)) TORVA_RETURN_VOID();
    ZentripCell* item = nullptr;
    if (OpenKey(db, pSelItem->m_strKey.c_str(), &item) != 0) {
        CloseDB(&db);
        TORVA_RETURN_VOID();
    }
    for (auto& ctrl : pSelItem->m_ctrls) {
        if (!ctrl) continue;
        const int kind = ctrl->m_nType;
        if (kind == D_WEB_CTRL_RADIO || kind == D_WEB_CTRL_CHECK || kind == D_WEB_CTRL_SELECT) {
            ZentripCell* key = nullptr;
            if (OpenKey(db, ctrl->m_strKey.c_str(), &key) == 0) {
                (void)Zentrip_DeleteKey(db, key, wf::kElementKey);
                CloseKey(db, &key);
            }
        }
        if (!ctrl->m_strKey.empty()) {
            (void)Zentrip_DeleteKey(db, item, GetSubKey(ctrl->m_strKey).c_str());
        }
    }
    CloseKey(db, &item);
    CloseDB(&db);
}

BOOL CExpData::DeleteWebPageData(CDataWebForm* pWebForm) {
    TORVA_TRACE_SCOPE(L"CExpData::DeleteWebPageData");
    if (!pWebForm) TORVA_RETURN_BOOL(FALSE);
    // A page without a key was never stored.
    if (pWebForm->m_strKey.empty()) TORVA_RETURN_BOOL(TRUE);
    ZentripCell* db = nullptr;
    if (!OpenDB(&db)) TORVA_RETURN_BOOL(FALSE);
    ZentripCell* root = nullptr;
    ZentripCell* page = nullptr;
    const DWORD rootOpened = OpenKey(db, wf::kRootKey, &root);
    const DWORD pageOpened =
        rootOpened == 0 ? OpenKey(db, pWebForm->m_strKey.c_str(), &page) : rootOpened;
    if (pageOpened == 0) {
        for (auto& item : pWebForm->m_items) {
            if (!item) continue;
            DeleteWebItem(item.get());
            (void)Zentrip_DeleteKey(db, page, GetSubKey(item->m_strKey).c_str());
        }
        CloseKey(db, &page);
        (void)Zentrip_DeleteKey(db, root, GetSubKey(pWebForm->m_strKey).c_str());
    }
    CloseKey(db, &root);
    // Whatever the single steps answered, the page is gone only when its key
    // no longer opens; any other answer (a busy or lost relay) leaves it
    // stored as far as anyone can tell.
    bool gone = pageOpened == kKeyNotFound || pageOpened == kNothingStored;
    if (pageOpened == 0) {
        const DWORD probe = Zentrip_OpenKey(db, pWebForm->m_strKey.c_str(), &page);
        if (probe == 0) (void)Zentrip_CloseKey(db, &page);
        gone = probe == kKeyNotFound;
    }
    CloseDB(&db);
    // Only a page that is gone gives up its URLs: one still stored keeps
    // serving them, and the page number may be reused by another site.
    if (gone) UrlListRemovePage(pWebForm->m_strKey);
    TORVA_RETURN_BOOL(gone ? TRUE : FALSE);
}

void CExpData::ReleaseAutoSet(CDataWebForm* pWebForm, CDataWebItem* pKeep) {
    TORVA_TRACE_SCOPE(L"CExpData::ReleaseAutoSet");
    if (!pWebForm) TORVA_RETURN_VOID();
    ZentripCell* db = nullptr;
    if (!OpenDB(&db)) TORVA_RETURN_VOID();
    for (auto& item : pWebForm->m_items) {
        if (!item || item.get() == pKeep || item->m_nAutoInput != 1) continue;
        item->m_nAutoInput = 0;
        ZentripCell* key = nullptr;
        if (OpenKey(db, item->m_strKey.c_str(), &key) != 0) continue;
        SetDwordValue(db, key, wf::kItemAutoInput, 0);
        CloseKey(db, &key);
    }
    CloseDB(&db);
}

void CExpData::SetChangeFlag(CDataWebForm* pWebForm) {
    TORVA_TRACE_SCOPE(L"CExpData::SetChangeFlag");
    if (!pWebForm) TORVA_RETURN_VOID();
    ZentripCell* db = nullptr;
    if (!OpenDB(&db)) TORVA_RETURN_VOID();
    ZentripCell* key = nullptr;
    if (OpenKey(db, pWebForm->m_strKey.c_str(), &key) == 0) {
        SetDwordValue(db, key, wf::kPageChangeFlg, DWORD(pWebForm->m_nChangeFlg));
        CloseKey(db, &key);
    }
    CloseDB(&db);
}
