// Storing, loading, updating and deleting pages through the real relay.
// Every page made here is deleted again; URLs carry this process's id.
#include "StoreTestSupport.h"
#include "UrlList.h"
#include "testsupport/WebItemBuilder.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

void ExpectSameCtrl(const CDataWebCtrl& a, const CDataWebCtrl& b) {
    SCOPED_TRACE(testing::Message()
                 << "control " << std::string(a.m_strName.begin(), a.m_strName.end()));
    EXPECT_EQ(a.m_nType, b.m_nType);
    EXPECT_EQ(a.m_strName, b.m_strName);
    EXPECT_EQ(a.m_strKey, b.m_strKey);
    if (a.TextValue()) {
        ASSERT_NE(b.TextValue(), nullptr);
        EXPECT_EQ(a.TextValue()->m_strValue, b.TextValue()->m_strValue);
        EXPECT_EQ(a.TextValue()->m_nDataLen, b.TextValue()->m_nDataLen);
    } else if (a.SelValue()) {
        ASSERT_NE(b.SelValue(), nullptr);
        EXPECT_EQ(a.SelValue()->m_nMultiple, b.SelValue()->m_nMultiple);
        ASSERT_EQ(a.SelValue()->m_elements.size(), b.SelValue()->m_elements.size());
        for (size_t i = 0; i < a.SelValue()->m_elements.size(); ++i) {
            const CDataWebSelElement& x = *a.SelValue()->m_elements[i];
            const CDataWebSelElement& y = *b.SelValue()->m_elements[i];
            EXPECT_EQ(x.m_strValue, y.m_strValue);
            EXPECT_EQ(x.m_nSelect, y.m_nSelect);
            if (a.m_nType == D_WEB_CTRL_SELECT) {
                EXPECT_EQ(x.m_strText, y.m_strText);
            }
        }
    } else if (a.MultiValue()) {
        ASSERT_NE(b.MultiValue(), nullptr);
        EXPECT_EQ(a.MultiValue()->m_strText, b.MultiValue()->m_strText);
        EXPECT_EQ(a.MultiValue()->m_nRows, b.MultiValue()->m_nRows);
        EXPECT_EQ(a.MultiValue()->m_nCols, b.MultiValue()->m_nCols);
    } else if (a.ButtonValue()) {
        ASSERT_NE(b.ButtonValue(), nullptr);
        EXPECT_EQ(a.ButtonValue()->m_strValue, b.ButtonValue()->m_strValue);
        EXPECT_EQ(a.ButtonValue()->m_nSelected, b.ButtonValue()->m_nSelected);
    }
}

class StorePages : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        UseRelayBesideTestProgram();
        s_store = std::make_unique<CExpData>();
    }
    static void TearDownTestSuite() { s_store.reset(); }
    void TearDown() override {
        for (auto& page : m_pages)
            Store().DeleteWebPageData(page.get());
        Store().m_nCryptUsable = 1;
    }

    CDataWebForm& NewPage(const std::wstring& tag) {
        m_pages.push_back(std::make_unique<CDataWebForm>());
        CDataWebForm& page = *m_pages.back();
        page.m_strUrl = L"https://example.jp/" + ScratchKeyName() + L"/" + tag;
        page.m_strTitle = L"タイトル";
        page.m_strUpdateDate = L"2026/12/08 21:00:00";
        page.m_nChangeFlg = 0;
        return page;
    }
    std::unique_ptr<CDataWebForm> Load(const std::wstring& url, int decrypt = 1) {
        return std::unique_ptr<CDataWebForm>(Store().GetWebPageData(url, decrypt));
    }
    // The raw value of a stored key, read directly through the relay.
    bool ReadRaw(const std::wstring& path, const wchar_t* name, DWORD& type,
                 std::vector<BYTE>& bytes) {
        ZentripCell* db = nullptr;
        if (!Store().OpenDB(&db)) return false;
        ZentripCell* key = nullptr;
        bool read = false;
        if (Store().OpenKey(db, path.c_str(), &key) == 0) {
            bytes.assign(4096, 0);
            DWORD size = DWORD(bytes.size());
            read = Store().Zentrip_QueryValue(db, key, name, &type, bytes.data(), &size) == 0;
            bytes.resize(read ? size : 0);
            Store().CloseKey(db, &key);
        }
        Store().CloseDB(&db);
        return read;
    }

    static CExpData& Store() { return *s_store; }
    static std::unique_ptr<CExpData> s_store;
    std::vector<std::unique_ptr<CDataWebForm>> m_pages;
};

