// Writing and deleting the stored web-form tree.
// Nothing written before a failure is undone: a page can be left with only
// some of its items; the callers learn of it from SetWebPageData's result.
#include "CExpData.h"
#include "TraceScope.h"

#include "KeyNumbering.h"
#include "Trace.h"
#include "WaitCursor.h"
#include "WebFormLayout.h"

namespace {

namespace wf = torva::webform;

constexpr DWORD kNothingStored = 4;
constexpr DWORD kKeyNotFound = 8;
constexpr DWORD kEnumNameChars = 512;

} // namespace

bool CExpData::EnumSubKeys(const ZentripCell* db, const ZentripCell* parentKey,
                           std::vector<std::wstring>& paths) {
    TORVA_TRACE_SCOPE(L"CExpData::EnumSubKeys");
    paths.clear();
    wchar_t name[kEnumNameChars];
    for (DWORD index = 0;; ++index) {
        DWORD length = 0;
        const DWORD result = Zentrip_EnumKey(db, parentKey, index, name, kEnumNameChars, &length);
        if (result == kNothingStored) return true; // the end of the list
        if (result != 0) TORVA_RETURN_BOOL(false);
        if (length != 0) paths.emplace_back(name);
    }
}

bool CExpData::NextFreeKey(const ZentripCell* db, const ZentripCell* parentKey,
                           const std::wstring& parentPath, const wchar_t* stem,
                           std::wstring& path) {
    TORVA_TRACE_SCOPE(L"CExpData::NextFreeKey");
    std::vector<std::wstring> taken;
    if (!EnumSubKeys(db, parentKey, taken)) TORVA_RETURN_BOOL(false);
    for (int number = 1; number <= int(taken.size()) + 1; ++number) {
        const std::wstring candidate = wf::NumberedKeyPath(parentPath, stem, number);
        bool used = false;
        for (const std::wstring& name : taken)
            used = used || SameKeyPath(name, candidate);
        if (used) continue;
        // Another writer may have taken it since the enumeration.
        ZentripCell* probe = nullptr;
        const DWORD opened = Zentrip_OpenKey(db, candidate.c_str(), &probe);
        if (opened == 0) {
            (void)Zentrip_CloseKey(db, &probe);
            continue;
        }
        if (opened != kKeyNotFound) TORVA_RETURN_BOOL(false);
        path = candidate;
        TORVA_RETURN_BOOL(true);
    }
    TORVA_RETURN_BOOL(false);
}

int CExpData::SetWebPageData(CDataWebForm* pWebForm, CDataWebItem* pSelItem) {
    TORVA_TRACE_SCOPE(L"CExpData::SetWebPageData");
    if (!pWebForm) TORVA_RETURN_INT(1);
    const WaitCursor wait;
    ZentripCell* db = nullptr;
    if (!OpenDB(&db)) TORVA_RETURN_INT(1);
    ZentripCell* root = nullptr;
    const DWORD opened = OpenKey(db, wf::kRootKey, &root);
    CloseKey(db, &root);
    BOOL stored = FALSE;
    if (pWebForm->m_strKey.empty() || opened == kNothingStored || opened == kKeyNotFound) {
        stored = AddWebForm(pWebForm);
    } else if (opened != 0 || !pSelItem) {
        stored = FALSE;
    } else if (!pSelItem->m_strKey.empty()) {
        stored = UpdateWebForm(pWebForm, pSelItem);
    } else {
        stored = AddWebForm(pWebForm, pSelItem);
    }
    CloseDB(&db);
    TORVA_RETURN_INT(stored ? 0 : 1);
}

