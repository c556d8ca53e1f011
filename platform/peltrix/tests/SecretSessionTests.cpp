#include "FixtureTool.h"
#include "Peltrix.h"
#include "SecretSession.h"
#include "SecretSessionTable.h"
#include "SettingsKey.h"
#include "TestSettingsRoot.h"

#include <gtest/gtest.h>

#include <vector>

using peltrix::SecretSession;
using peltrix::SecretSessionTable;

namespace {

constexpr BYTE kGuard = 0xCC;

class SecretSessionTest : public ::testing::Test {
protected:
    void Fixture(std::vector<std::wstring> arguments) {
        const peltrix::ToolOutcome outcome = peltrix::FixtureTool::Run(arguments, m_root.path());
        ASSERT_EQ(0, outcome.exitCode) << outcome.text;
    }

    TVRAUTH_HSESSION Open() {
        TVRAUTH_HSESSION session = nullptr;
        EXPECT_EQ(TVRAUTH_OK, m_table.Open(m_root.path(), &session));
        return session;
    }

    std::shared_ptr<const SecretSession> OpenAndFind() {
        TVRAUTH_HSESSION session = Open();
        auto found = m_table.Find(session);
        EXPECT_NE(nullptr, found);
        return found;
    }

    TestSettingsRoot m_root;
    SecretSessionTable m_table;
};

} // namespace

TEST_F(SecretSessionTest, RuleSizeQueryThenRead) {
    Fixture({L"rule", L"0102A0FF"});
    auto session = OpenAndFind();
    ASSERT_TRUE(session);
    DWORD size = 12345;
    ASSERT_EQ(TVRAUTH_OK, session->GetAuthRule(nullptr, &size));
    ASSERT_EQ(4u, size);
    std::vector<BYTE> buffer(size + 4, kGuard);
    ASSERT_EQ(TVRAUTH_OK, session->GetAuthRule(buffer.data(), &size));
    EXPECT_EQ(4u, size);
    EXPECT_EQ((std::vector<BYTE>{0x01, 0x02, 0xA0, 0xFF, kGuard, kGuard, kGuard, kGuard}), buffer);
}

TEST_F(SecretSessionTest, TooSmallBufferReportsNeededSizeAndWritesNothing) {
    Fixture({L"rule", L"11223344556677"});
    Fixture({L"secret", L"2", L"1", L"AABBCC"});
    auto session = OpenAndFind();
    ASSERT_TRUE(session);

    std::vector<BYTE> buffer(16, kGuard);
    DWORD size = 6;
    EXPECT_EQ(TVRAUTH_E_MORE_DATA, session->GetAuthRule(buffer.data(), &size));
    EXPECT_EQ(7u, size);
    size = 2;
    EXPECT_EQ(TVRAUTH_E_MORE_DATA, session->GetAuthSecret(2, 1, buffer.data(), &size));
    EXPECT_EQ(3u, size);
    size = 0;
    EXPECT_EQ(TVRAUTH_E_MORE_DATA, session->GetAuthSecret(2, 1, buffer.data(), &size));
    EXPECT_EQ(3u, size);
    EXPECT_EQ(std::vector<BYTE>(16, kGuard), buffer);

    size = 3;
    ASSERT_EQ(TVRAUTH_OK, session->GetAuthSecret(2, 1, buffer.data() + 1, &size));
    EXPECT_EQ((std::vector<BYTE>{kGuard, 0xAA, 0xBB, 0xCC, kGuard}),
              std::vector<BYTE>(buffer.begin(), buffer.begin() + 5));
}

TEST_F(SecretSessionTest, MissingRuleIsSizeZero) {
    Fixture({L"pincache", L"30"});
    auto session = OpenAndFind();
    ASSERT_TRUE(session);
    DWORD size = 77;
    EXPECT_EQ(TVRAUTH_OK, session->GetAuthRule(nullptr, &size));
    EXPECT_EQ(0u, size);
    BYTE buffer[4] = {kGuard, kGuard, kGuard, kGuard};
    size = sizeof(buffer);
    EXPECT_EQ(TVRAUTH_OK, session->GetAuthRule(buffer, &size));
    EXPECT_EQ(0u, size);
    EXPECT_EQ(kGuard, buffer[0]);
}

