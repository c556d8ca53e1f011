// The value layer, options and URL list over the real relay. The tests work
// in keys named after this process and put back the option key as they
// found it, since the database is the prefix user's own.
#include "StoreTestSupport.h"

#include "RelayRecords.h"
#include "RelayState.h"

#include "WebBrowser.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

namespace {

constexpr const wchar_t* kOptionKey = L"WEBFORMDATA\\OPTION";
const wchar_t* const kOptionNames[] = {L"STOPFUNC", L"STOPAUTOINPUT", L"SETAUTO", L"CHECKSET",
                                       L"ONLYPWD",  L"NOMULTITEXT",   L"HIDEPWD"};

class StoreValues : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        UseRelayBesideTestProgram();
        s_store = std::make_unique<CExpData>();
    }
    static void TearDownTestSuite() { s_store.reset(); }

    void SetUp() override {
        ASSERT_TRUE(Store().OpenDB(&m_db));
        m_scratch = L"WEBFORMDATA\\" + ScratchKeyName();
        ASSERT_EQ(Store().CreateKey(m_db, m_scratch.c_str(), &m_key), 0u);
        SaveOptions();
    }
    void TearDown() override {
        Store().CloseKey(m_db, &m_key);
        DeleteUnderRoot(ScratchKeyName());
        RestoreOptions();
        Store().CloseDB(&m_db);
        Store().m_nCryptUsable = 1;
    }

    void DeleteUnderRoot(const std::wstring& name) {
        ZentripCell* root = nullptr;
        if (Store().OpenKey(m_db, L"WEBFORMDATA", &root) != 0) return;
        (void)Store().Zentrip_DeleteKey(m_db, root, name.c_str());
        Store().CloseKey(m_db, &root);
    }
    void SaveOptions() {
        ZentripCell* key = nullptr;
        m_hadOptionKey = Store().OpenKey(m_db, kOptionKey, &key) == 0;
        for (const wchar_t* name : kOptionNames) {
            std::optional<std::int32_t> value;
            if (m_hadOptionKey) {
                const std::int32_t stored = Store().GetDwordValue(m_db, key, name);
                if (stored != -1) value = stored;
            }
            m_savedOptions.push_back(value);
        }
        Store().CloseKey(m_db, &key);
    }
    void RestoreOptions() {
        if (!m_hadOptionKey) {
            DeleteUnderRoot(L"OPTION");
            return;
        }
        ZentripCell* key = nullptr;
        if (Store().CreateKey(m_db, kOptionKey, &key) != 0) return;
        for (size_t i = 0; i < m_savedOptions.size(); ++i) {
            if (m_savedOptions[i]) {
                (void)Store().CreateValue(m_db, key, kOptionNames[i], DWORD(*m_savedOptions[i]));
            } else {
                (void)Store().Zentrip_DeleteValue(m_db, key, kOptionNames[i]);
            }
        }
        Store().CloseKey(m_db, &key);
    }

    static CExpData& Store() { return *s_store; }
    static std::unique_ptr<CExpData> s_store;
    ZentripCell* m_db = nullptr;
    ZentripCell* m_key = nullptr;
    std::wstring m_scratch;
    bool m_hadOptionKey = false;
    std::vector<std::optional<std::int32_t>> m_savedOptions;
};

std::unique_ptr<CExpData> StoreValues::s_store;

} // namespace

TEST_F(StoreValues, TextAndDwordValuesRoundTrip) {
    Store().SetStringValue(m_db, m_key, L"TITLE", L"ログイン画面");
    EXPECT_EQ(Store().GetStringValue(m_db, m_key, L"TITLE"), L"ログイン画面");
    Store().SetStringValue(m_db, m_key, L"EMPTY", L"");
    EXPECT_EQ(Store().GetStringValue(m_db, m_key, L"EMPTY"), L"");
    EXPECT_EQ(Store().GetStringValue(m_db, m_key, L"MISSING"), L"");

    Store().SetDwordValue(m_db, m_key, L"INDEX", 0xFFFFFFFEu);
    EXPECT_EQ(Store().GetDwordValue(m_db, m_key, L"INDEX"), -2);
    EXPECT_EQ(Store().GetDwordValue(m_db, m_key, L"MISSING"), -1);
}

TEST_F(StoreValues, ShortDwordReadsNoFurtherThanWhatWasStored) {
    const BYTE two[] = {0x34, 0x12};
    ASSERT_EQ(Store().Zentrip_SetValue(m_db, m_key, L"SHORT", 0, two, sizeof two), 0u);
    EXPECT_EQ(Store().GetDwordValue(m_db, m_key, L"SHORT"), 0x1234);
}

