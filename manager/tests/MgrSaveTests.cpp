// The save walks pages and items by their edit states; each row of the
// table below sets up one edit on a freshly stored page and checks what the
// database and the model hold after the save.
#include "MgrSaveFixture.h"

#include <functional>

namespace {

// The markup the preview shows for a stored item of Named's shape.
std::wstring PreviewOf(const CDataWebItem& item) {
    std::wstring body;
    for (const auto& ctrl : item.m_ctrls) {
        const CDataWebTextValue* text = ctrl->TextValue();
        if (!text) continue;
        body += ctrl->m_nType == D_WEB_CTRL_PSWD ? L"<input type=password" : L"<input type=text";
        body += L" name=" + ctrl->m_strName + L" value=\"" + text->m_strValue + L"\">";
    }
    return body;
}

class MgrSave : public MgrSaveFixture {};

struct SaveCase {
    const char* name;
    std::vector<MgrSaveFixture::Fill> items;
    // Edits the loaded model and the shown item; the page is the stored one.
    std::function<void(MgrSave&, TestDlg&, CDataWebForm&)> edit;
    bool saved;
    std::function<void(MgrSave&, TestDlg&, const std::wstring& key)> check;
};

} // namespace

class MgrSaveTable : public MgrSave {
public:
    void Run(const SaveCase& row) {
        SCOPED_TRACE(row.name);
        const std::wstring key = StorePage(L"tbl", row.items);
        TestDlg& dlg = Load();
        CDataWebForm* page = Page(key);
        ASSERT_NE(page, nullptr);
        row.edit(*this, dlg, *page);
        EXPECT_EQ(dlg.SetWebFormData() != FALSE, row.saved);
        row.check(*this, dlg, key);
        TearDown();
        m_keys.clear();
    }
    RawDb& Raw() { return m_raw; }
    CDataWebForm* PageOf(const std::wstring& key) { return Page(key); }
    void ShowItem(CDataWebItem* item) { Show(item); }
};