BOOL CExpData::AddWebForm(CDataWebForm* pWebForm) {
    TORVA_TRACE_SCOPE(L"CExpData::AddWebForm");
    if (!pWebForm) TORVA_RETURN_BOOL(FALSE);
    ZentripCell* db = nullptr;
    if (!OpenDB(&db)) TORVA_RETURN_BOOL(FALSE);
    ZentripCell* root = nullptr;
    if (OpenKey(db, wf::kRootKey, &root) != 0 && CreateKey(db, wf::kRootKey, &root) != 0) {
        CloseDB(&db);
        TORVA_RETURN_BOOL(FALSE);
    }
    std::wstring pagePath;
    const bool numbered = NextFreeKey(db, root, wf::kRootKey, wf::kPageStem, pagePath);
    CloseKey(db, &root);
    ZentripCell* page = nullptr;
    if (!numbered || CreateKey(db, pagePath.c_str(), &page) != 0) {
        CloseDB(&db);
        TORVA_RETURN_BOOL(FALSE);
    }
    pWebForm->m_strKey = pagePath;
    bool complete = CreateValue(db, page, wf::kPageUrl, pWebForm->m_strUrl) == 0;
    complete = CreateValue(db, page, wf::kPageTitle, pWebForm->m_strTitle) == 0 && complete;
    complete =
        CreateValue(db, page, wf::kPageUpdateDate, pWebForm->m_strUpdateDate) == 0 && complete;
    complete =
        CreateValue(db, page, wf::kPageChangeFlg, DWORD(pWebForm->m_nChangeFlg)) == 0 && complete;
    CloseKey(db, &page);
    CloseDB(&db);

    int number = 1;
    for (auto& item : pWebForm->m_items) {
        if (!item) continue;
        item->m_strKey = wf::NumberedKeyPath(pagePath, wf::kItemStem, number++);
        complete = AddWebItem(item.get(), 1) && complete;
    }
    UrlListAddPage(*pWebForm);
    TORVA_RETURN_BOOL(complete ? TRUE : FALSE);
}

BOOL CExpData::AddWebForm(CDataWebForm* pWebForm, CDataWebItem* pSelItem) {
    TORVA_TRACE_SCOPE(L"CExpData::AddWebForm");
    if (!pWebForm || !pSelItem) TORVA_RETURN_BOOL(FALSE);
    ZentripCell* db = nullptr;
    if (!OpenDB(&db)) TORVA_RETURN_BOOL(FALSE);
    ZentripCell* page = nullptr;
    if (OpenKey(db, pWebForm->m_strKey.c_str(), &page) != 0) {
        CloseDB(&db);
        TORVA_RETURN_BOOL(FALSE);
    }
    bool complete = CreateValue(db, page, wf::kPageChangeFlg, DWORD(pWebForm->m_nChangeFlg)) == 0;
    std::wstring itemPath;
    const bool numbered = NextFreeKey(db, page, pWebForm->m_strKey, wf::kItemStem, itemPath);
    CloseKey(db, &page);
    CloseDB(&db);
    if (!numbered) TORVA_RETURN_BOOL(FALSE);
    pSelItem->m_strKey = itemPath;
    TORVA_RETURN_BOOL(AddWebItem(pSelItem, 1) && complete ? TRUE : FALSE);
}

BOOL CExpData::AddWebItem(CDataWebItem* pItem, int fCreateItemKey) {
    TORVA_TRACE_SCOPE(L"CExpData::AddWebItem");
    if (!pItem) TORVA_RETURN_BOOL(FALSE);
    ZentripCell* db = nullptr;
    if (!OpenDB(&db)) TORVA_RETURN_BOOL(FALSE);
    ZentripCell* itemKey = nullptr;
    const DWORD opened = fCreateItemKey == 1 ? CreateKey(db, pItem->m_strKey.c_str(), &itemKey)
                                             : OpenKey(db, pItem->m_strKey.c_str(), &itemKey);
    if (opened != 0) {
        CloseDB(&db);
        TORVA_RETURN_BOOL(FALSE);
    }
    bool complete = CreateValue(db, itemKey, wf::kItemName, pItem->m_strName) == 0;
    complete = CreateValue(db, itemKey, wf::kItemFormName, pItem->m_strFormName) == 0 && complete;
    complete =
        CreateValue(db, itemKey, wf::kItemAutoInput, DWORD(pItem->m_nAutoInput)) == 0 && complete;
    complete =
        CreateValue(db, itemKey, wf::kItemAutoSend, DWORD(pItem->m_nAutoSend)) == 0 && complete;
    complete = CreateValue(db, itemKey, wf::kItemIndex, DWORD(pItem->m_nIndex)) == 0 && complete;
    CloseKey(db, &itemKey);

    int number = 1;
    for (auto& ctrl : pItem->m_ctrls) {
        if (!ctrl) continue;
        ctrl->m_strKey = wf::NumberedKeyPath(pItem->m_strKey, wf::kCtrlStem, number++);
        complete = WriteCtrl(db, *pItem, *ctrl) && complete;
    }
    CloseDB(&db);
    TORVA_RETURN_BOOL(complete ? TRUE : FALSE);
}

