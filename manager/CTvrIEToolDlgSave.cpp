// The save: walks every page and item by its edit state and writes only what
// changed. A state moves on only when its write succeeded, so that a failed
// save leaves exactly the work that the next one has to do.
#include "CTvrIEToolDlg.h"
#include "CTvrIEToolDlgHandles.h"
#include "TraceScope.h"
#include "WebFormLayout.h"

namespace {
namespace wf = torva::webform;
const wchar_t kNoItemName[] = L"アイテム名が入力されていません";
} // namespace

BOOL CTvrIEToolDlg::SetWebFormData() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::SetWebFormData");
    const std::wstring now = GetSaveTime();

    // An unnamed item with nothing entered stays unnamed: it needs no name,
    // neither as the placeholder a delete left nor once saved as such.
    CDataWebItem* shown = FindPageOfItem(m_pShownItem) ? m_pShownItem : nullptr;
    const bool unnamed =
        shown && (shown->m_nState == kItemPlaceholder || shown->m_nState == kItemUnnamed);
    if (shown && !(unnamed && CheckDeleteData(shown))) {
        UpdateDialogFields(TRUE);
        if (m_strItemName.empty()) {
            (void)ShowMessage(kNoItemName, MB_OK);
            TORVA_RETURN_BOOL(FALSE);
        }
    }

    TVRDB_HDB db = nullptr;
    if (!OpenDB(&db)) TORVA_RETURN_BOOL(FALSE);
    DlgDbScope dbScope(*this, db);
    ::InterlockedIncrement(&m_nSaving);
    ::Sleep(10);

    bool ok = true;
    // Pages and items may be freed during the walk: indexes, never iterators.
    for (size_t p = 0; p < m_pages.size();) {
        CDataWebForm* page = m_pages[p].get();
        if (page->m_nEditState == kPageDeleted) {
            if (DeleteWebForm(page, TRUE)) continue; // gone from the list
            ok = false;
            ++p;
            continue;
        }
        const std::wstring& key = page->m_strKey;
        if (page->m_nEditState == kPageRetitled) {
            if (SetStringValue(db, key, wf::kPageTitle, page->m_strTitle) &&
                SetStringValue(db, key, wf::kPageUpdateDate, now)) {
                page->m_strUpdateDate = now;
                page->m_nEditState = kPageNormal;
            } else {
                ok = false;
            }
        }
        if (Flag(page->m_nChangeFlg) != Flag(page->m_nLoadedChangeFlg)) {
            const std::int32_t flag = Flag(page->m_nChangeFlg);
            if (SetDwordValue(db, key, wf::kPageChangeFlg, DWORD(flag))) {
                page->m_nChangeFlg = flag;
                page->m_nLoadedChangeFlg = flag;
            } else {
                ok = false;
            }
        }
        bool written = false;
        for (size_t i = 0; i < page->m_items.size();) {
            CDataWebItem* item = page->m_items[i].get();
            if (item->m_nState == kItemDeleted) {
                // Deleted only, even when it is the item shown.
                if (item->m_strKey.empty() || DeleteWebItem(key, item)) {
                    FreeWebItem(page, item);
                    continue;
                }
                ok = false;
                ++i;
                continue;
            }
            if (!SaveItem(db, *page, *item, written)) ok = false;
            ++i;
        }
        if (written) {
            if (SetStringValue(db, key, wf::kPageUpdateDate, now)) {
                page->m_strUpdateDate = now;
            } else {
                ok = false;
            }
        }
        ++p;
    }
    if (!SaveHidePwd(db)) ok = false;

    // What the dialog kept to undo an edit belongs to the edit just saved.
    m_pAutoInputItem = nullptr;
    m_pPlaceholderItem = nullptr;
    m_strPlaceholderName.clear();
    TORVA_RETURN_BOOL(ok ? TRUE : FALSE);
}

