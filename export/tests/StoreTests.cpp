#include "AccountSid.h"
#include "CExportStore.h"
#include "ExportFixture.h"
#include "ResourceStrings.h"

#include "StoreFixture.h"
#include "TestDatabase.h"

#include <gtest/gtest.h>

#include <cstring>

namespace fx = export_fixture;

namespace {

DWORD TVRDB_CALL NoDatabase(TVRDB_HDB* db) {
    *db = nullptr;
    return 2;
}
DWORD TVRDB_CALL NoNamedDatabase(TVRDB_HDB* db, DWORD, LPCWSTR) {
    *db = nullptr;
    return 2;
}
const DbApi& NoDatabaseApi() {
    static const DbApi api = [] {
        DbApi calls = {};
        calls.OpenDB = &NoDatabase;
        calls.OpenDBEx = &NoNamedDatabase;
        return calls;
    }();
    return api;
}

// Built with the program's static objects, as the application object
// builds its store before the program's start-up loads the string cache.
CExportStore g_builtAtStart(NoDatabaseApi());

// The start-up's first step, before any test runs: what it loaded.
int g_loadedAtStart = -1;
class StartUp : public ::testing::Environment {
public:
    void SetUp() override { g_loadedAtStart = LoadResourceStrings(::GetModuleHandleW(nullptr)); }
};
const auto* const g_startUp = ::testing::AddGlobalTestEnvironment(new StartUp);

} // namespace

TEST(ExportStoreStart, TheStringCacheIsLoadedByTheStartNotByBuildingTheStore) {
    EXPECT_GT(g_loadedAtStart, 0) << "the cache was loaded while the static objects were built";
    EXPECT_EQ(g_builtAtStart.Load(), 0);
    EXPECT_EQ(g_builtAtStart.Rule().ruleOptionText, L"なし");
    EXPECT_EQ(g_builtAtStart.Touch().displayText, L"タッチ認証を利用する");
}

CExportStore& FixtureStore() {
    static CExportStore* store = [] {
        EXPECT_EQ(fx::Fill(fx::Options{}), 0u);
        auto* s = new CExportStore();
        EXPECT_EQ(s->Load(), 1);
        return s;
    }();
    return *store;
}

namespace {

// The fixture's pages and settings go when the program ends: the other
// programs that share the user's database count on finding only their own.
class FixtureCleanup : public ::testing::Environment {
public:
    void TearDown() override { EXPECT_EQ(fx::Clear(), 0u); }
};
const auto* const g_cleanup = ::testing::AddGlobalTestEnvironment(new FixtureCleanup);

const WebPageNode& PageOf(const std::wstring& url) {
    for (const auto& page : FixtureStore().Pages()) {
        if (page->URL == url) return *page;
    }
    ADD_FAILURE() << "no page";
    static WebPageNode none;
    return none;
}

const WebControlNode& ControlOf(const WebItemNode& item, const std::wstring& name) {
    for (const auto& control : item.controls) {
        if (control->NAME == name) return *control;
    }
    ADD_FAILURE() << "no control";
    static WebControlNode none;
    return none;
}

} // namespace