TEST_F(SecretSessionTest, SecretsAreServedPerKindAndIndex) {
    Fixture({L"secret", L"1", L"1", L"F1"});
    Fixture({L"secret", L"1", L"10", L"F10A"});
    Fixture({L"secret", L"4", L"5", L"D4D5"});
    auto session = OpenAndFind();
    ASSERT_TRUE(session);
    BYTE buffer[8] = {};
    DWORD size = sizeof(buffer);
    ASSERT_EQ(TVRAUTH_OK, session->GetAuthSecret(1, 10, buffer, &size));
    EXPECT_EQ(2u, size);
    EXPECT_EQ(0xF1, buffer[0]);
    EXPECT_EQ(0x0A, buffer[1]);
    size = sizeof(buffer);
    ASSERT_EQ(TVRAUTH_OK, session->GetAuthSecret(4, 5, buffer, &size));
    EXPECT_EQ(2u, size);
    EXPECT_EQ(0xD4, buffer[0]);
    size = 0;
    ASSERT_EQ(TVRAUTH_OK, session->GetAuthSecret(1, 1, nullptr, &size));
    EXPECT_EQ(1u, size);
}

TEST_F(SecretSessionTest, MissingEntriesAndOutOfRangeKindsAndIndexesAreNotFound) {
    Fixture({L"secret", L"3", L"1", L"33"});
    auto session = OpenAndFind();
    ASSERT_TRUE(session);
    DWORD size = 0;
    EXPECT_EQ(TVRAUTH_E_NOT_FOUND, session->GetAuthSecret(3, 2, nullptr, &size));
    EXPECT_EQ(TVRAUTH_E_NOT_FOUND, session->GetAuthSecret(2, 1, nullptr, &size));
    EXPECT_EQ(TVRAUTH_E_NOT_FOUND, session->GetAuthSecret(3, 0, nullptr, &size));
    EXPECT_EQ(TVRAUTH_E_NOT_FOUND, session->GetAuthSecret(0, 1, nullptr, &size));
    EXPECT_EQ(TVRAUTH_E_NOT_FOUND, session->GetAuthSecret(5, 1, nullptr, &size));
    EXPECT_EQ(TVRAUTH_E_NOT_FOUND, session->GetAuthSecret(0xFFFFFFFF, 1, nullptr, &size));
}

TEST_F(SecretSessionTest, SecretsOutsideTheKindsAreIgnoredEvenWhenStored) {
    peltrix::SettingsKey key;
    ASSERT_EQ(TVRAUTH_OK, peltrix::SettingsKey::Open(m_root.path() + L"\\Secrets", true, key));
    const BYTE data[] = {1};
    for (const wchar_t* name : {L"Secret5_1", L"Secret1_0", L"Secret1_01", L"Secret0_1"}) {
        ASSERT_EQ(TVRAUTH_OK, key.WriteBinary(name, data, sizeof(data)));
    }
    auto session = OpenAndFind();
    ASSERT_TRUE(session);
    DWORD size = 0;
    EXPECT_EQ(TVRAUTH_E_NOT_FOUND, session->GetAuthSecret(5, 1, nullptr, &size));
    EXPECT_EQ(TVRAUTH_E_NOT_FOUND, session->GetAuthSecret(1, 0, nullptr, &size));
    EXPECT_EQ(TVRAUTH_E_NOT_FOUND, session->GetAuthSecret(1, 1, nullptr, &size));
}

TEST_F(SecretSessionTest, PinCacheTimeIsServedAndMissingOneIsNotFound) {
    {
        auto empty = OpenAndFind();
        ASSERT_TRUE(empty);
        DWORD value = 5;
        EXPECT_EQ(TVRAUTH_E_NOT_FOUND, empty->GetPinCacheTime(&value));
    }
    Fixture({L"pincache", L"4294967295"});
    auto session = OpenAndFind();
    ASSERT_TRUE(session);
    DWORD value = 0;
    ASSERT_EQ(TVRAUTH_OK, session->GetPinCacheTime(&value));
    EXPECT_EQ(0xFFFFFFFFu, value);
}

TEST_F(SecretSessionTest, SessionKeepsWhatWasStoredWhenOpened) {
    Fixture({L"rule", L"0A0B"});
    auto before = OpenAndFind();
    ASSERT_TRUE(before);
    Fixture({L"rule", L"0A0B0C0D"});
    Fixture({L"secret", L"1", L"1", L"01"});
    DWORD size = 0;
    ASSERT_EQ(TVRAUTH_OK, before->GetAuthRule(nullptr, &size));
    EXPECT_EQ(2u, size);
    EXPECT_EQ(TVRAUTH_E_NOT_FOUND, before->GetAuthSecret(1, 1, nullptr, &size));

    auto after = OpenAndFind();
    ASSERT_TRUE(after);
    ASSERT_EQ(TVRAUTH_OK, after->GetAuthRule(nullptr, &size));
    EXPECT_EQ(4u, size);
}