TEST_F(MgrSaveTable, EveryEditStateWritesOnlyWhatItMeans) {
    const std::vector<SaveCase> rows = {
        {"page state 3 deletes the page and everything below it",
         {Named(L"A"), Named(L"B")},
         [](MgrSave&, TestDlg&, CDataWebForm& page) { page.m_nEditState = 3; },
         true,
         [](MgrSave& t, TestDlg& dlg, const std::wstring& key) {
             EXPECT_FALSE(static_cast<MgrSaveTable&>(t).Raw().Exists(key));
             EXPECT_EQ(static_cast<MgrSaveTable&>(t).PageOf(key), nullptr);
             (void)dlg;
         }},
        {"item state 4 with a key is deleted with its controls, the page is not rewritten",
         {Named(L"A"), Named(L"B")},
         [](MgrSave&, TestDlg&, CDataWebForm& page) { page.m_items[1]->m_nState = 4; },
         true,
         [](MgrSave& t, TestDlg&, const std::wstring& key) {
             auto& raw = static_cast<MgrSaveTable&>(t).Raw();
             EXPECT_FALSE(raw.Exists(key + L"\\ITEM002"));
             EXPECT_TRUE(raw.Exists(key + L"\\ITEM001\\CTRL002"));
             EXPECT_EQ(raw.Text(key, L"UPDATEDATE"), std::wstring(kOldDate));
             EXPECT_EQ(static_cast<MgrSaveTable&>(t).PageOf(key)->m_items.size(), 1u);
         }},
        {"item state 4 without a key is only freed",
         {Named(L"A")},
         [](MgrSave&, TestDlg& dlg, CDataWebForm& page) {
             CDataWebItem* copy = dlg.CopyWebItem(&page, *page.m_items[0], L"never stored");
             copy->m_nState = 4;
         },
         true,
         [](MgrSave& t, TestDlg&, const std::wstring& key) {
             EXPECT_EQ(static_cast<MgrSaveTable&>(t).Raw().SubKeys(key).size(), 1u);
             EXPECT_EQ(static_cast<MgrSaveTable&>(t).PageOf(key)->m_items.size(), 1u);
         }},
        {"an item both shown and in state 4 is only deleted",
         {Named(L"A"), Named(L"B")},
         [](MgrSave& t, TestDlg&, CDataWebForm& page) {
             static_cast<MgrSaveTable&>(t).ShowItem(page.m_items[1].get());
             page.m_items[1]->m_nState = 4;
         },
         true,
         [](MgrSave& t, TestDlg& dlg, const std::wstring& key) {
             EXPECT_FALSE(static_cast<MgrSaveTable&>(t).Raw().Exists(key + L"\\ITEM002"));
             EXPECT_EQ(dlg.m_pShownItem, nullptr);
             EXPECT_TRUE(dlg.messages.empty());
         }},
        {"state 7 gives up AUTOINPUT to the shown item",
         {Named(L"A", 1), Named(L"B")},
         [](MgrSave& t, TestDlg& dlg, CDataWebForm& page) {
             static_cast<MgrSaveTable&>(t).ShowItem(page.m_items[1].get());
             dlg.m_bAutoInput = TRUE;
             page.m_items[0]->m_nState = 7;
             dlg.m_pAutoInputItem = page.m_items[0].get();
         },
         true,
         [](MgrSave& t, TestDlg& dlg, const std::wstring& key) {
             auto& raw = static_cast<MgrSaveTable&>(t).Raw();
             EXPECT_EQ(raw.Dword(key + L"\\ITEM001", L"AUTOINPUT"), 0);
             EXPECT_EQ(raw.Dword(key + L"\\ITEM002", L"AUTOINPUT"), 1);
             EXPECT_EQ(raw.Text(key, L"UPDATEDATE"), dlg.clock);
             CDataWebForm* page = static_cast<MgrSaveTable&>(t).PageOf(key);
             EXPECT_EQ(page->m_items[0]->m_nState, 0);
             EXPECT_EQ(page->m_items[0]->m_nAutoInput, 0);
             EXPECT_EQ(dlg.m_pAutoInputItem, nullptr);
         }},
        {"state 7 on the only item of its page writes nothing",
         {Named(L"A", 1)},
         [](MgrSave&, TestDlg&, CDataWebForm& page) { page.m_items[0]->m_nState = 7; },
         true,
         [](MgrSave& t, TestDlg&, const std::wstring& key) {
             auto& raw = static_cast<MgrSaveTable&>(t).Raw();
             EXPECT_EQ(raw.Dword(key + L"\\ITEM001", L"AUTOINPUT"), 1);
             EXPECT_EQ(raw.Text(key, L"UPDATEDATE"), std::wstring(kOldDate));
         }},
        {"the shown placeholder with nothing entered goes through mode 0 to state 8",
         {Named(L"A")},
         [](MgrSave& t, TestDlg& dlg, CDataWebForm& page) {
             CDataWebItem* item = page.m_items[0].get();
             dlg.m_pPlaceholderItem = item;
             dlg.m_strPlaceholderName = item->m_strName;
             item->m_strName.clear();
             item->m_nState = 5;
             static_cast<MgrSaveTable&>(t).ShowItem(item);
         },
         true,
         [](MgrSave& t, TestDlg& dlg, const std::wstring& key) {
             auto& raw = static_cast<MgrSaveTable&>(t).Raw();
             EXPECT_EQ(raw.Text(key + L"\\ITEM001", L"NAME"), std::wstring());
             EXPECT_EQ(raw.Dword(key + L"\\ITEM001", L"AUTOSEND"), 0);
             CDataWebForm* page = static_cast<MgrSaveTable&>(t).PageOf(key);
             EXPECT_EQ(page->m_items[0]->m_nState, 8);
             EXPECT_EQ(dlg.m_pPlaceholderItem, nullptr);
             EXPECT_EQ(dlg.m_strPlaceholderName, L"");
             EXPECT_EQ(raw.Text(key, L"UPDATEDATE"), dlg.clock);
         }},
        {"a page's CHANGEFLG is written when it changed",
         {Named(L"A")},
         [](MgrSave&, TestDlg&, CDataWebForm& page) { page.m_nChangeFlg = 1; },
         true,
         [](MgrSave& t, TestDlg&, const std::wstring& key) {
             EXPECT_EQ(static_cast<MgrSaveTable&>(t).Raw().Dword(key, L"CHANGEFLG"), 1);
             EXPECT_EQ(static_cast<MgrSaveTable&>(t).PageOf(key)->m_nLoadedChangeFlg, 1);
         }},
        {"a CHANGEFLG toggled back is not written",
         {Named(L"A")},
         [](MgrSave& t, TestDlg&, CDataWebForm& page) {
             page.m_nChangeFlg = 1;
             page.m_nChangeFlg = 0;
             // Whatever another program wrote meanwhile stays.
             static_cast<MgrSaveTable&>(t).Raw().SetDword(page.m_strKey, L"CHANGEFLG", 5);
         },
         true,
         [](MgrSave& t, TestDlg&, const std::wstring& key) {
             EXPECT_EQ(static_cast<MgrSaveTable&>(t).Raw().Dword(key, L"CHANGEFLG"), 5);
         }},
        {"a missing CHANGEFLG counts as 0",
         {Named(L"A")},
         [](MgrSave& t, TestDlg&, CDataWebForm& page) {
             page.m_nLoadedChangeFlg = -1;
             page.m_nChangeFlg = 0;
             static_cast<MgrSaveTable&>(t).Raw().SetDword(page.m_strKey, L"CHANGEFLG", 5);
         },
         true,
         [](MgrSave& t, TestDlg&, const std::wstring& key) {
             EXPECT_EQ(static_cast<MgrSaveTable&>(t).Raw().Dword(key, L"CHANGEFLG"), 5);
         }},
        {"a retitled page writes TITLE and UPDATEDATE",
         {Named(L"A")},
         [](MgrSave&, TestDlg&, CDataWebForm& page) {
             page.m_strTitle = L"新しい題";
             page.m_nEditState = 1;
         },
         true,
         [](MgrSave& t, TestDlg& dlg, const std::wstring& key) {
             auto& raw = static_cast<MgrSaveTable&>(t).Raw();
             EXPECT_EQ(raw.Text(key, L"TITLE"), std::wstring(L"新しい題"));
             EXPECT_EQ(raw.Text(key, L"UPDATEDATE"), dlg.clock);
             EXPECT_EQ(static_cast<MgrSaveTable&>(t).PageOf(key)->m_nEditState, 0);
         }},
        {"a name another item has is refused and the item keeps its state",
         {Named(L"A"), Named(L"B")},
         [](MgrSave& t, TestDlg& dlg, CDataWebForm& page) {
             static_cast<MgrSaveTable&>(t).ShowItem(page.m_items[0].get());
             dlg.m_strItemName = L"B";
             page.m_items[1]->m_nState = 7;
         },
         false,
         [](MgrSave& t, TestDlg& dlg, const std::wstring& key) {
             auto& raw = static_cast<MgrSaveTable&>(t).Raw();
             EXPECT_EQ(raw.Text(key + L"\\ITEM001", L"NAME"), std::wstring(L"A"));
             ASSERT_EQ(dlg.messages.size(), 1u);
             EXPECT_EQ(dlg.messages[0], L"既に登録されているアイテム名です。");
             // The rest of the save went on.
             CDataWebForm* page = static_cast<MgrSaveTable&>(t).PageOf(key);
             EXPECT_EQ(page->m_items[0]->m_strName, L"A");
             EXPECT_EQ(page->m_items[1]->m_nState, 0);
         }},
        {"the name of an item being deleted is free",
         {Named(L"A"), Named(L"B")},
         [](MgrSave& t, TestDlg& dlg, CDataWebForm& page) {
             static_cast<MgrSaveTable&>(t).ShowItem(page.m_items[0].get());
             dlg.m_strItemName = L"B";
             page.m_items[1]->m_nState = 4;
         },
         true,
         [](MgrSave& t, TestDlg& dlg, const std::wstring& key) {
             auto& raw = static_cast<MgrSaveTable&>(t).Raw();
             EXPECT_EQ(raw.Text(key + L"\\ITEM001", L"NAME"), std::wstring(L"B"));
             EXPECT_FALSE(raw.Exists(key + L"\\ITEM002"));
             EXPECT_TRUE(dlg.messages.empty());
         }},
        {"an empty name box ends the save before anything is written",
         {Named(L"A"), Named(L"B")},
         [](MgrSave& t, TestDlg& dlg, CDataWebForm& page) {
             static_cast<MgrSaveTable&>(t).ShowItem(page.m_items[0].get());
             dlg.m_strItemName.clear();
             page.m_items[1]->m_nState = 4;
         },
         false,
         [](MgrSave& t, TestDlg& dlg, const std::wstring& key) {
             EXPECT_TRUE(static_cast<MgrSaveTable&>(t).Raw().Exists(key + L"\\ITEM002"));
             ASSERT_EQ(dlg.messages.size(), 1u);
             EXPECT_EQ(dlg.messages[0], L"アイテム名が入力されていません");
         }},
        {"a shown unnamed item that is given a name is written and leaves state 8",
         {Named(L"A"), Named(L"")},
         [](MgrSave& t, TestDlg& dlg, CDataWebForm& page) {
             CDataWebItem* unnamed = page.m_items[1].get();
             EXPECT_EQ(unnamed->m_nState, 8);
             static_cast<MgrSaveTable&>(t).ShowItem(unnamed);
             dlg.m_strItemName = L"named now";
         },
         true,
         [](MgrSave& t, TestDlg& dlg, const std::wstring& key) {
             auto& raw = static_cast<MgrSaveTable&>(t).Raw();
             EXPECT_EQ(raw.Text(key + L"\\ITEM002", L"NAME"), std::wstring(L"named now"));
             EXPECT_EQ(static_cast<MgrSaveTable&>(t).PageOf(key)->m_items[1]->m_nState, 0);
             EXPECT_EQ(raw.Text(key, L"UPDATEDATE"), dlg.clock);
         }},
        {"an unnamed item not shown stays as it is",
         {Named(L"")},
         [](MgrSave&, TestDlg&, CDataWebForm&) {},
         true,
         [](MgrSave& t, TestDlg&, const std::wstring& key) {
             EXPECT_EQ(static_cast<MgrSaveTable&>(t).PageOf(key)->m_items[0]->m_nState, 8);
             EXPECT_EQ(static_cast<MgrSaveTable&>(t).Raw().Text(key, L"UPDATEDATE"),
                       std::wstring(kOldDate));
         }},
        {"a missing AUTOINPUT and AUTOSEND count as 0 against unticked boxes",
         {Named(L"A")},
         [](MgrSave& t, TestDlg& dlg, CDataWebForm& page) {
             CDataWebItem* item = page.m_items[0].get();
             item->m_nAutoInput = -1;
             item->m_nAutoSend = -1;
             static_cast<MgrSaveTable&>(t).ShowItem(item);
             dlg.m_bAutoInput = FALSE;
             dlg.m_bAutoSend = FALSE;
         },
         true,
         [](MgrSave& t, TestDlg&, const std::wstring& key) {
             EXPECT_EQ(static_cast<MgrSaveTable&>(t).Raw().Text(key, L"UPDATEDATE"),
                       std::wstring(kOldDate));
         }},
        {"a page gone from the database fails its title and flag writes and keeps them to do",
         {Named(L"A")},
         [](MgrSave& t, TestDlg&, CDataWebForm& page) {
             page.m_strTitle = L"lost";
             page.m_nEditState = 1;
             page.m_nChangeFlg = 1;
             static_cast<MgrSaveTable&>(t).Raw().Delete(page.m_strKey);
         },
         false,
         [](MgrSave& t, TestDlg&, const std::wstring& key) {
             CDataWebForm* page = static_cast<MgrSaveTable&>(t).PageOf(key);
             EXPECT_EQ(page->m_nEditState, 1);
             EXPECT_EQ(page->m_nLoadedChangeFlg, 0);
             EXPECT_EQ(page->m_strUpdateDate, std::wstring(kOldDate));
             EXPECT_FALSE(static_cast<MgrSaveTable&>(t).Raw().Exists(key));
         }},
    };
    for (const SaveCase& row : rows)
        Run(row);
}