std::unique_ptr<CExpData> StorePages::s_store;

} // namespace

TEST_F(StorePages, PageWithEveryKindRoundTripsDeeply) {
    CDataWebForm& page = NewPage(L"every");
    FillEveryKind(page.AddItem(), L"main", true);
    ASSERT_EQ(Store().SetWebPageData(&page, nullptr), 0);
    ASSERT_FALSE(page.m_strKey.empty());

    auto loaded = Load(page.m_strUrl);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->m_strKey, page.m_strKey);
    EXPECT_EQ(loaded->m_strTitle, page.m_strTitle);
    EXPECT_EQ(loaded->m_strUpdateDate, page.m_strUpdateDate);
    EXPECT_EQ(loaded->m_nChangeFlg, 0);
    ASSERT_EQ(loaded->m_items.size(), 1u);
    const CDataWebItem& a = *page.m_items[0];
    const CDataWebItem& b = *loaded->m_items[0];
    EXPECT_EQ(b.m_strKey, a.m_strKey);
    EXPECT_EQ(b.m_strName, L"main");
    EXPECT_EQ(b.m_strFormName, L"login");
    EXPECT_EQ(b.m_nAutoInput, 1);
    EXPECT_EQ(b.m_nIndex, 0);
    ASSERT_EQ(b.m_ctrls.size(), a.m_ctrls.size());
    for (size_t i = 0; i < a.m_ctrls.size(); ++i)
        ExpectSameCtrl(*a.m_ctrls[i], *b.m_ctrls[i]);

    DWORD type = 9;
    std::vector<BYTE> bytes;
    ASSERT_TRUE(ReadRaw(a.m_ctrls[2]->m_strKey, L"VALUE", type, bytes));
    EXPECT_EQ(type, 0u) << "the password is cipher bytes";
    const std::wstring asText(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
    EXPECT_EQ(asText.find(L"pässwörd"), std::wstring::npos);
    ASSERT_TRUE(ReadRaw(a.m_ctrls[3]->m_strKey, L"VALUE", type, bytes));
    EXPECT_EQ(type, 2u) << "an empty password is plain";
    EXPECT_TRUE(bytes.empty());
    ASSERT_TRUE(ReadRaw(a.m_ctrls[1]->m_strKey, L"DATALEN", type, bytes));
    EXPECT_EQ(type, 1u);
    EXPECT_FALSE(ReadRaw(a.m_ctrls[0]->m_strKey, L"DATALEN", type, bytes)) << "-1 is not stored";

    auto hidden = Load(page.m_strUrl, 0);
    ASSERT_TRUE(hidden);
    EXPECT_NE(hidden->m_items[0]->m_ctrls[2]->TextValue()->m_strValue, L"pässwörd")
        << "without the decrypt flag the cipher is not opened";
}

