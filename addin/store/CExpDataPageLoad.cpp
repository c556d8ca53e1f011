// Loading a stored page back into the web-form model.
#include "CExpData.h"
#include "TraceScope.h"

#include "KeyNumbering.h"
#include "WaitCursor.h"
#include "WebFormLayout.h"

#include <algorithm>
#include <memory>

namespace {

namespace wf = torva::webform;

// Items and controls in the order of their numbers (CTRL999 before CTRL1000),
// whatever order the database enumerates them in.
void SortByNumber(std::vector<std::wstring>& paths) {
    std::stable_sort(paths.begin(), paths.end(), [](const std::wstring& a, const std::wstring& b) {
        return KeyNumber(a) < KeyNumber(b);
    });
}

} // namespace

CDataWebForm* CExpData::GetWebPageData(const std::wstring& url, int decrypt) {
    TORVA_TRACE_SCOPE(L"CExpData::GetWebPageData");
    const WaitCursor wait;
    const std::wstring pageKey = SearchSubKeyFromURL(url);
    if (pageKey.empty()) return nullptr;
    ZentripCell* db = nullptr;
    if (!OpenDB(&db)) return nullptr;
    ZentripCell* page = nullptr;
    if (OpenKey(db, pageKey.c_str(), &page) != 0) {
        CloseDB(&db);
        return nullptr;
    }
    // A page number freed and reused by another site must not offer this
    // site's entries there.
    if (GetStringValue(db, page, wf::kPageUrl) != url) {
        CloseKey(db, &page);
        CloseDB(&db);
        return nullptr;
    }
    auto form = std::make_unique<CDataWebForm>();
    form->m_strKey = pageKey;
    form->m_strUrl = url;
    form->m_strUpdateDate = GetStringValue(db, page, wf::kPageUpdateDate);
    form->m_strTitle = GetStringValue(db, page, wf::kPageTitle);
    form->m_nChangeFlg = GetDwordValue(db, page, wf::kPageChangeFlg);
    std::vector<std::wstring> itemPaths;
    const bool listed = EnumSubKeys(db, page, itemPaths);
    CloseKey(db, &page);
    if (!listed) {
        CloseDB(&db);
        return nullptr;
    }
    SortByNumber(itemPaths);
    for (const std::wstring& itemPath : itemPaths)
        form->AddItem().m_strKey = itemPath;

    for (auto& item : form->m_items) {
        ZentripCell* key = nullptr;
        if (OpenKey(db, item->m_strKey.c_str(), &key) != 0) continue;
        item->m_strName = GetStringValue(db, key, wf::kItemName);
        item->m_strFormName = GetStringValue(db, key, wf::kItemFormName);
        item->m_nAutoInput = GetDwordValue(db, key, wf::kItemAutoInput);
        item->m_nAutoSend = GetDwordValue(db, key, wf::kItemAutoSend);
        item->m_nIndex = GetDwordValue(db, key, wf::kItemIndex);
        std::vector<std::wstring> ctrlPaths;
        const bool ctrlsListed = EnumSubKeys(db, key, ctrlPaths);
        CloseKey(db, &key);
        if (!ctrlsListed) continue;
        SortByNumber(ctrlPaths);
        for (const std::wstring& ctrlPath : ctrlPaths) {
            CDataWebCtrl& ctrl = item->AddCtrl();
            ctrl.m_strKey = ctrlPath;
            LoadCtrl(db, ctrl, decrypt);
        }
    }
    CloseDB(&db);
    return form.release();
}