TEST_F(MgrSave, UpdateDateChangesOnlyForPagesWritten) {
    const std::wstring edited = StorePage(L"ud1", {Named(L"A")});
    const std::wstring untouched = StorePage(L"ud2", {Named(L"A")});
    TestDlg& dlg = Load();
    CDataWebItem* item = Page(edited)->m_items[0].get();
    Show(item);
    dlg.m_strItemName = L"A2";
    // The other page's item is shown by nobody; its state 0 writes nothing.
    ASSERT_TRUE(dlg.SetWebFormData());
    EXPECT_EQ(m_raw.Text(edited, L"UPDATEDATE"), dlg.clock);
    EXPECT_EQ(Page(edited)->m_strUpdateDate, dlg.clock);
    EXPECT_EQ(m_raw.Text(untouched, L"UPDATEDATE"), std::wstring(kOldDate));
    EXPECT_EQ(m_raw.Text(edited + L"\\ITEM001", L"NAME"), std::wstring(L"A2"));
}

TEST_F(MgrSave, NewItemTakesTheFirstFreeNumberAndItsOwnControlKeys) {
    const std::wstring key = StorePage(L"gap", {Named(L"A"), Named(L"B"), Named(L"C")});
    m_raw.Delete(key + L"\\ITEM002");
    TestDlg writer;
    CDataWebItem item;
    Named(L"D")(item);
    ASSERT_TRUE(writer.AddWebItem(key, &item));
    EXPECT_EQ(item.m_strKey, key + L"\\ITEM002");
    EXPECT_EQ(item.m_ctrls[0]->m_strKey, key + L"\\ITEM002\\CTRL001");
    EXPECT_EQ(item.m_ctrls[1]->m_strKey, key + L"\\ITEM002\\CTRL002");
    EXPECT_EQ(m_raw.Text(key + L"\\ITEM002", L"NAME"), std::wstring(L"D"));
    EXPECT_EQ(m_raw.Text(key + L"\\ITEM002\\CTRL001", L"VALUE"), std::wstring(L"u-D"));
    EXPECT_FALSE(m_raw.Exists(key + L"\\ITEM002\\CTRL001\\ELEMENT"));
    // A number taken in another spelling is taken.
    ASSERT_TRUE(m_raw.Create(key + L"\\item004"));
    CDataWebItem next;
    Named(L"F")(next);
    ASSERT_TRUE(writer.AddWebItem(key, &next));
    EXPECT_EQ(next.m_strKey, key + L"\\ITEM005");
    EXPECT_EQ(m_raw.Text(key + L"\\item004", L"NAME"), std::nullopt);
    // A page that is not there: a failure, and nothing made.
    CDataWebItem stray;
    Named(L"E")(stray);
    EXPECT_FALSE(writer.AddWebItem(key + L"_missing", &stray));
    EXPECT_EQ(stray.m_strKey, L"");
    EXPECT_FALSE(m_raw.Exists(key + L"_missing"));
}