TEST_F(StorePages, ItemWithoutNameStoresNoContents) {
    CDataWebForm& page = NewPage(L"noname");
    FillEveryKind(page.AddItem(), L"", true);
    ASSERT_EQ(Store().SetWebPageData(&page, nullptr), 0);
    const CDataWebItem& item = *page.m_items[0];
    DWORD type = 0;
    std::vector<BYTE> bytes;
    EXPECT_FALSE(ReadRaw(item.m_ctrls[0]->m_strKey, L"VALUE", type, bytes));
    EXPECT_FALSE(ReadRaw(item.m_ctrls[2]->m_strKey, L"VALUE", type, bytes));
    EXPECT_FALSE(ReadRaw(item.m_ctrls[7]->m_strKey, L"TEXT", type, bytes));
    EXPECT_FALSE(ReadRaw(item.m_ctrls[4]->m_strKey + L"\\ELEMENT", L"SELECT1", type, bytes));
    EXPECT_TRUE(ReadRaw(item.m_ctrls[4]->m_strKey + L"\\ELEMENT", L"VALUE1", type, bytes));
    EXPECT_TRUE(ReadRaw(item.m_ctrls[1]->m_strKey, L"DATALEN", type, bytes));
    EXPECT_TRUE(ReadRaw(item.m_ctrls[8]->m_strKey, L"VALUE", type, bytes));
}

TEST_F(StorePages, UpdateRewritesValuesAndSizesOnlyWhenChanged) {
    CDataWebForm& page = NewPage(L"update");
    CDataWebItem& item = page.AddItem();
    FillEveryKind(item, L"main", true);
    ASSERT_EQ(Store().SetWebPageData(&page, nullptr), 0);

    item.m_ctrls[1]->TextValue()->m_nDataLen = -1;
    item.m_ctrls[1]->TextValue()->m_strValue = L"999";
    item.m_ctrls[8]->ButtonValue()->m_nSelected = 0;
    item.m_ctrls[9]->ButtonValue()->m_nSelected = 1;
    ASSERT_EQ(Store().SetWebPageData(&page, &item), 0);
    auto loaded = Load(page.m_strUrl);
    ASSERT_TRUE(loaded);
    const CDataWebItem& once = *loaded->m_items[0];
    EXPECT_EQ(once.m_ctrls[1]->TextValue()->m_strValue, L"999");
    EXPECT_EQ(once.m_ctrls[1]->TextValue()->m_nDataLen, 8) << "unchanged control keeps its size";
    EXPECT_EQ(once.m_ctrls[9]->ButtonValue()->m_nSelected, 1) << "the chosen button is always kept";

    item.m_ctrls[1]->m_nChanged = 1;
    CDataWebCtrl& select = *item.m_ctrls[6];
    select.m_nChanged = 1;
    select.SelValue()->m_elements.pop_back();
    ASSERT_EQ(Store().SetWebPageData(&page, &item), 0);
    loaded = Load(page.m_strUrl);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->m_items[0]->m_ctrls[1]->TextValue()->m_nDataLen, -1);
    EXPECT_EQ(loaded->m_items[0]->m_ctrls[6]->SelValue()->m_elements.size(), 2u);
    DWORD type = 0;
    std::vector<BYTE> bytes;
    EXPECT_FALSE(ReadRaw(select.m_strKey + L"\\ELEMENT", L"VALUE3", type, bytes));
}

TEST_F(StorePages, SecondItemIsAddedAndADeletedItemsNumberIsReused) {
    CDataWebForm& page = NewPage(L"items");
    FillEveryKind(page.AddItem(), L"one", true);
    ASSERT_EQ(Store().SetWebPageData(&page, nullptr), 0);
    CDataWebItem& second = page.AddItem();
    FillEveryKind(second, L"two", true);
    ASSERT_EQ(Store().SetWebPageData(&page, &second), 0);
    EXPECT_EQ(CExpData::GetSubKey(second.m_strKey), L"ITEM002");
    CDataWebItem& third = page.AddItem();
    FillEveryKind(third, L"three", true);
    ASSERT_EQ(Store().SetWebPageData(&page, &third), 0);

    Store().DeleteWebItem(&second);
    {
        ZentripCell* db = nullptr;
        ASSERT_TRUE(Store().OpenDB(&db));
        ZentripCell* key = nullptr;
        ASSERT_EQ(Store().OpenKey(db, page.m_strKey.c_str(), &key), 0u);
        EXPECT_EQ(Store().Zentrip_DeleteKey(db, key, L"ITEM002"), 0u);
        Store().CloseKey(db, &key);
        Store().CloseDB(&db);
    }
    CDataWebItem refill;
    FillEveryKind(refill, L"refill", true);
    ASSERT_EQ(Store().SetWebPageData(&page, &refill), 0);
    EXPECT_EQ(CExpData::GetSubKey(refill.m_strKey), L"ITEM002");

    auto loaded = Load(page.m_strUrl);
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->m_items.size(), 3u);
    EXPECT_EQ(loaded->m_items[0]->m_strName, L"one");
    EXPECT_EQ(loaded->m_items[1]->m_strName, L"refill");
    EXPECT_EQ(loaded->m_items[2]->m_strName, L"three");
}