TEST_F(StoreValues, AShortValueIsReadInOneExchangeAndALongOneWhole) {
    Store().SetStringValue(m_db, m_key, L"NAME", L"仕事用");
    Store().SetDwordValue(m_db, m_key, L"INDEX", 7);
    std::wstring longText;
    for (int i = 0; i < 300; ++i)
        longText += static_cast<wchar_t>(L'a' + i % 26);
    longText += L"終";
    Store().SetStringValue(m_db, m_key, L"LONG", longText);
    auto& relay = RelayState::Instance();

    relay.ResetCounts();
    EXPECT_EQ(Store().GetStringValue(m_db, m_key, L"NAME"), L"仕事用");
    EXPECT_EQ(Store().GetDwordValue(m_db, m_key, L"INDEX"), 7);
    EXPECT_EQ(Store().GetStringValue(m_db, m_key, L"MISSING"), L"");
    EXPECT_EQ(relay.Counts()[TYPE_TVRDB_QUERYVALUE], 3u) << "one exchange per value";

    relay.ResetCounts();
    EXPECT_EQ(Store().GetStringValue(m_db, m_key, L"LONG"), longText);
    EXPECT_EQ(relay.Counts()[TYPE_TVRDB_QUERYVALUE], 2u) << "told its size, then read whole";
}

TEST_F(StoreValues, MissingKeyIsReportedAfterOneTry) {
    ZentripCell* key = nullptr;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Store().OpenKey(m_db, (m_scratch + L"\\NONE").c_str(), &key), 8u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(Store().OpenKey(nullptr, m_scratch.c_str(), &key), 8u);
    EXPECT_EQ(Store().CreateKey(nullptr, m_scratch.c_str(), &key), kZentripFailure);
}

TEST_F(StoreValues, PasswordIsStoredAsCipherAndReadBackInClear) {
    const std::wstring password = L"s3cret-秘密";
    ASSERT_EQ(Store().SetStringValue_Encord(m_db, m_key, L"VALUE", password), 0u);
    DWORD type = 9;
    std::vector<BYTE> stored(1024);
    DWORD size = DWORD(stored.size());
    ASSERT_EQ(Store().Zentrip_QueryValue(m_db, m_key, L"VALUE", &type, stored.data(), &size), 0u);
    EXPECT_EQ(type, 0u) << "cipher bytes are raw";
    stored.resize(size);
    const std::wstring asText(reinterpret_cast<const wchar_t*>(stored.data()), size / 2);
    EXPECT_EQ(asText.find(password), std::wstring::npos) << "never in clear";

    EXPECT_EQ(Store().GetStringValue_Decord(m_db, &m_key, L"VALUE"), password);
    EXPECT_EQ(m_key, nullptr) << "the decrypting read closes the key";
    EXPECT_EQ(Store().m_nCryptUsable, 1);
}

TEST_F(StoreValues, EmptyPasswordIsStoredPlainAndKeepsEncryptionOn) {
    ASSERT_EQ(Store().SetStringValue_Encord(m_db, m_key, L"VALUE", L""), 0u);
    DWORD type = 9;
    DWORD size = 5;
    ASSERT_EQ(Store().Zentrip_QueryValue(m_db, m_key, L"VALUE", &type, nullptr, &size), 0u);
    EXPECT_EQ(type, 2u);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(Store().m_nCryptUsable, 1);
}

TEST_F(StoreValues, WithoutCryptPasswordsReadEmptyAndWritesAreSkipped) {
    ASSERT_EQ(Store().SetStringValue_Encord(m_db, m_key, L"VALUE", L"pw"), 0u);
    Store().m_nCryptUsable = 0;
    EXPECT_EQ(Store().GetStringValue_Decord(m_db, &m_key, L"VALUE"), L"");
    EXPECT_NE(m_key, nullptr) << "no decryption, so the key stays open";
    EXPECT_EQ(Store().SetStringValue_Encord(m_db, m_key, L"OTHER", L"pw"), 0u);
    DWORD type = 0;
    DWORD size = 0;
    EXPECT_NE(Store().Zentrip_QueryValue(m_db, m_key, L"OTHER", &type, nullptr, &size), 0u);
}

TEST_F(StoreValues, MissingOptionKeyGivesTheDefaults) {
    DeleteUnderRoot(L"OPTION");
    Store().m_option = CDataOption();
    Store().m_option.m_nSetAuto = 0;
    Store().m_option.m_nStopFunc = 1;
    ASSERT_TRUE(Store().GetOptionData());
    const CDataOption& o = Store().m_option;
    EXPECT_EQ(o.m_nStopFunc, 0);
    EXPECT_EQ(o.m_nStopAutoInput, 0);
    EXPECT_EQ(o.m_nSetAuto, 1);
    EXPECT_EQ(o.m_nCheckSet, 1);
    EXPECT_EQ(o.m_nOnlyPwd, 0);
    EXPECT_EQ(o.m_nNoMultiText, 0);
    EXPECT_EQ(o.m_nHidePwd, 1);
}