TEST(ExportStore, EveryGroupIsLoaded) {
    const CExportStore& store = FixtureStore();
    EXPECT_EQ(store.Options().present, 1);
    EXPECT_EQ(store.Options().HIDEPWD, 1);
    EXPECT_EQ(store.Options().SETAUTO, 1);
    for (int i = 0; i < kPolicyCount; ++i) {
        EXPECT_EQ(store.PolicyValue(i), i == fx::kUndecryptablePolicy ? -1 : fx::kPolicyValues[i])
            << kPolicyValueNames[i];
    }
    EXPECT_EQ(store.Rule().present, 1);
    EXPECT_EQ(store.Rule().bytes, (std::vector<BYTE>{1, 0, 0, 0}));
    EXPECT_EQ(store.Rule().logonMode, fx::kLogonMode);
    EXPECT_EQ(store.Rule().ruleOptionText, fx::kRuleOptionValueName);

    const TouchAuthRecord& touch = store.Touch();
    EXPECT_EQ(touch.present, 1);
    EXPECT_EQ(touch.displayText, fx::kTouchText);
    EXPECT_EQ(touch.authType, 1);
    EXPECT_EQ(touch.bitmapType, 256);
    EXPECT_EQ(touch.maskColor, 0x00FF00);
    ASSERT_EQ(touch.passCode.size(), 24u);
    EXPECT_EQ(touch.passCode[23], 0x10 + 23);
    EXPECT_EQ(touch.bitmapLength, fx::kBitmapBytes);
    ASSERT_EQ(touch.bitmap.size(), static_cast<size_t>(fx::kBitmapBytes));

    const AuthInfoNode* fingerprint = store.FindAuthInfo(kAuthFingerprint);
    ASSERT_NE(fingerprint, nullptr);
    ASSERT_EQ(fingerprint->slots.size(), 10u);
    EXPECT_EQ(fingerprint->slots[0].slot, 1);
    EXPECT_EQ(fingerprint->slots[1].slot, -1);
    EXPECT_EQ(fingerprint->slots[2].length, 3);
    const AuthInfoNode* felica = store.FindAuthInfo(kAuthFelica);
    ASSERT_NE(felica, nullptr);
    ASSERT_EQ(felica->slots.size(), 5u);
    EXPECT_EQ(felica->slots[0].deviceName, fx::kFelicaDeviceName);
    EXPECT_EQ(felica->slots[0].deviceInfo, fx::kFelicaDeviceInfo);
    const AuthInfoNode* usb = store.FindAuthInfo(kAuthUsb);
    ASSERT_NE(usb, nullptr);
    EXPECT_EQ(usb->slots[1].deviceName, fx::kDeviceTexts[1].name);
    EXPECT_EQ(store.HasAuthInfo(kAuthSd), 1);
    EXPECT_EQ(store.FindAuthInfo(kAuthSd)->slots[0].deviceInfo, L"容量 32GB");

    EXPECT_EQ(store.Pages().size(), static_cast<size_t>(fx::kEdgePageCount));
    EXPECT_GE(store.Applications().size(), 2u);
    EXPECT_EQ(store.KeepData().IsCheckedOption(KEEP_OPT_STOPAUTOINPUT), 1);
}

TEST(ExportStore, PinCacheTimeAsHoursAndMinutes) {
    EXPECT_EQ(FixtureStore().GetPinCacheText(), L"1時間30分 TPM PINをキャッシュする");
    CExportStore empty;
    EXPECT_EQ(empty.GetPinCacheText(), L"未登録");
    EXPECT_EQ(empty.PolicyValue(0), -1);
    EXPECT_EQ(empty.Options().present, 0);
    EXPECT_EQ(empty.DecryptEnabled(), 1);
}

TEST(ExportStore, TheTpmItemIsHeldBackOnlyByAPinCacheWithoutSetting) {
    EXPECT_TRUE(TpmItemCheckable(nullptr)) << "no PIN cache node at all";
    AuthInfoNode node;
    node.deviceKind = kAuthPinCache;
    node.present = 1;
    node.pinCacheTime = 5400000;
    EXPECT_TRUE(TpmItemCheckable(&node));
    node.pinCacheTime = 0;
    EXPECT_TRUE(TpmItemCheckable(&node));
    node.pinCacheTime = -1;
    EXPECT_FALSE(TpmItemCheckable(&node)) << "cached for good";
    node.present = 0;
    node.pinCacheTime = 0;
    EXPECT_FALSE(TpmItemCheckable(&node)) << "a node without a value";
}

TEST(ExportStore, TheOptionKeyIsNoPage) {
    for (const auto& page : FixtureStore().Pages()) {
        EXPECT_NE(page->key.find(L"PAGE"), std::wstring::npos) << page->key;
        EXPECT_FALSE(page->URL.empty());
    }
}

TEST(ExportStore, TextsAreHeldEscaped) {
    const WebPageNode& page = PageOf(fx::kRichPageUrl);
    EXPECT_EQ(page.TITLE, L"会員ログイン \\\"Members\\\"");
    EXPECT_EQ(page.UPDATEDATE, L"2026/12/01 09:30:00");
    ASSERT_EQ(page.items.size(), 2u);
    const WebItemNode& item = *page.items[0];
    EXPECT_EQ(item.NAME, fx::kRichItemName);
    EXPECT_EQ(item.FORMNAME, L"loginForm");
    EXPECT_EQ(item.AUTOINPUT, 1);
    EXPECT_EQ(item.INDEX, 0);
    EXPECT_EQ(ControlOf(item, L"userid").VALUE, L"taro\\\"yamada");
    EXPECT_EQ(ControlOf(item, L"userid").DATALEN, 32);
    EXPECT_EQ(ControlOf(item, L"memo").TEXT, L"一行目\\\\n二行目\\\\n三行目");
}

TEST(ExportStore, StoredPasswordsAreDecryptedAsStored) {
    const WebItemNode& item = *PageOf(fx::kRichPageUrl).items[0];
    const WebControlNode& password = ControlOf(item, L"password");
    EXPECT_EQ(password.kind, D_WEB_CTRL_PSWD);
    // Held in clear as stored, quote, line breaks and all: the file's escape
    // is not the password's.
    EXPECT_EQ(password.VALUE, fx::kRichPassword);
    EXPECT_EQ(password.DATALEN, -1);
}