TEST_F(StorePages, DeletedPageLeavesTheUrlListAndItsNumberNeverShowsTheOldSite) {
    CDataWebForm& first = NewPage(L"old");
    FillEveryKind(first.AddItem(), L"old", true);
    ASSERT_EQ(Store().SetWebPageData(&first, nullptr), 0);
    const std::wstring oldUrl = first.m_strUrl;
    const std::wstring oldKey = first.m_strKey;
    Store().DeleteWebPageData(&first);
    EXPECT_EQ(Store().SearchSubKeyFromURL(oldUrl), L"");
    EXPECT_FALSE(Load(oldUrl));

    // Another site may take the freed number.
    CDataWebForm& other = NewPage(L"new");
    FillEveryKind(other.AddItem(), L"new", true);
    ASSERT_EQ(Store().SetWebPageData(&other, nullptr), 0);
    ASSERT_TRUE(Store().SetURLData(CExpData::URL_ADD, oldUrl, other.m_strKey));
    EXPECT_FALSE(Load(oldUrl)) << "a stale pair never offers another site's entries";
    auto loaded = Load(other.m_strUrl);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->m_items[0]->m_strName, L"new");
}

TEST_F(StorePages, FailedEncryptionStoresNothingAndReportsFailure) {
    CDataWebForm& page = NewPage(L"cryptfail");
    CDataWebItem& item = page.AddItem();
    item.m_strName = L"n";
    // More than the relay accepts in one message: the encryption fails.
    AddCtrl(item, D_WEB_CTRL_PSWD, L"pw").TextValue()->m_strValue = std::wstring(2u << 20, L'x');
    EXPECT_NE(Store().SetWebPageData(&page, nullptr), 0);
    EXPECT_EQ(Store().m_nCryptUsable, 0);
    DWORD type = 0;
    std::vector<BYTE> bytes;
    EXPECT_FALSE(ReadRaw(item.m_ctrls[0]->m_strKey, L"VALUE", type, bytes));
}

TEST_F(StorePages, ControlsComeBackInNumberOrderPastCtrl999) {
    CDataWebForm& page = NewPage(L"many");
    CDataWebItem& item = page.AddItem();
    item.m_strName = L"many";
    for (int i = 0; i < 1001; ++i) {
        AddCtrl(item, D_WEB_CTRL_TEXT, L"t").TextValue()->m_strValue = std::to_wstring(i);
    }
    ASSERT_EQ(Store().SetWebPageData(&page, nullptr), 0);
    EXPECT_EQ(CExpData::GetSubKey(item.m_ctrls[999]->m_strKey), L"CTRL1000");
    auto loaded = Load(page.m_strUrl);
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->m_items[0]->m_ctrls.size(), 1001u);
    for (int i = 0; i < 1001; ++i) {
        ASSERT_EQ(loaded->m_items[0]->m_ctrls[i]->TextValue()->m_strValue, std::to_wstring(i));
    }
}