bool CTvrIEToolDlg::SaveItem(TVRDB_HDB, CDataWebForm& page, CDataWebItem& item, bool& written) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::SaveItem");
    const bool isShown = &item == m_pShownItem;
    auto update = [&](int mode, std::int32_t after) {
        const int result = UpdateWebItem(&item, mode);
        // What was written before a later write failed is written all the
        // same: the page's UPDATEDATE follows it.
        if (m_nUpdateWrites > 0) written = true;
        if (result != 1) return false; // -1 refused or failed, -2 no database
        item.m_nState = after;
        return true;
    };
    switch (item.m_nState) {
    case kItemNormal:
        if (!isShown) TORVA_RETURN_BOOL(true);
        TORVA_RETURN_BOOL(update(1, kItemNormal));
    case kItemCopySaving:
        if (isShown) item.m_nState = kItemNormal;
        TORVA_RETURN_BOOL(update(3, kItemNormal));
    case kItemCopied:
        if (!AddWebItem(page.m_strKey, &item)) TORVA_RETURN_BOOL(false);
        written = true;
        // Stored now: a retry updates it, it never adds it again.
        if (!isShown) {
            item.m_nState = kItemCopySaving;
            TORVA_RETURN_BOOL(update(3, kItemNormal));
        }
        item.m_nState = kItemNormal;
        TORVA_RETURN_BOOL(update(1, kItemNormal));
    case kItemAutoInputMoved:
        if (isShown) TORVA_RETURN_BOOL(update(1, kItemNormal));
        if (GetItemNum(&page) == 1) {
            item.m_nState = kItemNormal;
            TORVA_RETURN_BOOL(true);
        }
        TORVA_RETURN_BOOL(update(2, kItemNormal));
    case kItemPlaceholder:
        TORVA_RETURN_BOOL(SaveNewOrUnnamed(page, item, written));
    case kItemUnnamed:
        if (!isShown) TORVA_RETURN_BOOL(true);
        TORVA_RETURN_BOOL(SaveNewOrUnnamed(page, item, written));
    default:
        TORVA_RETURN_BOOL(true);
    }
}

bool CTvrIEToolDlg::SaveNewOrUnnamed(CDataWebForm& page, CDataWebItem& item, bool& written) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::SaveNewOrUnnamed");
    if (item.m_strKey.empty()) {
        if (!AddWebItem(page.m_strKey, &item)) TORVA_RETURN_BOOL(false);
        written = true;
        item.m_nState = kItemPlaceholder;
    }
    const bool nothingEntered = CheckDeleteData(&item) != FALSE;
    int result = 1;
    if (!nothingEntered) {
        result = UpdateWebItem(&item, 1);
        if (result == 1) item.m_nState = kItemNormal;
    } else if (item.m_nState == kItemPlaceholder) {
        result = UpdateWebItem(&item, 0);
        if (result == 1) item.m_nState = kItemUnnamed;
    } else {
        TORVA_RETURN_BOOL(true);
    }
    if (m_nUpdateWrites > 0) written = true;
    TORVA_RETURN_BOOL(result == 1);
}

bool CTvrIEToolDlg::SaveHidePwd(TVRDB_HDB db) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::SaveHidePwd");
    UpdateDialogFields(TRUE);
    const std::int32_t check = m_bHidePwd ? 1 : 0;
    if (check == m_option.m_nHidePwd) TORVA_RETURN_BOOL(true);
    TVRDB_HKEY key = nullptr;
    DWORD opened = OpenKey(db, wf::kOptionKey, &key);
    if (opened == TVRDB_E_KEY_NOT_FOUND || opened == TVRDB_E_NO_MORE_ITEMS) {
        opened = CreateKey(db, wf::kOptionKey, &key);
    }
    DlgKeyScope keyScope(*this, db, key);
    if (opened != TVRDB_OK) TORVA_RETURN_BOOL(false);
    if (!SetDwordValue(db, &key, wf::kHidePwd.name, DWORD(check))) TORVA_RETURN_BOOL(false);
    m_option.m_nHidePwd = check;
    TORVA_RETURN_BOOL(true);
}