void CExpData::LoadCtrl(const ZentripCell* db, CDataWebCtrl& ctrl, int decrypt) {
    TORVA_TRACE_SCOPE(L"CExpData::LoadCtrl");
    ZentripCell* key = nullptr;
    if (OpenKey(db, ctrl.m_strKey.c_str(), &key) != 0) TORVA_RETURN_VOID();
    ctrl.m_nType = GetDwordValue(db, key, wf::kCtrlType);
    ctrl.m_strName = GetStringValue(db, key, wf::kCtrlName);
    switch (ctrl.m_nType) {
    case D_WEB_CTRL_TEXT:
    case D_WEB_CTRL_PSWD: {
        (void)ctrl.CreateValue();
        CDataWebTextValue& text = *ctrl.TextValue();
        text.m_nDataLen = GetDwordValue(db, key, wf::kCtrlDataLen);
        if (ctrl.m_nType != D_WEB_CTRL_PSWD) {
            text.m_strValue = GetStringValue(db, key, wf::kCtrlValue);
        } else if (decrypt) {
            // The decrypting read closes the key before it decrypts.
            if (!ReadClearPassword(db, &key, wf::kCtrlValue, text.m_strValue))
                text.m_nNotDecrypted = 1;
        } else if (!GetStringValue(db, key, wf::kCtrlValue).empty()) {
            // Cipher bytes read as text are no password: none is held, and
            // the mark says that the stored one is still there.
            text.m_nNotDecrypted = 1;
        }
        break;
    }
    case D_WEB_CTRL_RADIO:
    case D_WEB_CTRL_CHECK:
    case D_WEB_CTRL_SELECT: {
        ZentripCell* elements = nullptr;
        const std::wstring elementPath = wf::SubKeyPath(ctrl.m_strKey, wf::kElementKeyAsRead);
        const std::int32_t multiple = GetDwordValue(db, key, wf::kCtrlMultiple);
        if (OpenKey(db, elementPath.c_str(), &elements) != 0) break;
        (void)ctrl.CreateValue();
        CDataWebSelCtrl& sel = *ctrl.SelValue();
        sel.m_nMultiple = multiple;
        const std::int32_t count = GetDwordValue(db, elements, wf::kElementDataNum);
        for (int i = 1; i <= count; ++i) {
            CDataWebSelElement& choice = sel.Add();
            choice.m_strValue = GetStringValue(
                db, elements, wf::NumberedValueName(wf::kElementValueStem, i).c_str());
            choice.m_strText = GetStringValue(
                db, elements, wf::NumberedValueName(wf::kElementTextStem, i).c_str());
            choice.m_nSelect =
                GetDwordValue(db, elements,
                              wf::NumberedValueName(wf::kElementSelectStem, i).c_str()) == 1;
        }
        CloseKey(db, &elements);
        break;
    }
    case D_WEB_CTRL_MULTI: {
        (void)ctrl.CreateValue();
        CDataWebMultiText& multi = *ctrl.MultiValue();
        multi.m_strText = GetStringValue(db, key, wf::kCtrlText);
        multi.m_nRows = GetDwordValue(db, key, wf::kCtrlRows);
        multi.m_nCols = GetDwordValue(db, key, wf::kCtrlCols);
        break;
    }
    case D_WEB_CTRL_SUBMIT:
    case D_WEB_CTRL_IMAGE: {
        (void)ctrl.CreateValue();
        CDataWebButtonValue& button = *ctrl.ButtonValue();
        button.m_strValue = GetStringValue(db, key, wf::kCtrlValue);
        button.m_nSelected = GetDwordValue(db, key, wf::kCtrlSelect) == 1;
        break;
    }
    default:
        break;
    }
    CloseKey(db, &key);
}

void CExpData::GetWebFormDataEncrypt(CDataWebForm* pWeb) {
    TORVA_TRACE_SCOPE(L"CExpData::GetWebFormDataEncrypt");
    if (!pWeb) TORVA_RETURN_VOID();
    // Every password goes first: whatever holds one now (cipher bytes of a
    // load without decryption among them) must not survive a key that does
    // not open or a decryption that fails.
    for (auto& item : pWeb->m_items) {
        for (auto& ctrl : item->m_ctrls) {
            CDataWebTextValue* text = ctrl->TextValue();
            if (!text || ctrl->m_nType != D_WEB_CTRL_PSWD) continue;
            text->m_strValue.clear();
            text->m_nNotDecrypted = 1;
        }
    }
    ZentripCell* db = nullptr;
    if (!OpenDB(&db)) TORVA_RETURN_VOID();
    for (auto& item : pWeb->m_items) {
        for (auto& ctrl : item->m_ctrls) {
            CDataWebTextValue* text = ctrl->TextValue();
            if (!text || ctrl->m_nType != D_WEB_CTRL_PSWD) continue;
            ZentripCell* key = nullptr;
            if (Zentrip_OpenKey(db, ctrl->m_strKey.c_str(), &key) != 0) continue;
            text->m_nDataLen = GetDwordValue(db, key, wf::kCtrlDataLen);
            std::wstring clear;
            if (ReadClearPassword(db, &key, wf::kCtrlValue, clear)) {
                text->m_strValue = std::move(clear);
                text->m_nNotDecrypted = 0;
            }
            CloseKey(db, &key);
        }
    }
    CloseDB(&db);
}
