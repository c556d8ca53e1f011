// Every relay-backed database and crypto call against the real relay and
// its stand-in libraries, in a scratch key of this test program.
#include "AutoAnswer.h"
#include "StoreTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr DWORD kStringType = 2; // UTF-16 without terminator

class StoreCalls : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        UseRelayBesideTestProgram();
        s_store = std::make_unique<CExpData>();
    }
    static void TearDownTestSuite() { s_store.reset(); }

    void SetUp() override {
        ASSERT_EQ(Store().Zentrip_OpenDB(&m_db), 0u);
        ASSERT_NE(m_db, nullptr);
        ASSERT_EQ(Store().Zentrip_OpenKey(m_db, L"", &m_root), 0u);
    }
    void TearDown() override {
        if (m_root) {
            (void)Store().Zentrip_DeleteKey(m_db, m_root, ScratchKeyName().c_str());
            EXPECT_EQ(Store().Zentrip_CloseKey(m_db, &m_root), 0u);
        }
        if (m_db) {
            EXPECT_EQ(Store().Zentrip_CloseDB(&m_db), 0u);
        }
    }

    static CExpData& Store() { return *s_store; }

    static std::unique_ptr<CExpData> s_store;
    ZentripCell* m_db = nullptr;
    ZentripCell* m_root = nullptr;
};

std::unique_ptr<CExpData> StoreCalls::s_store;

} // namespace

TEST_F(StoreCalls, ValuesRoundTripAndQueryWithoutBufferGivesOnlyTheSize) {
    const std::wstring path = ScratchKeyName() + L"\\PAGE001";
    ZentripCell* key = nullptr;
    ASSERT_EQ(Store().Zentrip_CreateKey(m_db, path.c_str(), &key), 0u);
    ASSERT_NE(key, nullptr);

    const std::wstring text = L"https://例え.jp/login";
    const DWORD bytes = DWORD(text.size() * sizeof(wchar_t));
    ASSERT_EQ(Store().Zentrip_SetValue(m_db, key, L"URL", kStringType,
                                       reinterpret_cast<const BYTE*>(text.data()), bytes),
              0u);
    DWORD type = 0;
    DWORD size = 0;
    ASSERT_EQ(Store().Zentrip_QueryValue(m_db, key, L"URL", &type, nullptr, &size), 0u);
    EXPECT_EQ(type, kStringType);
    EXPECT_EQ(size, bytes);

    wchar_t back[64] = {};
    size = sizeof back;
    ASSERT_EQ(
        Store().Zentrip_QueryValue(m_db, key, L"URL", &type, reinterpret_cast<BYTE*>(back), &size),
        0u);
    EXPECT_EQ(size, bytes);
    EXPECT_EQ(std::wstring(back), text);

    ASSERT_EQ(Store().Zentrip_DeleteValue(m_db, key, L"URL"), 0u);
    size = 0;
    EXPECT_NE(Store().Zentrip_QueryValue(m_db, key, L"URL", &type, nullptr, &size), 0u);
    EXPECT_EQ(Store().Zentrip_CloseKey(m_db, &key), 0u);
    EXPECT_EQ(key, nullptr) << "the caller's pointer is nulled";
}

TEST_F(StoreCalls, EnumerationNamesSubKeysByPathAndCutsToTheBuffer) {
    const std::wstring parentPath = ScratchKeyName();
    ZentripCell* parent = nullptr;
    ASSERT_EQ(Store().Zentrip_CreateKey(m_db, parentPath.c_str(), &parent), 0u);
    ZentripCell* child = nullptr;
    ASSERT_EQ(Store().Zentrip_CreateKey(m_db, (parentPath + L"\\ITEM001").c_str(), &child), 0u);
    EXPECT_EQ(Store().Zentrip_CloseKey(m_db, &child), 0u);

    wchar_t name[64] = {};
    DWORD length = 0;
    ASSERT_EQ(Store().Zentrip_EnumKey(m_db, parent, 0, name, 64, &length), 0u);
    const std::wstring childPath = parentPath + L"\\ITEM001";
    EXPECT_EQ(std::wstring(name), childPath);
    EXPECT_EQ(length, childPath.size());

    wchar_t small[4] = {L'x', L'x', L'x', L'x'};
    ASSERT_EQ(Store().Zentrip_EnumKey(m_db, parent, 0, small, 4, &length), 0u);
    EXPECT_STREQ(small, L"STO");
    EXPECT_NE(Store().Zentrip_EnumKey(m_db, parent, 1, name, 64, &length), 0u)
        << "past the last sub key";

    EXPECT_EQ(Store().Zentrip_DeleteKey(m_db, parent, L"ITEM001"), 0u);
    EXPECT_NE(Store().Zentrip_EnumKey(m_db, parent, 0, name, 64, &length), 0u);
    EXPECT_EQ(Store().Zentrip_CloseKey(m_db, &parent), 0u);
}