bool CExpData::WriteCtrl(const ZentripCell* db, const CDataWebItem& item, CDataWebCtrl& ctrl) {
    TORVA_TRACE_SCOPE(L"CExpData::WriteCtrl");
    ZentripCell* key = nullptr;
    if (CreateKey(db, ctrl.m_strKey.c_str(), &key) != 0) TORVA_RETURN_BOOL(false);
    const bool contents = !item.m_strName.empty();
    bool ok = CreateValue(db, key, wf::kCtrlType, DWORD(ctrl.m_nType)) == 0;
    ok = CreateValue(db, key, wf::kCtrlName, ctrl.m_strName) == 0 && ok;
    if (const CDataWebTextValue* text = ctrl.TextValue()) {
        if (contents) {
            const bool written = ctrl.m_nType == D_WEB_CTRL_PSWD
                                     ? WritePassword(db, key, text->m_strValue)
                                     : CreateValue(db, key, wf::kCtrlValue, text->m_strValue) == 0;
            ok = written && ok;
        }
        if (text->m_nDataLen != -1) {
            ok = CreateValue(db, key, wf::kCtrlDataLen, DWORD(text->m_nDataLen)) == 0 && ok;
        }
    } else if (const CDataWebSelCtrl* sel = ctrl.SelValue()) {
        ok = CreateValue(db, key, wf::kCtrlMultiple, DWORD(sel->m_nMultiple)) == 0 && ok;
        ZentripCell* elements = nullptr;
        const std::wstring elementPath = wf::SubKeyPath(ctrl.m_strKey, wf::kElementKey);
        if (CreateKey(db, elementPath.c_str(), &elements) != 0) {
            ok = false;
        } else {
            ok = CreateValue(db, elements, wf::kElementDataNum, DWORD(sel->m_elements.size())) ==
                     0 &&
                 ok;
            int i = 1;
            for (const auto& choice : sel->m_elements) {
                ok = CreateValue(db, elements,
                                 wf::NumberedValueName(wf::kElementValueStem, i).c_str(),
                                 choice->m_strValue) == 0 &&
                     ok;
                if (contents) {
                    ok = CreateValue(db, elements,
                                     wf::NumberedValueName(wf::kElementSelectStem, i).c_str(),
                                     DWORD(choice->m_nSelect)) == 0 &&
                         ok;
                }
                if (ctrl.m_nType == D_WEB_CTRL_SELECT) {
                    ok = CreateValue(db, elements,
                                     wf::NumberedValueName(wf::kElementTextStem, i).c_str(),
                                     choice->m_strText) == 0 &&
                         ok;
                }
                ++i;
            }
            CloseKey(db, &elements);
        }
    } else if (const CDataWebMultiText* multi = ctrl.MultiValue()) {
        if (multi->m_nRows != -1)
            ok = CreateValue(db, key, wf::kCtrlRows, DWORD(multi->m_nRows)) == 0 && ok;
        if (multi->m_nCols != -1)
            ok = CreateValue(db, key, wf::kCtrlCols, DWORD(multi->m_nCols)) == 0 && ok;
        if (contents) ok = CreateValue(db, key, wf::kCtrlText, multi->m_strText) == 0 && ok;
    } else if (const CDataWebButtonValue* button = ctrl.ButtonValue()) {
        ok = CreateValue(db, key, wf::kCtrlValue, button->m_strValue) == 0 && ok;
        ok = CreateValue(db, key, wf::kCtrlSelect, DWORD(button->m_nSelected)) == 0 && ok;
    }
    CloseKey(db, &key);
    TORVA_RETURN_BOOL(ok);
}