TEST_F(SecretSessionTest, ClearedStoreServesNothing) {
    Fixture({L"rule", L"01"});
    Fixture({L"secret", L"1", L"1", L"01"});
    Fixture({L"pincache", L"9"});
    Fixture({L"clear"});
    auto session = OpenAndFind();
    ASSERT_TRUE(session);
    DWORD size = 9;
    EXPECT_EQ(TVRAUTH_OK, session->GetAuthRule(nullptr, &size));
    EXPECT_EQ(0u, size);
    EXPECT_EQ(TVRAUTH_E_NOT_FOUND, session->GetAuthSecret(1, 1, nullptr, &size));
    EXPECT_EQ(TVRAUTH_E_NOT_FOUND, session->GetPinCacheTime(&size));
}

TEST_F(SecretSessionTest, ValueOfWrongTypeFailsTheOpen) {
    peltrix::SettingsKey key;
    ASSERT_EQ(TVRAUTH_OK, peltrix::SettingsKey::Open(m_root.path() + L"\\Secrets", true, key));
    ASSERT_EQ(TVRAUTH_OK, key.WriteDword(L"AuthRule", 1));
    TVRAUTH_HSESSION session = nullptr;
    EXPECT_EQ(TVRAUTH_E_STORAGE, m_table.Open(m_root.path(), &session));
    EXPECT_EQ(0u, m_table.OpenCount());
}

TEST_F(SecretSessionTest, ClosedUnknownAndForgedHandlesAreInvalid) {
    TVRAUTH_HSESSION first = Open();
    TVRAUTH_HSESSION second = Open();
    EXPECT_NE(first, second);
    EXPECT_EQ(2u, m_table.OpenCount());
    ASSERT_EQ(TVRAUTH_OK, m_table.Close(first));
    EXPECT_EQ(nullptr, m_table.Find(first));
    EXPECT_EQ(TVRAUTH_E_INVALID_HANDLE, m_table.Close(first));
    EXPECT_NE(nullptr, m_table.Find(second)) << "closing one session leaves the others";

    int onStack = 0;
    EXPECT_EQ(nullptr, m_table.Find(nullptr));
    EXPECT_EQ(nullptr, m_table.Find(reinterpret_cast<TVRAUTH_HSESSION>(&onStack)));
    EXPECT_EQ(nullptr, m_table.Find(reinterpret_cast<TVRAUTH_HSESSION>(~uintptr_t{0})));
    EXPECT_EQ(TVRAUTH_E_INVALID_HANDLE, m_table.Close(nullptr));

    SecretSessionTable other;
    EXPECT_EQ(nullptr, other.Find(second)) << "a handle belongs to the table that made it";
    ASSERT_EQ(TVRAUTH_OK, m_table.Close(second));
    EXPECT_EQ(0u, m_table.OpenCount());
}

TEST_F(SecretSessionTest, SessionClosedWhileHeldStaysReadable) {
    Fixture({L"rule", L"ABCD"});
    TVRAUTH_HSESSION handle = Open();
    auto held = m_table.Find(handle);
    ASSERT_TRUE(held);
    ASSERT_EQ(TVRAUTH_OK, m_table.Close(handle));
    DWORD size = 0;
    EXPECT_EQ(TVRAUTH_OK, held->GetAuthRule(nullptr, &size));
    EXPECT_EQ(2u, size);
}

TEST_F(SecretSessionTest, NullPointersAreInvalidArguments) {
    auto session = OpenAndFind();
    ASSERT_TRUE(session);
    BYTE buffer[4];
    EXPECT_EQ(TVRAUTH_E_INVALID_ARG, session->GetAuthRule(buffer, nullptr));
    EXPECT_EQ(TVRAUTH_E_INVALID_ARG, session->GetAuthSecret(1, 1, buffer, nullptr));
    EXPECT_EQ(TVRAUTH_E_INVALID_ARG, session->GetPinCacheTime(nullptr));
    EXPECT_EQ(TVRAUTH_E_INVALID_ARG, m_table.Open(m_root.path(), nullptr));
}
