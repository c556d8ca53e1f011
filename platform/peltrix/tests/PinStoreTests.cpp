#include "Peltrix.h"
#include "PinStore.h"
#include "SettingsKey.h"
#include "TestSettingsRoot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using peltrix::PinRecord;
using peltrix::PinStore;

namespace {

std::vector<BYTE> StoredRecordBytes(const std::wstring& root) {
    peltrix::SettingsKey key;
    std::vector<BYTE> data;
    if (peltrix::SettingsKey::Open(root, false, key) != TVRAUTH_OK) return data;
    if (key.ReadBinary(peltrix::kPinRecordValue, data) != TVRAUTH_OK) data.clear();
    return data;
}

void WriteRecordBytes(const std::wstring& root, const std::vector<BYTE>& data) {
    peltrix::SettingsKey key;
    ASSERT_EQ(TVRAUTH_OK, peltrix::SettingsKey::Open(root, true, key));
    ASSERT_EQ(TVRAUTH_OK, key.WriteBinary(peltrix::kPinRecordValue, data.data(),
                                          static_cast<DWORD>(data.size())));
}

bool Contains(const std::vector<BYTE>& haystack, const void* needle, std::size_t size) {
    const auto* begin = static_cast<const BYTE*>(needle);
    return std::search(haystack.begin(), haystack.end(), begin, begin + size) != haystack.end();
}

} // namespace

TEST(PinStoreTest, RightPinVerifiesAndWrongPinDoesNot) {
    TestSettingsRoot root;
    PinStore store(root.path());
    ASSERT_EQ(TVRAUTH_OK, store.SetPin(L"4711"));
    EXPECT_EQ(TVRAUTH_OK, store.Verify(L"4711"));
    EXPECT_EQ(TVRAUTH_E_WRONG_PIN, store.Verify(L"4712"));
    EXPECT_EQ(TVRAUTH_E_WRONG_PIN, store.Verify(L"471"));
    EXPECT_EQ(TVRAUTH_E_WRONG_PIN, store.Verify(L"47110"));
    EXPECT_EQ(TVRAUTH_E_WRONG_PIN, store.Verify(L""));
}

TEST(PinStoreTest, NoPinUntilSetAndAfterClear) {
    TestSettingsRoot root;
    PinStore store(root.path());
    EXPECT_EQ(TVRAUTH_E_NO_PIN, store.Verify(L"1234"));
    EXPECT_EQ(TVRAUTH_E_NOT_FOUND, store.ClearPin());
    ASSERT_EQ(TVRAUTH_OK, store.SetPin(L"1234", peltrix::kMinIterations));
    ASSERT_EQ(TVRAUTH_OK, store.ClearPin());
    EXPECT_EQ(TVRAUTH_E_NO_PIN, store.Verify(L"1234"));
}

TEST(PinStoreTest, NewPinReplacesOldOne) {
    TestSettingsRoot root;
    PinStore store(root.path());
    ASSERT_EQ(TVRAUTH_OK, store.SetPin(L"old-pin", peltrix::kMinIterations));
    ASSERT_EQ(TVRAUTH_OK, store.SetPin(L"new-pin", peltrix::kMinIterations));
    EXPECT_EQ(TVRAUTH_E_WRONG_PIN, store.Verify(L"old-pin"));
    EXPECT_EQ(TVRAUTH_OK, store.Verify(L"new-pin"));
}

TEST(PinStoreTest, JapanesePinRoundTrips) {
    TestSettingsRoot root;
    PinStore store(root.path());
    ASSERT_EQ(TVRAUTH_OK, store.SetPin(L"暗証番号９", peltrix::kMinIterations));
    EXPECT_EQ(TVRAUTH_OK, store.Verify(L"暗証番号９"));
    EXPECT_EQ(TVRAUTH_E_WRONG_PIN, store.Verify(L"暗証番号9"));
}

TEST(PinStoreTest, UnacceptablePinsAreRefused) {
    TestSettingsRoot root;
    PinStore store(root.path());
    EXPECT_EQ(TVRAUTH_E_INVALID_ARG, store.SetPin(L""));
    EXPECT_EQ(TVRAUTH_E_INVALID_ARG, store.SetPin(std::wstring(peltrix::kMaxPinChars + 1, L'1')));
    EXPECT_EQ(TVRAUTH_E_INVALID_ARG, store.SetPin(L"12\t34"));
    EXPECT_EQ(TVRAUTH_E_INVALID_ARG, store.SetPin(L"1234", peltrix::kMinIterations - 1));
    EXPECT_TRUE(StoredRecordBytes(root.path()).empty());
    EXPECT_EQ(TVRAUTH_OK,
              store.SetPin(std::wstring(peltrix::kMaxPinChars, L'1'), peltrix::kMinIterations));
}

