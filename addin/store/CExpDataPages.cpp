// Writing and deleting the stored web-form tree under "WEBFORMDATA".
// Nothing written before a failure is undone: a page can be left with only
// some of its items; the callers learn of it from SetWebPageData's result.
#include "CExpData.h"
#include "TraceScope.h"

#include "KeyNumbering.h"
#include "Trace.h"
#include "WaitCursor.h"

#include <cstdio>

namespace {

constexpr const wchar_t* kRootKey = L"WEBFORMDATA";
constexpr DWORD kNothingStored = 4;
constexpr DWORD kKeyNotFound = 8;
constexpr DWORD kEnumNameChars = 512;

std::wstring Numbered(const wchar_t* stem, int i) {
    wchar_t name[32];
    std::swprintf(name, 32, L"%ls%d", stem, i);
    return name;
}

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
        const std::wstring candidate = NumberedKeyPath(parentPath, stem, number);
        bool used = false;
        for (const std::wstring& name : taken) used = used || SameKeyPath(name, candidate);
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
    const DWORD opened = OpenKey(db, kRootKey, &root);
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
    if (OpenKey(db, kRootKey, &root) != 0 && CreateKey(db, kRootKey, &root) != 0) {
        CloseDB(&db);
        TORVA_RETURN_BOOL(FALSE);
    }
    std::wstring pagePath;
    const bool numbered = NextFreeKey(db, root, kRootKey, L"PAGE", pagePath);
    CloseKey(db, &root);
    ZentripCell* page = nullptr;
    if (!numbered || CreateKey(db, pagePath.c_str(), &page) != 0) {
        CloseDB(&db);
        TORVA_RETURN_BOOL(FALSE);
    }
    pWebForm->m_strKey = pagePath;
    bool complete = CreateValue(db, page, L"URL", pWebForm->m_strUrl) == 0;
    complete = CreateValue(db, page, L"TITLE", pWebForm->m_strTitle) == 0 && complete;
    complete = CreateValue(db, page, L"UPDATEDATE", pWebForm->m_strUpdateDate) == 0 && complete;
    complete = CreateValue(db, page, L"CHANGEFLG", DWORD(pWebForm->m_nChangeFlg)) == 0 && complete;
    CloseKey(db, &page);
    CloseDB(&db);

    int number = 1;
    for (auto& item : pWebForm->m_items) {
        if (!item) continue;
        item->m_strKey = NumberedKeyPath(pagePath, L"ITEM", number++);
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
    bool complete = CreateValue(db, page, L"CHANGEFLG", DWORD(pWebForm->m_nChangeFlg)) == 0;
    std::wstring itemPath;
    const bool numbered = NextFreeKey(db, page, pWebForm->m_strKey, L"ITEM", itemPath);
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
    bool complete = CreateValue(db, itemKey, L"NAME", pItem->m_strName) == 0;
    complete = CreateValue(db, itemKey, L"FORMNAME", pItem->m_strFormName) == 0 && complete;
    complete = CreateValue(db, itemKey, L"AUTOINPUT", DWORD(pItem->m_nAutoInput)) == 0 && complete;
    complete = CreateValue(db, itemKey, L"AUTOSEND", DWORD(pItem->m_nAutoSend)) == 0 && complete;
    complete = CreateValue(db, itemKey, L"INDEX", DWORD(pItem->m_nIndex)) == 0 && complete;
    CloseKey(db, &itemKey);

    int number = 1;
    for (auto& ctrl : pItem->m_ctrls) {
        if (!ctrl) continue;
        ctrl->m_strKey = NumberedKeyPath(pItem->m_strKey, L"CTRL", number++);
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
    bool ok = CreateValue(db, key, L"TYPE", DWORD(ctrl.m_nType)) == 0;
    ok = CreateValue(db, key, L"NAME", ctrl.m_strName) == 0 && ok;
    if (const CDataWebTextValue* text = ctrl.TextValue()) {
        if (contents) {
            const bool written = ctrl.m_nType == D_WEB_CTRL_PSWD
                                     ? WritePassword(db, key, text->m_strValue)
                                     : CreateValue(db, key, L"VALUE", text->m_strValue) == 0;
            ok = written && ok;
        }
        if (text->m_nDataLen != -1) {
            ok = CreateValue(db, key, L"DATALEN", DWORD(text->m_nDataLen)) == 0 && ok;
        }
    } else if (const CDataWebSelCtrl* sel = ctrl.SelValue()) {
        ok = CreateValue(db, key, L"MULTIPLE", DWORD(sel->m_nMultiple)) == 0 && ok;
        ZentripCell* elements = nullptr;
        const std::wstring elementPath = ctrl.m_strKey + L"\\ELEMENT";
        if (CreateKey(db, elementPath.c_str(), &elements) != 0) {
            ok = false;
        } else {
            ok = CreateValue(db, elements, L"DATANUM", DWORD(sel->m_elements.size())) == 0 && ok;
            int i = 1;
            for (const auto& choice : sel->m_elements) {
                ok = CreateValue(db, elements, Numbered(L"VALUE", i).c_str(), choice->m_strValue) == 0 && ok;
                if (contents) {
                    ok = CreateValue(db, elements, Numbered(L"SELECT", i).c_str(),
                                     DWORD(choice->m_nSelect)) == 0 && ok;
                }
                if (ctrl.m_nType == D_WEB_CTRL_SELECT) {
                    ok = CreateValue(db, elements, Numbered(L"TEXT", i).c_str(), choice->m_strText) == 0 && ok;
                }
                ++i;
            }
            CloseKey(db, &elements);
        }
    } else if (const CDataWebMultiText* multi = ctrl.MultiValue()) {
        if (multi->m_nRows != -1) ok = CreateValue(db, key, L"ROWS", DWORD(multi->m_nRows)) == 0 && ok;
        if (multi->m_nCols != -1) ok = CreateValue(db, key, L"COLS", DWORD(multi->m_nCols)) == 0 && ok;
        if (contents) ok = CreateValue(db, key, L"TEXT", multi->m_strText) == 0 && ok;
    } else if (const CDataWebButtonValue* button = ctrl.ButtonValue()) {
        ok = CreateValue(db, key, L"VALUE", button->m_strValue) == 0 && ok;
        ok = CreateValue(db, key, L"SELECT", DWORD(button->m_nSelected)) == 0 && ok;
    }
    CloseKey(db, &key);
    TORVA_RETURN_BOOL(ok);
}