TEST_F(StorePages, PageNumbersRefillGapsAndPage999IsFollowedByPage1000) {
    // Take every free number from PAGE001 to PAGE999 with a bare key.
    ZentripCell* db = nullptr;
    ASSERT_TRUE(Store().OpenDB(&db));
    ZentripCell* root = nullptr;
    ASSERT_EQ(Store().CreateKey(db, L"WEBFORMDATA", &root), 0u);
    std::vector<std::wstring> taken;
    for (int n = 1; n <= 999; ++n) {
        wchar_t name[16];
        std::swprintf(name, 16, L"PAGE%03d", n);
        const std::wstring path = std::wstring(L"WEBFORMDATA\\") + name;
        ZentripCell* key = nullptr;
        if (Store().Zentrip_OpenKey(db, path.c_str(), &key) == 0) {
            Store().CloseKey(db, &key);
            continue;
        }
        ASSERT_EQ(Store().Zentrip_CreateKey(db, path.c_str(), &key), 0u) << n;
        Store().CloseKey(db, &key);
        taken.push_back(name);
    }
    const auto freeTaken = [&] {
        for (const auto& name : taken)
            (void)Store().Zentrip_DeleteKey(db, root, name.c_str());
        Store().CloseKey(db, &root);
        Store().CloseDB(&db);
    };

    CDataWebForm& past = NewPage(L"past999");
    FillEveryKind(past.AddItem(), L"past", true);
    EXPECT_EQ(Store().SetWebPageData(&past, nullptr), 0);
    EXPECT_EQ(past.m_strKey, L"WEBFORMDATA\\PAGE1000");
    auto loaded = Load(past.m_strUrl);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->m_strKey, L"WEBFORMDATA\\PAGE1000");
    ASSERT_EQ(loaded->m_items.size(), 1u);
    EXPECT_EQ(loaded->m_items[0]->m_strName, L"past");

    // A freed number below is taken before any higher one.
    if (!taken.empty()) {
        const std::wstring gap = taken[taken.size() / 2];
        EXPECT_EQ(Store().Zentrip_DeleteKey(db, root, gap.c_str()), 0u);
        taken.erase(taken.begin() + static_cast<long>(taken.size() / 2));
        CDataWebForm& refill = NewPage(L"refill");
        FillEveryKind(refill.AddItem(), L"refill", true);
        EXPECT_EQ(Store().SetWebPageData(&refill, nullptr), 0);
        EXPECT_EQ(refill.m_strKey, L"WEBFORMDATA\\" + gap);
    }
    freeTaken();
}

TEST_F(StorePages, DeleteSaysTrueOnlyWhenThePageIsGoneAndOnlyThenDropsItsUrl) {
    CDataWebForm& page = NewPage(L"delete");
    FillEveryKind(page.AddItem(), L"main", true);
    ASSERT_EQ(Store().SetWebPageData(&page, nullptr), 0);
    const std::wstring url = page.m_strUrl;
    const std::wstring key = page.m_strKey;
    EXPECT_TRUE(Store().DeleteWebPageData(&page));
    EXPECT_EQ(Store().SearchSubKeyFromURL(url), L"");
    {
        ZentripCell* db = nullptr;
        ASSERT_TRUE(Store().OpenDB(&db));
        ZentripCell* gone = nullptr;
        EXPECT_EQ(Store().OpenKey(db, key.c_str(), &gone), 8u);
        Store().CloseDB(&db);
    }
    // Gone already (a stale pair still names it): gone is what was asked for.
    ASSERT_TRUE(Store().SetURLData(CExpData::URL_ADD, url, key));
    EXPECT_TRUE(Store().DeleteWebPageData(&page));
    EXPECT_EQ(Store().SearchSubKeyFromURL(url), L"") << "the stale pair goes with it";

    // A page that the delete cannot take away (it is not where a page's
    // key is deleted from): it stays stored, so the answer is no and the
    // page keeps serving its URL.
    const std::wstring nestedUrl = url + L"/nested";
    const std::wstring nestedKey = L"WEBFORMDATA\\" + ScratchKeyName() + L"\\NESTEDPAGE";
    ZentripCell* db = nullptr;
    ASSERT_TRUE(Store().OpenDB(&db));
    ZentripCell* nested = nullptr;
    ASSERT_EQ(Store().CreateKey(db, nestedKey.c_str(), &nested), 0u);
    Store().SetStringValue(db, nested, L"URL", nestedUrl);
    Store().CloseKey(db, &nested);
    ASSERT_TRUE(Store().SetURLData(CExpData::URL_ADD, nestedUrl, nestedKey));
    auto stored = Load(nestedUrl, 0);
    ASSERT_TRUE(stored);
    EXPECT_FALSE(Store().DeleteWebPageData(stored.get()));
    EXPECT_EQ(Store().SearchSubKeyFromURL(nestedUrl), nestedKey);
    EXPECT_TRUE(Load(nestedUrl, 0));

    (void)Store().SetURLData(CExpData::URL_DELETE, nestedUrl);
    ZentripCell* root = nullptr;
    ASSERT_EQ(Store().OpenKey(db, L"WEBFORMDATA", &root), 0u);
    (void)Store().Zentrip_DeleteKey(db, root, ScratchKeyName().c_str());
    Store().CloseKey(db, &root);
    Store().CloseDB(&db);
}