TEST_F(StoreCalls, ClosingAnUnknownHandleStillFreesTheCell) {
    auto* bogus = static_cast<ZentripCell*>(::CoTaskMemAlloc(sizeof(ZentripCell)));
    ASSERT_NE(bogus, nullptr);
    *bogus = 0x1234;
    (void)Store().Zentrip_CloseKey(m_db, &bogus);
    EXPECT_EQ(bogus, nullptr);
    // A second close of the same pointer is refused without touching freed memory.
    EXPECT_EQ(Store().Zentrip_CloseKey(m_db, &bogus), kZentripFailure);
}

TEST_F(StoreCalls, MissingArgumentsAreRefusedWithoutAnExchange) {
    ZentripCell* key = nullptr;
    EXPECT_EQ(Store().Zentrip_OpenKey(nullptr, L"X", &key), kZentripFailure);
    EXPECT_EQ(Store().Zentrip_OpenKey(m_db, nullptr, &key), kZentripFailure);
    EXPECT_EQ(Store().Zentrip_OpenDB(nullptr), kZentripFailure);
    DWORD type = 0;
    EXPECT_EQ(Store().Zentrip_QueryValue(m_db, m_root, L"v", &type, nullptr, nullptr),
              kZentripFailure);
    const BYTE input[] = {1, 2, 3};
    BYTE output[64];
    DWORD produced = 7;
    EXPECT_EQ(Store().Zentrip_Crypt(1, input, sizeof input, output, 0, &produced), kCryptFailure);
    EXPECT_EQ(Store().Zentrip_Crypt(1, input, 0, output, sizeof output, &produced), kCryptFailure);
    EXPECT_EQ(Store().Zentrip_Crypt(3, input, sizeof input, output, sizeof output, &produced),
              kCryptFailure);
}

TEST_F(StoreCalls, EncryptionRoundTripsAndHidesTheText) {
    const wchar_t secret[] = L"pässwörd-秘密";
    BYTE cipher[512] = {};
    DWORD cipherLength = 0;
    ASSERT_EQ(Store().Zentrip_Crypt(1, reinterpret_cast<const BYTE*>(secret), sizeof secret, cipher,
                                    sizeof cipher, &cipherLength),
              0u);
    ASSERT_GT(cipherLength, 0u);
    ASSERT_LE(cipherLength, sizeof cipher);
    EXPECT_FALSE(cipherLength >= sizeof secret && std::memcmp(cipher, secret, sizeof secret) == 0);

    BYTE plain[512] = {};
    DWORD plainLength = 0;
    ASSERT_EQ(Store().Zentrip_Crypt(2, cipher, cipherLength, plain, sizeof plain, &plainLength),
              0u);
    ASSERT_EQ(plainLength, sizeof secret);
    EXPECT_EQ(std::memcmp(plain, secret, sizeof secret), 0);
}

TEST_F(StoreCalls, AuthenticationIsTrueOnlyWhenAllowed) {
    // Case numbers no other test program uses.
    using peltrix::test::AutoAnswer;
    const AutoAnswer allow(95, AutoAnswer::kAllow);
    const AutoAnswer deny(96, AutoAnswer::kDeny);
    ASSERT_TRUE(allow.Applied() && deny.Applied());
    EXPECT_TRUE(Store().IsAuthent(static_cast<eAuthCase>(95)));
    EXPECT_FALSE(Store().IsAuthent(static_cast<eAuthCase>(96)));
}