TEST_F(MgrSave, FailedAddLeavesNothingBehindAndTheCopyWaitsForTheNextSave) {
    const std::wstring key = StorePage(L"addfail", {Named(L"A")});
    TestDlg& dlg = Load();
    CDataWebForm* page = Page(key);
    CDataWebItem* copy = dlg.CopyWebItem(page, *page->m_items[0], L"copy");
    Show(copy);
    dlg.encryptionsBeforeFailure = 0;
    EXPECT_FALSE(dlg.SetWebFormData());
    EXPECT_EQ(copy->m_nState, CTvrIEToolDlg::kItemCopied);
    EXPECT_EQ(copy->m_strKey, L"");
    EXPECT_EQ(m_raw.SubKeys(key).size(), 1u);
    EXPECT_TRUE(dlg.messages.empty());

    dlg.encryptionsBeforeFailure = -1;
    dlg.m_nCryptUsable = 1;
    ASSERT_TRUE(dlg.SetWebFormData());
    EXPECT_EQ(copy->m_strKey, key + L"\\ITEM002");
    EXPECT_EQ(copy->m_nState, 0);
    EXPECT_EQ(m_raw.SubKeys(key).size(), 2u);
}

TEST_F(MgrSave, HidePwdIsWrittenOnlyWhenChangedAndCreatesTheOptionKey) {
    const std::wstring option = L"WEBFORMDATA\\OPTION";
    // Other programs' options are put back as they were.
    std::vector<std::pair<std::wstring, std::optional<std::int32_t>>> kept;
    for (const wchar_t* name : {L"STOPFUNC", L"STOPAUTOINPUT", L"SETAUTO", L"CHECKSET", L"ONLYPWD",
                                L"NOMULTITEXT", L"HIDEPWD"}) {
        kept.emplace_back(name, m_raw.Dword(option, name));
    }
    const bool existed = m_raw.Exists(option);
    m_raw.Delete(option);

    TestDlg& dlg = Load();
    EXPECT_EQ(dlg.m_option.m_nHidePwd, 1);
    EXPECT_TRUE(dlg.SetWebFormData());
    EXPECT_FALSE(m_raw.Exists(option)); // unchanged: nothing written
    dlg.m_bHidePwd = FALSE;
    EXPECT_TRUE(dlg.SetWebFormData());
    EXPECT_EQ(m_raw.Dword(option, L"HIDEPWD"), 0);
    EXPECT_EQ(dlg.m_option.m_nHidePwd, 0);
    m_raw.SetDword(option, L"HIDEPWD", 7);
    EXPECT_TRUE(dlg.SetWebFormData());
    EXPECT_EQ(m_raw.Dword(option, L"HIDEPWD"), 7); // written once only

    m_raw.Delete(option);
    if (existed) {
        m_raw.Create(option);
        for (const auto& [name, value] : kept) {
            if (value) m_raw.SetDword(option, name.c_str(), DWORD(*value));
        }
    }
}