TEST(ExportStore, OnePasswordThatCannotBeOpenedAffectsOnlyItself) {
    const WebItemNode& item = *PageOf(fx::kRichPageUrl).items[1];
    EXPECT_EQ(ControlOf(item, L"empty").VALUE, L"");
    EXPECT_EQ(ControlOf(item, L"broken").VALUE, L"");
    EXPECT_EQ(ControlOf(item, L"after").VALUE, fx::kAfterPassword);
    EXPECT_EQ(ControlOf(item, L"missing").VALUE, L"");
    // Only the one that could not be opened is told as unread.
    EXPECT_TRUE(ControlOf(item, L"broken").unread);
    EXPECT_FALSE(ControlOf(item, L"empty").unread);
    EXPECT_FALSE(ControlOf(item, L"after").unread);
    EXPECT_FALSE(ControlOf(item, L"missing").unread);
    EXPECT_EQ(FixtureStore().DecryptEnabled(), 1);
}

TEST(ExportStore, ControlsWithoutValueRecordAndChoicesWithoutKey) {
    const WebItemNode& item = *PageOf(fx::kRichPageUrl).items[0];
    EXPECT_EQ(ControlOf(item, L"upload").record, WebValueRecord::None);
    EXPECT_EQ(ControlOf(item, L"future").record, WebValueRecord::None);
    EXPECT_EQ(ControlOf(item, L"typeless").kind, -1);
    EXPECT_EQ(ControlOf(item, L"typeless").record, WebValueRecord::None);
    const WebControlNode& noElements = ControlOf(item, L"noelements");
    EXPECT_EQ(noElements.record, WebValueRecord::Choices);
    EXPECT_TRUE(noElements.elements.empty());
    const WebControlNode& select = ControlOf(item, L"lang");
    ASSERT_EQ(select.elements.size(), 2u);
    EXPECT_EQ(select.elements[0].TEXT, L"日本語");
    EXPECT_EQ(select.elements[0].SELECT, 1);
    EXPECT_EQ(select.elements[1].VALUE, L"en");
    EXPECT_EQ(ControlOf(item, L"go").SELECT, 1);
}

TEST(ExportStore, UnnamedFormsKeepTheirEmptyNames) {
    const WebPageNode& page = PageOf(fx::kUnnamedPageUrl);
    ASSERT_EQ(page.items.size(), 3u);
    EXPECT_EQ(page.items[0]->NAME, L"");
    EXPECT_EQ(page.items[2]->FORMNAME, L"search");
}

TEST(ExportStore, ApplicationPasswordsAreRead) {
    const CDataApl* app = nullptr;
    for (const auto& a : FixtureStore().Applications()) {
        if (a->APLNAME == fx::kApplicationName) app = a.get();
    }
    ASSERT_NE(app, nullptr);
    ASSERT_EQ(app->captions.size(), 1u);
    EXPECT_EQ(app->captions[0]->CAPTION, fx::kApplicationCaption);
    const CDataItem& item = *app->captions[0]->items[0];
    ASSERT_EQ(item.controls.size(), 4u);
    EXPECT_EQ(item.controls[1]->CAPTION, fx::kApplicationPassword);
    EXPECT_EQ(item.CLICKPOS, (100 << 16) | 50);
}

TEST(ExportStore, FindsItemsByTheirTreeHandle) {
    CExportStore& store = FixtureStore();
    int marker = 0;
    store.Pages()[0]->items[1]->treeItem = &marker;
    std::wstring title, url, date;
    const WebItemNode* found = store.FindWebItemByTreeItem(&marker, &title, &url, &date);
    ASSERT_EQ(found, store.Pages()[0]->items[1].get());
    EXPECT_EQ(url, store.Pages()[0]->URL);
    EXPECT_EQ(store.FindWebItemByTreeItem(&title, nullptr, nullptr, nullptr), nullptr);
    store.Pages()[0]->items[1]->treeItem = nullptr;
}

TEST(ExportStore, RetriesStopWhenTheKeyIsNotThere) {
    FixtureStore();
    int webFormOpens = 0;
    FaultyDb::Reset();
    FaultyDb::failOpen = [&webFormOpens](const std::wstring& path) -> DWORD {
        if (path != torva::webform::kRootKey) return 0;
        ++webFormOpens;
        return 8;
    };
    {
        CExportStore store(FaultyDb::Api());
        EXPECT_EQ(store.Load(), 1);
        EXPECT_TRUE(store.Pages().empty());
    }
    EXPECT_EQ(webFormOpens, 1);
    webFormOpens = 0;
    FaultyDb::failOpen = [&webFormOpens](const std::wstring& path) -> DWORD {
        if (path != torva::webform::kRootKey) return 0;
        ++webFormOpens;
        return 24; // busy: worth another try
    };
    {
        CExportStore store(FaultyDb::Api());
        EXPECT_EQ(store.Load(), 1);
    }
    EXPECT_EQ(webFormOpens, 5);
    FaultyDb::Reset();
}

