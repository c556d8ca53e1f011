// The dialog's database and crypto wrappers against the real libraries.
#include "MgrTestSupport.h"

#include "Corvane.h"

#include <gtest/gtest.h>

namespace {

class MgrDbLayer : public ::testing::Test {
protected:
    void SetUp() override {
        m_key = ScratchPageKey(L"layer");
        ASSERT_TRUE(m_raw.Create(m_key));
        ASSERT_TRUE(m_dlg.OpenDB(&m_db));
    }
    void TearDown() override {
        m_dlg.CloseDB(&m_db);
        m_raw.Delete(m_key);
    }
    std::wstring Password(bool* clear = nullptr) {
        TVRDB_HKEY key = nullptr;
        if (m_dlg.OpenKey(m_db, m_key, &key) != TVRDB_OK) return L"<no key>";
        std::wstring value = m_dlg.GetStringValue_Decord(m_db, &key, L"VALUE", clear);
        m_dlg.CloseKey(m_db, &key);
        return value;
    }

    TestDlg m_dlg;
    RawDb m_raw;
    TVRDB_HDB m_db = nullptr;
    std::wstring m_key;
};

} // namespace

TEST_F(MgrDbLayer, MissingKeyAnswers8AtOnceAndNullsTheHandles) {
    TVRDB_HKEY key = reinterpret_cast<TVRDB_HKEY>(1);
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(m_dlg.OpenKey(m_db, m_key + L"\\NOWHERE", &key), DWORD(TVRDB_E_KEY_NOT_FOUND));
    EXPECT_LT(::GetTickCount() - start, 100u);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(m_dlg.OpenKey(nullptr, m_key, &key), DWORD(TVRDB_E_KEY_NOT_FOUND));
    EXPECT_EQ(m_dlg.CreateKey(nullptr, m_key, &key), CTvrIEToolDlg::kNoHandle);
    EXPECT_EQ(m_dlg.CreateValue(m_db, nullptr, L"X", DWORD(1)), CTvrIEToolDlg::kNoHandle);

    ASSERT_EQ(m_dlg.OpenKey(m_db, m_key, &key), DWORD(TVRDB_OK));
    m_dlg.CloseKey(m_db, &key);
    EXPECT_EQ(key, nullptr);
    TVRDB_HDB db = nullptr;
    ASSERT_TRUE(m_dlg.OpenDB(&db));
    m_dlg.CloseDB(&db);
    EXPECT_EQ(db, nullptr);
}

TEST_F(MgrDbLayer, TextHasNoTerminatorAndDwordsNeverReadPastTheStoredBytes) {
    ASSERT_TRUE(m_dlg.SetStringValue(m_db, m_key, L"T", L"abc"));
    auto raw = m_raw.Raw(m_key, L"T");
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->first, DWORD(TVRDB_TYPE_STRING));
    EXPECT_EQ(raw->second.size(), 6u);

    // The database keeps a DWORD at 4 bytes; a value of another type can be shorter.
    ASSERT_TRUE(m_raw.SetRaw(m_key, L"SHORT", TVRDB_TYPE_BINARY, {0x01, 0x02}));
    ASSERT_TRUE(m_raw.SetRaw(m_key, L"EMPTY", TVRDB_TYPE_BINARY, {}));
    ASSERT_TRUE(m_dlg.SetDwordValue(m_db, m_key, L"N", 7));
    TVRDB_HKEY key = nullptr;
    ASSERT_EQ(m_dlg.OpenKey(m_db, m_key, &key), DWORD(TVRDB_OK));
    EXPECT_EQ(m_dlg.GetDwordValue(m_db, key, L"SHORT"), -1);
    EXPECT_EQ(m_dlg.GetDwordValue(m_db, key, L"EMPTY"), -1);
    EXPECT_EQ(m_dlg.GetDwordValue(m_db, key, L"MISSING"), -1);
    EXPECT_EQ(m_dlg.GetDwordValue(m_db, key, L"N"), 7);
    EXPECT_EQ(m_dlg.GetStringValue(m_db, key, L"T"), L"abc");
    EXPECT_EQ(m_dlg.GetStringValue(m_db, key, L"MISSING"), L"");
    // The by-handle setter closes the caller's key.
    EXPECT_TRUE(m_dlg.SetDwordValue(m_db, &key, L"N", 8));
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(m_raw.Dword(m_key, L"N"), 8);
    // Setters report a key that does not open.
    EXPECT_FALSE(m_dlg.SetStringValue(m_db, m_key + L"\\NOWHERE", L"T", L"x"));
    EXPECT_FALSE(m_dlg.SetDwordValue(m_db, m_key + L"\\NOWHERE", L"N", 1));
    EXPECT_EQ(CTvrIEToolDlg::GetSubKey(L"A\\B\\CTRL001"), L"CTRL001");
    EXPECT_EQ(CTvrIEToolDlg::GetSubKey(L"ALONE"), L"ALONE");
}