TEST_F(StoreValues, OptionsSaveThenLoadAndSingleMissingValuesTakeDefaults) {
    DeleteUnderRoot(L"OPTION");
    CDataOption& o = Store().m_option;
    o.m_nStopFunc = 1;
    o.m_nStopAutoInput = 1;
    o.m_nSetAuto = 0;
    o.m_nCheckSet = 0;
    o.m_nOnlyPwd = 1;
    o.m_nNoMultiText = 1;
    o.m_nHidePwd = 0;
    Store().SetOptionData();
    o = CDataOption();
    ASSERT_TRUE(Store().GetOptionData());
    EXPECT_EQ(o.m_nStopFunc + o.m_nStopAutoInput + o.m_nOnlyPwd + o.m_nNoMultiText, 4);
    EXPECT_EQ(o.m_nSetAuto + o.m_nCheckSet + o.m_nHidePwd, 0);

    ZentripCell* key = nullptr;
    ASSERT_EQ(Store().OpenKey(m_db, kOptionKey, &key), 0u);
    ASSERT_EQ(Store().Zentrip_DeleteValue(m_db, key, L"SETAUTO"), 0u);
    ASSERT_EQ(Store().Zentrip_DeleteValue(m_db, key, L"STOPFUNC"), 0u);
    Store().CloseKey(m_db, &key);
    ASSERT_TRUE(Store().GetOptionData());
    EXPECT_EQ(o.m_nSetAuto, 1);
    EXPECT_EQ(o.m_nStopFunc, 0);
    EXPECT_EQ(o.m_nCheckSet, 0) << "stored values are kept";
}

TEST_F(StoreValues, UrlListRenewsAddsDeletesAndLooksUpByExactUrl) {
    const std::wstring url = L"https://example.jp/" + ScratchKeyName();
    Store().SetStringValue(m_db, m_key, L"URL", url);
    ASSERT_TRUE(Store().SetURLData(CExpData::URL_RENEW));
    EXPECT_EQ(Store().SearchSubKeyFromURL(url), m_scratch);
    std::wstring upper = url;
    upper[0] = L'H';
    EXPECT_EQ(Store().SearchSubKeyFromURL(upper), L"") << "case counts";

    ASSERT_TRUE(Store().SetURLData(CExpData::URL_ADD, upper, L"WEBFORMDATA\\X"));
    EXPECT_EQ(Store().SearchSubKeyFromURL(upper), L"WEBFORMDATA\\X");
    EXPECT_FALSE(Store().SetURLData(CExpData::URL_ADD, L"", L"WEBFORMDATA\\X"));
    ASSERT_TRUE(Store().SetURLData(CExpData::URL_DELETE, upper));
    EXPECT_FALSE(Store().SetURLData(CExpData::URL_DELETE, upper));
    EXPECT_EQ(Store().SearchSubKeyFromURL(upper), L"");

    ASSERT_TRUE(Store().SetURLData(CExpData::URL_DELETEALL));
    EXPECT_EQ(Store().SearchSubKeyFromURL(url), L"");
}

TEST(StoreNames, SubKeyIsTheLastPathComponent) {
    EXPECT_EQ(CExpData::GetSubKey(L"WEBFORMDATA\\PAGE001\\ITEM002"), L"ITEM002");
    EXPECT_EQ(CExpData::GetSubKey(L"PAGE001"), L"PAGE001");
    EXPECT_EQ(CExpData::GetSubKey(L"PAGE001\\"), L"");
}

TEST_F(StoreValues, BrowserWithoutAWindowLeavesTheBrowserEnabledFlagSet) {
    // A browser that cannot name its window (an embedded control without a
    // frame): there is nothing to disable, and the flag that the band
    // object reads must not stay at 0 after the crypto call.
    auto browser = torva::browser::WebBrowser::Create();
    ASSERT_TRUE(browser);
    Store().m_pBrowser = static_cast<IWebBrowser2*>(browser.get());
    const std::wstring password = L"窓なし";
    EXPECT_EQ(Store().SetStringValue_Encord(m_db, m_key, L"VALUE", password), 0u);
    EXPECT_EQ(Store().m_nBrowserEnabled, 1) << "after encrypting";
    EXPECT_EQ(Store().GetStringValue_Decord(m_db, &m_key, L"VALUE"), password);
    EXPECT_EQ(Store().m_nBrowserEnabled, 1) << "after decrypting";
    Store().m_pBrowser = nullptr;
    Store().m_nBrowserEnabled = 1;
    browser->Shutdown();
}