TEST_F(MgrSave, ApplyThenOkLeavesTheDatabaseAsApplyWroteIt) {
    const std::wstring key = StorePage(L"apply", {Named(L"A", 1), Named(L"B"), Named(L"C")});
    TestDlg& dlg = Load();
    CDataWebForm* page = Page(key);
    CDataWebItem* a = page->m_items[0].get();
    CDataWebItem* b = page->m_items[1].get();
    CDataWebItem* c = page->m_items[2].get();
    CDataWebItem* copy = dlg.CopyWebItem(page, *b, dlg.CreateCopyName(page, b->m_strName));
    PreviewPage preview(PreviewOf(*copy));
    dlg.ClearElementBindings();
    preview.Bind(dlg, *copy);
    preview.SetText(L"user", L"copied user");
    Show(copy);
    dlg.m_bAutoInput = TRUE;
    a->m_nState = 7;
    dlg.m_pAutoInputItem = a;
    c->m_nState = 4;
    page->m_nChangeFlg = 1;

    ASSERT_TRUE(dlg.SetWebFormData()); // apply
    EXPECT_EQ(m_raw.Dword(key + L"\\ITEM001", L"AUTOINPUT"), 0);
    // The deleted item's number is free again by the time the copy is added.
    const std::wstring copyKey = copy->m_strKey;
    EXPECT_EQ(copyKey, key + L"\\ITEM003");
    EXPECT_EQ(m_raw.Text(copyKey, L"NAME"), copy->m_strName);
    EXPECT_EQ(m_raw.Text(copyKey + L"\\CTRL001", L"VALUE"), std::wstring(L"copied user"));
    EXPECT_EQ(m_raw.Dword(copyKey, L"AUTOINPUT"), 1);
    EXPECT_EQ(m_raw.Dword(key, L"CHANGEFLG"), 1);
    EXPECT_EQ(a->m_nState, 0);
    EXPECT_EQ(copy->m_nState, 0);
    EXPECT_EQ(page->m_items.size(), 3u);

    // Marks where a second write would show: none may be overwritten.
    m_raw.SetDword(key + L"\\ITEM001", L"AUTOINPUT", 9);
    m_raw.SetText(copyKey, L"NAME", L"renamed elsewhere");
    m_raw.SetText(copyKey + L"\\CTRL001", L"VALUE", L"typed elsewhere");
    m_raw.SetDword(key, L"CHANGEFLG", 9);
    const auto subKeys = m_raw.SubKeys(key);
    dlg.clock = L"2099/12/31 23:59:59";

    ASSERT_TRUE(dlg.SetWebFormData()); // OK
    EXPECT_EQ(m_raw.SubKeys(key), subKeys);
    EXPECT_EQ(m_raw.Dword(key + L"\\ITEM001", L"AUTOINPUT"), 9);
    EXPECT_EQ(m_raw.Text(copyKey, L"NAME"), std::wstring(L"renamed elsewhere"));
    EXPECT_EQ(m_raw.Text(copyKey + L"\\CTRL001", L"VALUE"), std::wstring(L"typed elsewhere"));
    EXPECT_EQ(m_raw.Dword(key, L"CHANGEFLG"), 9);
    EXPECT_NE(m_raw.Text(key, L"UPDATEDATE"), dlg.clock);
}