TEST_F(MgrDbLayer, PasswordRoundTripsWithoutTrailingNuls) {
    ASSERT_TRUE(m_dlg.SetStringValue_Encord(m_db, m_key, L"VALUE", L"pässwörd"));
    auto raw = m_raw.Raw(m_key, L"VALUE");
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->first, DWORD(TVRDB_TYPE_STRING));
    EXPECT_NE(raw->second.size(), 16u); // not the clear text
    bool clear = false;
    const std::wstring value = Password(&clear);
    EXPECT_TRUE(clear);
    EXPECT_EQ(value, L"pässwörd");
    EXPECT_EQ(value.size(), 8u);
}

TEST_F(MgrDbLayer, DecryptedValueEndsAtItsFirstNul) {
    const wchar_t plain[] = {L'a', L'b', 0, 0, L'x', L'y'};
    std::vector<BYTE> cipher(sizeof(plain) * 2 + 64, 0);
    DWORD produced = 0;
    ASSERT_EQ(TvrCT_Encrypt(reinterpret_cast<const BYTE*>(plain), sizeof(plain), cipher.data(),
                            DWORD(cipher.size()), &produced),
              DWORD(TVRCT_OK));
    cipher.resize(produced);
    ASSERT_TRUE(m_raw.SetRaw(m_key, L"VALUE", TVRDB_TYPE_STRING, cipher));
    EXPECT_EQ(Password(), L"ab");
}

TEST_F(MgrDbLayer, EmptyPasswordIsStoredPlainWithZeroBytes) {
    m_dlg.encryptionsBeforeFailure = 0; // the library must not even be asked
    ASSERT_TRUE(m_dlg.SetStringValue_Encord(m_db, m_key, L"VALUE", L""));
    auto raw = m_raw.Raw(m_key, L"VALUE");
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->first, DWORD(TVRDB_TYPE_STRING));
    EXPECT_TRUE(raw->second.empty());
    EXPECT_EQ(m_dlg.encryptCalls, 0);
    bool clear = false;
    EXPECT_EQ(Password(&clear), L"");
    EXPECT_TRUE(clear);
}

TEST_F(MgrDbLayer, EncryptionOffOrFailingWritesNothingAndReportsFailure) {
    ASSERT_TRUE(m_dlg.SetStringValue_Encord(m_db, m_key, L"VALUE", L"old"));
    const auto before = m_raw.Raw(m_key, L"VALUE");

    m_dlg.encryptionsBeforeFailure = m_dlg.encryptCalls;
    EXPECT_FALSE(m_dlg.SetStringValue_Encord(m_db, m_key, L"VALUE", L"new"));
    EXPECT_EQ(m_dlg.m_nCryptUsable, 0);
    EXPECT_EQ(m_raw.Raw(m_key, L"VALUE"), before);

    // Already off: not asked again, nothing written, still a failure.
    m_dlg.encryptionsBeforeFailure = -1;
    const int calls = m_dlg.encryptCalls;
    EXPECT_FALSE(m_dlg.SetStringValue_Encord(m_db, m_key, L"VALUE", L"newer"));
    EXPECT_EQ(m_dlg.encryptCalls, calls);
    EXPECT_EQ(m_raw.Raw(m_key, L"VALUE"), before);
    m_dlg.m_nCryptUsable = 1;
    EXPECT_EQ(Password(), L"old");
}

TEST_F(MgrDbLayer, KeyThatDoesNotOpenFailsTheEncryptedWrite) {
    EXPECT_FALSE(m_dlg.SetStringValue_Encord(m_db, m_key + L"\\NOWHERE", L"VALUE", L"pw"));
    EXPECT_FALSE(m_raw.Exists(m_key + L"\\NOWHERE"));
}

TEST_F(MgrDbLayer, FailedDecryptionReadsEmptyAndSwitchesCryptoOff) {
    ASSERT_TRUE(m_dlg.SetStringValue_Encord(m_db, m_key, L"VALUE", L"secret"));
    m_dlg.failDecryption = true;
    bool clear = true;
    EXPECT_EQ(Password(&clear), L"");
    EXPECT_FALSE(clear);
    EXPECT_EQ(m_dlg.m_nCryptUsable, 0);
    // Off: the key stays open for the caller, the value still unreadable.
    m_dlg.failDecryption = false;
    clear = true;
    EXPECT_EQ(Password(&clear), L"");
    EXPECT_FALSE(clear);
}