TEST_F(StorePages, NewestPageOfAUrlIsServedNowAndAfterARenew) {
    // A page left over by a delete that stopped, and the page stored for
    // the same URL after it.
    CDataWebForm& old = NewPage(L"twice");
    old.m_strUpdateDate = L"2026/12/01 08:00:00";
    FillEveryKind(old.AddItem(), L"old", true);
    ASSERT_EQ(Store().SetWebPageData(&old, nullptr), 0);
    CDataWebForm& newer = NewPage(L"twice");
    newer.m_strUpdateDate = L"2026/12/08 21:30:00";
    FillEveryKind(newer.AddItem(), L"new", true);
    ASSERT_EQ(Store().SetWebPageData(&newer, nullptr), 0);
    ASSERT_NE(old.m_strKey, newer.m_strKey);

    EXPECT_EQ(Store().SearchSubKeyFromURL(newer.m_strUrl), newer.m_strKey);
    ASSERT_TRUE(Store().SetURLData(CExpData::URL_RENEW));
    EXPECT_EQ(Store().SearchSubKeyFromURL(newer.m_strUrl), newer.m_strKey);
    auto loaded = Load(newer.m_strUrl);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->m_items[0]->m_strName, L"new");

    // Once the newer page goes, the other one is what is stored for the URL.
    EXPECT_TRUE(Store().DeleteWebPageData(&newer));
    EXPECT_EQ(Store().SearchSubKeyFromURL(old.m_strUrl), old.m_strKey);
}