TEST_F(MgrSave, FailedEncryptionLeavesThisAndLaterPasswordsAsStored) {
    const std::wstring key = StorePage(L"enc", {Named(L"A"), Named(L"B")});
    const auto storedA = m_raw.Raw(key + L"\\ITEM001\\CTRL002", L"VALUE");
    TestDlg& dlg = Load();
    CDataWebForm* page = Page(key);
    // A's new password comes first, then a copy of B that is not shown.
    CDataWebItem* a = page->m_items[0].get();
    CDataWebItem* copy = dlg.CopyWebItem(page, *page->m_items[1], L"copy of B");
    PreviewPage preview(PreviewOf(*a));
    preview.Bind(dlg, *a);
    preview.SetText(L"pw", L"new A");
    Show(a);
    dlg.encryptionsBeforeFailure = 0;
    EXPECT_FALSE(dlg.SetWebFormData());
    EXPECT_EQ(dlg.m_nCryptUsable, 0);
    EXPECT_EQ(dlg.encryptCalls, 1); // the later password was not even tried
    EXPECT_EQ(m_raw.Raw(key + L"\\ITEM001\\CTRL002", L"VALUE"), storedA);
    EXPECT_EQ(a->m_ctrls[1]->TextValue()->m_strValue, L"p-A");
    EXPECT_EQ(m_raw.SubKeys(key).size(), 2u);
    EXPECT_EQ(copy->m_nState, CTvrIEToolDlg::kItemCopied);

    // The next save tries the library again.
    dlg.encryptionsBeforeFailure = -1;
    dlg.m_nCryptUsable = 1;
    ASSERT_TRUE(dlg.SetWebFormData());
    TestDlg reader;
    ASSERT_TRUE(reader.GetWebFormData());
    bool found = false;
    for (auto& loaded : reader.m_pages) {
        if (loaded->m_strKey != key) continue;
        found = true;
        ASSERT_EQ(loaded->m_items.size(), 3u);
        EXPECT_EQ(loaded->m_items[0]->m_ctrls[1]->TextValue()->m_strValue, L"new A");
        EXPECT_EQ(loaded->m_items[1]->m_ctrls[1]->TextValue()->m_strValue, L"p-B");
        EXPECT_EQ(loaded->m_items[2]->m_strName, L"copy of B");
        EXPECT_EQ(loaded->m_items[2]->m_ctrls[1]->TextValue()->m_strValue, L"p-B");
    }
    EXPECT_TRUE(found);
}

