// The web-form side of the export store's load: every stored page, its
// forms and their controls, with the layout the add-in writes.
#include "CExportStore.h"

#include "WebFormLayout.h"

namespace {

namespace wf = torva::webform;

bool IsOptionKey(const std::wstring& path) {
    return ::CompareStringOrdinal(path.c_str(), -1, wf::kOptionKey, -1, TRUE) == CSTR_EQUAL;
}

} // namespace

void CExportStore::LoadWebPages(TVRDB_HDB db) {
    TVRDB_HKEY root = nullptr;
    if (OpenKeyWithRetries(db, wf::kRootKey, &root) != kDbOk) return;
    std::vector<std::wstring> pageKeys;
    EnumSubKeys(db, root, pageKeys);
    m_dbApi.CloseKey(db, root);

    for (const auto& pageKey : pageKeys) {
        // The options live beside the pages; they are not a page.
        if (IsOptionKey(pageKey)) continue;
        auto page = std::make_unique<WebPageNode>();
        page->key = pageKey;
        TVRDB_HKEY key = nullptr;
        if (OpenKeyWithRetries(db, pageKey, &key) != kDbOk) {
            m_pages.push_back(std::move(page));
            continue;
        }
        page->URL = ReadText(db, key, wf::kPageUrl);
        page->TITLE = ReadText(db, key, wf::kPageTitle);
        page->UPDATEDATE = ReadText(db, key, wf::kPageUpdateDate);
        std::vector<std::wstring> itemKeys;
        EnumSubKeys(db, key, itemKeys);
        m_dbApi.CloseKey(db, key);
        for (const auto& itemKey : itemKeys) {
            auto item = std::make_unique<WebItemNode>();
            item->key = itemKey;
            LoadWebItem(db, *item);
            page->items.push_back(std::move(item));
        }
        page->count = static_cast<int32_t>(page->items.size());
        m_pages.push_back(std::move(page));
    }
}

void CExportStore::LoadWebItem(TVRDB_HDB db, WebItemNode& item) {
    TVRDB_HKEY key = nullptr;
    if (OpenKeyWithRetries(db, item.key, &key) != kDbOk) return;
    item.NAME = ReadText(db, key, wf::kItemName);
    item.FORMNAME = ReadText(db, key, wf::kItemFormName);
    item.AUTOINPUT = ReadDword(db, key, wf::kItemAutoInput);
    item.AUTOSEND = ReadDword(db, key, wf::kItemAutoSend);
    item.INDEX = ReadDword(db, key, wf::kItemIndex);
    std::vector<std::wstring> controlKeys;
    EnumSubKeys(db, key, controlKeys);
    m_dbApi.CloseKey(db, key);
    for (const auto& controlKey : controlKeys) {
        auto control = std::make_unique<WebControlNode>();
        control->key = controlKey;
        LoadWebControl(db, *control);
        item.controls.push_back(std::move(control));
    }
}

void CExportStore::LoadWebControl(TVRDB_HDB db, WebControlNode& control) {
    TVRDB_HKEY key = nullptr;
    if (OpenKeyWithRetries(db, control.key, &key) != kDbOk) return;
    control.kind = ReadDword(db, key, wf::kCtrlType);
    control.NAME = ReadText(db, key, wf::kCtrlName);
    control.record = ValueRecordOf(control.kind);
    switch (control.record) {
    case WebValueRecord::Text:
        control.DATALEN = ReadDword(db, key, wf::kCtrlDataLen);
        if (control.kind == D_WEB_CTRL_PSWD) {
            ReadPassword(db, key, wf::kCtrlValue, control);
        } else {
            control.VALUE = ReadText(db, key, wf::kCtrlValue);
        }
        break;
    case WebValueRecord::Choices: {
        control.MULTIPLE = ReadDword(db, key, wf::kCtrlMultiple);
        TVRDB_HKEY elements = nullptr;
        if (OpenKeyWithRetries(db, wf::SubKeyPath(control.key, wf::kElementKeyAsRead), &elements) ==
            kDbOk) {
            const int32_t count = ReadDword(db, elements, wf::kElementDataNum);
            // A damaged count must not run the load for ever: no page holds
            // more choices than this.
            const int32_t limit = count < 4096 ? count : 4096;
            for (int32_t n = 1; n <= limit; ++n) {
                WebElementNode element;
                element.VALUE =
                    ReadText(db, elements, wf::NumberedValueName(wf::kElementValueStem, n).c_str());
                element.TEXT =
                    ReadText(db, elements, wf::NumberedValueName(wf::kElementTextStem, n).c_str());
                element.SELECT = ReadDword(
                    db, elements, wf::NumberedValueName(wf::kElementSelectStem, n).c_str());
                control.elements.push_back(std::move(element));
            }
            m_dbApi.CloseKey(db, elements);
        }
        break;
    }
    case WebValueRecord::MultiLine:
        control.ROWS = ReadDword(db, key, wf::kCtrlRows);
        control.COLS = ReadDword(db, key, wf::kCtrlCols);
        control.TEXT = ReadText(db, key, wf::kCtrlText);
        break;
    case WebValueRecord::Button:
        control.VALUE = ReadText(db, key, wf::kCtrlValue);
        control.SELECT = ReadDword(db, key, wf::kCtrlSelect);
        break;
    case WebValueRecord::None:
        break;
    }
    m_dbApi.CloseKey(db, key);
}