namespace {

const std::vector<BYTE> kQuotedCipher = {0x22, 0x00, 0x0D, 0x00, 0x0A, 0x00, 0x41, 0x00,
                                         0x0A, 0x00, 0x5C, 0x00, 0x22, 0x00, 0x07};

// Opens only kQuotedCipher, byte for byte, to "clear".
DWORD TVRCT_CALL ExactDecrypt(const BYTE* input, DWORD length, BYTE* output, DWORD capacity,
                              DWORD* outputLength) {
    const std::wstring clear = L"clear";
    if (std::vector<BYTE>(input, input + length) != kQuotedCipher || capacity < clear.size() * 2) {
        return TVRCT_E_AUTH_FAILED;
    }
    std::memcpy(output, clear.data(), clear.size() * 2);
    *outputLength = static_cast<DWORD>(clear.size() * 2);
    return TVRCT_OK;
}

int g_emptyPassDecrypts = 0;
DWORD TVRCT_CALL CountingPassDecrypt(LPCWSTR passphrase, DWORD passphraseLength, const BYTE* input,
                                     DWORD inputLength, BYTE* output, DWORD capacity,
                                     DWORD* outputLength) {
    if (inputLength == 0) ++g_emptyPassDecrypts;
    return TvrCT_PassDecrypt(passphrase, passphraseLength, input, inputLength, output, capacity,
                             outputLength);
}

} // namespace

TEST(ExportStore, PasswordBytesAreDecryptedAsStoredNotEscaped) {
    FixtureStore();
    TestDatabase db;
    const std::wstring control = L"WEBFORMDATA\\PAGE900\\ITEM001\\CTRL001";
    db.SetText(L"WEBFORMDATA\\PAGE900", L"URL", L"https://quoted.example.jp/");
    db.SetText(L"WEBFORMDATA\\PAGE900\\ITEM001", L"NAME", L"q");
    db.SetDword(control, L"TYPE", D_WEB_CTRL_PSWD);
    db.SetText(control, L"NAME", L"pw");
    db.SetRaw(control, L"VALUE", TVRDB_TYPE_BINARY, kQuotedCipher);
    CryptApi exact = LibraryCryptApi();
    exact.Decrypt = &ExactDecrypt;
    std::wstring value = L"unread";
    {
        CExportStore store(LibraryDbApi(), exact);
        ASSERT_EQ(store.Load(), 1);
        for (const auto& page : store.Pages()) {
            if (page->URL == L"https://quoted.example.jp/") {
                value = page->items[0]->controls[0]->VALUE;
            }
        }
    }
    db.DeleteKey(L"WEBFORMDATA\\PAGE900");
    EXPECT_EQ(value, L"clear");
}

TEST(ExportStore, AMissingTouchValueIsNotDecrypted) {
    FixtureStore();
    const std::wstring database = account_sid::CurrentUserSidText() + L"-TouchAuth";
    {
        TVRDB_HDB db = nullptr;
        ASSERT_EQ(TvrDB_OpenDBEx(&db, 0, database.c_str()), 0u);
        TVRDB_HKEY key = nullptr;
        ASSERT_EQ(TvrDB_OpenKey(db, L"TOUCHAUTHINFO", &key), 0u);
        EXPECT_EQ(TvrDB_DeleteValue(db, key, L"MaskColor"), 0u);
        TvrDB_CloseKey(db, key);
        TvrDB_CloseDB(db);
    }
    CryptApi counting = LibraryCryptApi();
    counting.PassDecrypt = &CountingPassDecrypt;
    g_emptyPassDecrypts = 0;
    {
        CExportStore store(LibraryDbApi(), counting);
        ASSERT_EQ(store.Load(), 1);
        EXPECT_EQ(store.Touch().present, 1);
        EXPECT_EQ(store.Touch().maskColor, 0);
        EXPECT_EQ(store.Touch().authType, 1);
        EXPECT_EQ(store.Touch().bitmapLength, fx::kBitmapBytes);
    }
    EXPECT_EQ(g_emptyPassDecrypts, 0);
    EXPECT_EQ(fx::Fill(fx::Options{}), 0u); // the record as the other tests know it
}