TEST_F(MgrSave, UpdateThatFailsAfterAWriteStillDatesItsPage) {
    const std::wstring key = StorePage(L"half", {Named(L"A")});
    TestDlg& dlg = Load();
    CDataWebItem* a = Page(key)->m_items[0].get();
    PreviewPage preview(PreviewOf(*a));
    preview.Bind(dlg, *a);
    preview.SetText(L"user", L"new user");
    preview.SetText(L"pw", L"new pw");
    Show(a);
    dlg.encryptionsBeforeFailure = 0;
    EXPECT_FALSE(dlg.SetWebFormData());
    // The user name went in before the password failed: the page tells when.
    EXPECT_EQ(m_raw.Text(key + L"\\ITEM001\\CTRL001", L"VALUE"), std::wstring(L"new user"));
    EXPECT_EQ(m_raw.Text(key, L"UPDATEDATE"), dlg.clock);
    EXPECT_EQ(Page(key)->m_strUpdateDate, dlg.clock);
}

TEST_F(MgrSave, PasswordNotDecryptedAndNotChangedIsNeverWrittenBack) {
    const std::wstring key = StorePage(L"nodec", {Named(L"A")});
    const auto stored = m_raw.Raw(key + L"\\ITEM001\\CTRL002", L"VALUE");
    m_dlg = std::make_unique<TestDlg>();
    m_dlg->failDecryption = true;
    ASSERT_TRUE(m_dlg->GetWebFormData());
    TestDlg& dlg = *m_dlg;
    CDataWebItem* a = Page(key)->m_items[0].get();
    ASSERT_EQ(a->m_ctrls[1]->TextValue()->m_nNotDecrypted, 1);
    PreviewPage preview(PreviewOf(*a));
    preview.Bind(dlg, *a);
    preview.SetText(L"user", L"changed");
    Show(a);
    dlg.m_nCryptUsable = 1;
    dlg.failDecryption = false;
    ASSERT_TRUE(dlg.SetWebFormData());
    EXPECT_EQ(m_raw.Text(key + L"\\ITEM001\\CTRL001", L"VALUE"), std::wstring(L"changed"));
    EXPECT_EQ(m_raw.Raw(key + L"\\ITEM001\\CTRL002", L"VALUE"), stored);
}

TEST_F(MgrSave, UpdateThatCannotOpenTheDatabaseFailsTheSaveAndKeepsTheState) {
    const std::wstring key = StorePage(L"nodb", {Named(L"A", 1), Named(L"B")});
    TestDlg& dlg = Load();
    CDataWebForm* page = Page(key);
    Show(page->m_items[1].get());
    page->m_items[0]->m_nState = 7;
    dlg.openCalls = 0;
    dlg.openingsBeforeFailure = 1; // the save's own handle only
    EXPECT_FALSE(dlg.SetWebFormData());
    EXPECT_EQ(page->m_items[0]->m_nState, 7);
    EXPECT_EQ(page->m_items[0]->m_nAutoInput, 1);
    EXPECT_EQ(m_raw.Dword(key + L"\\ITEM001", L"AUTOINPUT"), 1);
    EXPECT_EQ(m_raw.Text(key, L"UPDATEDATE"), std::wstring(kOldDate));

    dlg.openingsBeforeFailure = -1;
    ASSERT_TRUE(dlg.SetWebFormData());
    EXPECT_EQ(page->m_items[0]->m_nState, 0);
    EXPECT_EQ(m_raw.Dword(key + L"\\ITEM001", L"AUTOINPUT"), 0);
}