TEST_F(StorePages, PasswordsNotHadInClearLoadEmptyMarkedAndAreNeverWrittenBack) {
    CDataWebForm& page = NewPage(L"notdecrypted");
    CDataWebItem& item = page.AddItem();
    FillEveryKind(item, L"main", true);
    ASSERT_EQ(Store().SetWebPageData(&page, nullptr), 0);
    const auto password = [](const CDataWebForm& form) -> const CDataWebTextValue& {
        return *form.m_items[0]->m_ctrls[2]->TextValue();
    };

    auto clear = Load(page.m_strUrl, 1);
    ASSERT_TRUE(clear);
    EXPECT_EQ(password(*clear).m_strValue, L"pässwörd");
    EXPECT_EQ(password(*clear).m_nNotDecrypted, 0);
    EXPECT_EQ(clear->m_items[0]->m_ctrls[3]->TextValue()->m_nNotDecrypted, 0)
        << "an empty stored password is had in clear";

    auto undecrypted = Load(page.m_strUrl, 0);
    ASSERT_TRUE(undecrypted);
    EXPECT_EQ(password(*undecrypted).m_strValue, L"") << "no cipher bytes as text";
    EXPECT_EQ(password(*undecrypted).m_nNotDecrypted, 1);

    Store().m_nCryptUsable = 0;
    auto withoutCrypt = Load(page.m_strUrl, 1);
    Store().m_nCryptUsable = 1;
    ASSERT_TRUE(withoutCrypt);
    EXPECT_EQ(password(*withoutCrypt).m_strValue, L"");
    EXPECT_EQ(password(*withoutCrypt).m_nNotDecrypted, 1);

    // Saved again as it came (the user left the password alone): the
    // stored cipher stays.
    CDataWebItem& again = *withoutCrypt->m_items[0];
    again.m_ctrls[0]->TextValue()->m_strValue = L"別の人";
    ASSERT_EQ(Store().SetWebPageData(withoutCrypt.get(), &again), 0);
    auto reloaded = Load(page.m_strUrl, 1);
    ASSERT_TRUE(reloaded);
    EXPECT_EQ(reloaded->m_items[0]->m_ctrls[0]->TextValue()->m_strValue, L"別の人");
    EXPECT_EQ(password(*reloaded).m_strValue, L"pässwörd");

    // A new password typed in is written.
    again.m_ctrls[2]->TextValue()->m_strValue = L"新しい";
    ASSERT_EQ(Store().SetWebPageData(withoutCrypt.get(), &again), 0);
    reloaded = Load(page.m_strUrl, 1);
    ASSERT_TRUE(reloaded);
    EXPECT_EQ(password(*reloaded).m_strValue, L"新しい");
}

TEST_F(StorePages, PasswordWhoseKeyDoesNotOpenForDecryptionIsLeftEmptyAndMarked) {
    CDataWebForm& page = NewPage(L"keygone");
    FillEveryKind(page.AddItem(), L"main", true);
    ASSERT_EQ(Store().SetWebPageData(&page, nullptr), 0);
    auto loaded = Load(page.m_strUrl, 0);
    ASSERT_TRUE(loaded);
    const CDataWebItem& item = *loaded->m_items[0];
    {
        ZentripCell* db = nullptr;
        ASSERT_TRUE(Store().OpenDB(&db));
        ZentripCell* key = nullptr;
        ASSERT_EQ(Store().OpenKey(db, item.m_strKey.c_str(), &key), 0u);
        EXPECT_EQ(Store().Zentrip_DeleteKey(db, key,
                                            CExpData::GetSubKey(item.m_ctrls[2]->m_strKey).c_str()),
                  0u);
        Store().CloseKey(db, &key);
        Store().CloseDB(&db);
    }
    Store().GetWebFormDataEncrypt(loaded.get());
    const CDataWebTextValue& password = *item.m_ctrls[2]->TextValue();
    EXPECT_EQ(password.m_strValue, L"");
    EXPECT_EQ(password.m_nNotDecrypted, 1);
    EXPECT_EQ(item.m_ctrls[3]->TextValue()->m_nNotDecrypted, 0) << "the other one opened";
}

TEST_F(StorePages, ChangedPasswordThatCannotBeEncryptedFailsTheUpdate) {
    CDataWebForm& page = NewPage(L"nocrypt");
    CDataWebItem& item = page.AddItem();
    FillEveryKind(item, L"main", true);
    ASSERT_EQ(Store().SetWebPageData(&page, nullptr), 0);
    item.m_ctrls[2]->TextValue()->m_strValue = L"changed";
    Store().m_nCryptUsable = 0;
    EXPECT_NE(Store().SetWebPageData(&page, &item), 0) << "the new password was not stored";
    Store().m_nCryptUsable = 1;
    auto loaded = Load(page.m_strUrl, 1);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->m_items[0]->m_ctrls[2]->TextValue()->m_strValue, L"pässwörd");

    CDataWebForm& fresh = NewPage(L"nocryptnew");
    FillEveryKind(fresh.AddItem(), L"main", true);
    Store().m_nCryptUsable = 0;
    EXPECT_NE(Store().SetWebPageData(&fresh, nullptr), 0) << "a new page without its password";
    Store().m_nCryptUsable = 1;
}