TEST(PinStoreTest, DefaultRecordIsSaltedHashWithItsIterationCount) {
    TestSettingsRoot root;
    const std::wstring pin = L"2468";
    ASSERT_EQ(TVRAUTH_OK, PinStore(root.path()).SetPin(pin));
    PinRecord record;
    ASSERT_EQ(TVRAUTH_OK, PinStore(root.path()).Load(record));
    EXPECT_EQ(peltrix::kDefaultIterations, record.iterations);
    EXPECT_EQ(TVRAUTH_OK, PinStore(root.path()).Verify(pin));
}

TEST(PinStoreTest, SamePinInTwoRootsGivesDifferentSaltsAndHashes) {
    TestSettingsRoot first;
    TestSettingsRoot second;
    ASSERT_EQ(TVRAUTH_OK, PinStore(first.path()).SetPin(L"0000", peltrix::kMinIterations));
    ASSERT_EQ(TVRAUTH_OK, PinStore(second.path()).SetPin(L"0000", peltrix::kMinIterations));
    PinRecord a;
    PinRecord b;
    ASSERT_EQ(TVRAUTH_OK, PinStore(first.path()).Load(a));
    ASSERT_EQ(TVRAUTH_OK, PinStore(second.path()).Load(b));
    EXPECT_NE(0, memcmp(a.salt, b.salt, sizeof(a.salt)));
    EXPECT_NE(0, memcmp(a.hash, b.hash, sizeof(a.hash)));
}

TEST(PinStoreTest, PinTextIsStoredNowhere) {
    TestSettingsRoot root;
    const std::wstring pin = L"97531";
    const std::string pinUtf8 = "97531";
    ASSERT_EQ(TVRAUTH_OK, PinStore(root.path()).SetPin(pin, peltrix::kMinIterations));
    const auto values = root.AllValueData();
    ASSERT_FALSE(values.empty());
    for (const auto& data : values) {
        EXPECT_FALSE(Contains(data, pin.data(), pin.size() * sizeof(wchar_t)));
        EXPECT_FALSE(Contains(data, pinUtf8.data(), pinUtf8.size()));
    }
}

TEST(PinStoreTest, StoredIterationCountIsTheOneUsed) {
    TestSettingsRoot root;
    ASSERT_EQ(TVRAUTH_OK, PinStore(root.path()).SetPin(L"1357", peltrix::kMinIterations + 1));
    std::vector<BYTE> bytes = StoredRecordBytes(root.path());
    ASSERT_EQ(sizeof(PinRecord), bytes.size());
    PinRecord record;
    memcpy(&record, bytes.data(), sizeof(record));
    EXPECT_EQ(peltrix::kMinIterations + 1, record.iterations);
    record.iterations += 1;
    memcpy(bytes.data(), &record, sizeof(record));
    WriteRecordBytes(root.path(), bytes);
    EXPECT_EQ(TVRAUTH_E_WRONG_PIN, PinStore(root.path()).Verify(L"1357"));
}

TEST(PinStoreTest, DamagedRecordIsAStorageErrorNotAWrongPin) {
    TestSettingsRoot root;
    ASSERT_EQ(TVRAUTH_OK, PinStore(root.path()).SetPin(L"1357", peltrix::kMinIterations));
    const std::vector<BYTE> good = StoredRecordBytes(root.path());
    ASSERT_EQ(sizeof(PinRecord), good.size());

    std::vector<BYTE> truncated(good.begin(), good.end() - 1);
    WriteRecordBytes(root.path(), truncated);
    EXPECT_EQ(TVRAUTH_E_STORAGE, PinStore(root.path()).Verify(L"1357"));

    std::vector<BYTE> badMagic = good;
    badMagic[0] ^= 0xFF;
    WriteRecordBytes(root.path(), badMagic);
    EXPECT_EQ(TVRAUTH_E_STORAGE, PinStore(root.path()).Verify(L"1357"));

    std::vector<BYTE> noRounds = good;
    PinRecord record;
    memcpy(&record, noRounds.data(), sizeof(record));
    record.iterations = 1;
    memcpy(noRounds.data(), &record, sizeof(record));
    WriteRecordBytes(root.path(), noRounds);
    EXPECT_EQ(TVRAUTH_E_STORAGE, PinStore(root.path()).Verify(L"1357"));
}
