// Compaction: nothing lost, old generations retired, and every crash point
// of it recoverable (checked with the files a crash would leave).
#include "TestFolder.h"

#include "DatabaseLock.h"
#include "LogFile.h"
#include "RecordCodec.h"
#include "StorageFormat.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace brisbel::test {
namespace {

class Compaction : public ::testing::Test {
protected:
    std::unique_ptr<Database> Open(DWORD* status = nullptr) {
        return OpenInstance(m_folder.Path(), L"cmp", status);
    }
    static void Fill(Database& db) {
        ASSERT_EQ(db.CreateKey(Path(L"Forms\\Login\\Fields")), DWORD{TVRDB_OK});
        ASSERT_EQ(db.CreateKey(Path(L"Forms\\Empty")), DWORD{TVRDB_OK});
        ASSERT_EQ(db.CreateKey(Path(L"Gone\\Deep")), DWORD{TVRDB_OK});
        for (DWORD i = 0; i < 50; ++i) {
            const std::wstring name = L"Val" + std::to_wstring(i);
            ASSERT_EQ(SetDword(db, L"Forms\\Login", name.c_str(), i), DWORD{TVRDB_OK});
            ASSERT_EQ(SetDword(db, L"Forms\\Login", name.c_str(), i * 3), DWORD{TVRDB_OK});
        }
        const std::wstring text = L"user@example";
        ASSERT_EQ(db.SetValue(Path(L"Forms\\Login\\Fields"), L"Mail", TVRDB_TYPE_STRING,
                              reinterpret_cast<const BYTE*>(text.data()),
                              static_cast<DWORD>(text.size() * 2)),
                  DWORD{TVRDB_OK});
        ASSERT_EQ(db.SetValue(Path(L""), L"RootValue", TVRDB_TYPE_BINARY, nullptr, 0),
                  DWORD{TVRDB_OK});
        ASSERT_EQ(db.DeleteValue(Path(L"Forms\\Login"), L"Val7"), DWORD{TVRDB_OK});
        ASSERT_EQ(db.DeleteKey(Path(L"Gone")), DWORD{TVRDB_OK});
    }
    // The records of a sealed generation file holding just K\a = value.
    void WriteGeneration(uint32_t generation, uint32_t flags, DWORD value) {
        const auto header = LogFile::MakeHeader(generation, flags);
        std::vector<uint8_t> bytes(reinterpret_cast<const uint8_t*>(&header),
                                   reinterpret_cast<const uint8_t*>(&header) + sizeof(header));
        RecordCodec::Encode(format::kCreateKey, L"K", {}, 0, nullptr, 0, bytes);
        RecordCodec::Encode(format::kSetValue, L"K", L"a", TVRDB_TYPE_DWORD,
                            reinterpret_cast<const uint8_t*>(&value), 4, bytes);
        WriteFileBytes(m_folder.FileOf(L"cmp", generation), bytes);
    }

    TestFolder m_folder;
};

TEST_F(Compaction, KeepsEveryKeyAndValueInOrder) {
    auto db = Open();
    ASSERT_TRUE(db);
    Fill(*db);
    const std::wstring before = Dump(*db);
    const size_t logSize = ReadFileBytes(m_folder.FileOf(L"cmp", 1)).size();

    ASSERT_EQ(db->Compact(), DWORD{TVRDB_OK});
    uint32_t generation = 0;
    ASSERT_EQ(db->Generation(generation), DWORD{TVRDB_OK});
    EXPECT_EQ(generation, 2u);
    EXPECT_EQ(m_folder.Files(), std::vector<std::wstring>{L"cmp.00000002.tvdb"});
    EXPECT_LT(ReadFileBytes(m_folder.FileOf(L"cmp", 2)).size(), logSize);
    EXPECT_EQ(Dump(*db), before);

    db.reset();
    db = Open();
    ASSERT_TRUE(db);
    EXPECT_EQ(Dump(*db), before);
    ASSERT_EQ(SetDword(*db, L"Forms", L"after", 1), DWORD{TVRDB_OK});
}

TEST_F(Compaction, StartsWhenTheLogOutgrowsTheLiveData) {
    auto db = Open();
    ASSERT_TRUE(db);
    ASSERT_EQ(db->CreateKey(Path(L"Big")), DWORD{TVRDB_OK});
    std::vector<BYTE> blob(64 * 1024);
    for (DWORD i = 0; i < 60; ++i) {
        blob[0] = static_cast<BYTE>(i);
        ASSERT_EQ(db->SetValue(Path(L"Big"), L"blob", TVRDB_TYPE_BINARY, blob.data(),
                               static_cast<DWORD>(blob.size())),
                  DWORD{TVRDB_OK});
    }
    uint32_t generation = 0;
    ASSERT_EQ(db->Generation(generation), DWORD{TVRDB_OK});
    EXPECT_GT(generation, 1u);
    const auto files = m_folder.Files();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_LT(ReadFileBytes(m_folder.Path() + L"\\" + files[0]).size(), 3u * 1024 * 1024);
    std::vector<BYTE> out(blob.size());
    DWORD size = static_cast<DWORD>(out.size());
    ASSERT_EQ(db->QueryValue(Path(L"Big"), L"blob", nullptr, out.data(), &size), DWORD{TVRDB_OK});
    EXPECT_EQ(out[0], 59);
}

TEST_F(Compaction, AnotherHolderFollowsToTheNewGeneration) {
    auto compactor = Open();
    auto holder = Open();
    ASSERT_TRUE(compactor && holder);
    Fill(*compactor);
    ASSERT_EQ(SetDword(*holder, L"Forms", L"before", 1), DWORD{TVRDB_OK});
    ASSERT_EQ(compactor->Compact(), DWORD{TVRDB_OK});
    // The holder's file is superseded: its write must land in generation 2.
    ASSERT_EQ(SetDword(*holder, L"Forms", L"after", 2), DWORD{TVRDB_OK});
    EXPECT_EQ(Dump(*holder), Dump(*compactor));

    holder.reset();
    compactor.reset();
    auto fresh = Open();
    ASSERT_TRUE(fresh);
    DWORD value = 0;
    EXPECT_EQ(QueryDword(*fresh, L"Forms", L"after", value), DWORD{TVRDB_OK});
    EXPECT_EQ(value, 2u);
    EXPECT_EQ(QueryDword(*fresh, L"Forms\\Login", L"Val49", value), DWORD{TVRDB_OK});
}

// Died while writing generation 2: the unsealed file is dropped.
TEST_F(Compaction, UnsealedLeftoverIsDiscarded) {
    WriteGeneration(1, format::kFlagSealed, 1);
    WriteGeneration(2, 0, 2);
    auto db = Open();
    ASSERT_TRUE(db);
    DWORD value = 0;
    ASSERT_EQ(QueryDword(*db, L"K", L"a", value), DWORD{TVRDB_OK});
    EXPECT_EQ(value, 1u);
    EXPECT_EQ(m_folder.Files(), std::vector<std::wstring>{L"cmp.00000001.tvdb"});
    ASSERT_EQ(db->Compact(), DWORD{TVRDB_OK});
    ASSERT_EQ(QueryDword(*db, L"K", L"a", value), DWORD{TVRDB_OK});
    EXPECT_EQ(value, 1u);
}

// Died after sealing generation 2 but before marking generation 1.
TEST_F(Compaction, SealedNewerGenerationWins) {
    WriteGeneration(1, format::kFlagSealed, 1);
    WriteGeneration(2, format::kFlagSealed, 2);
    auto db = Open();
    ASSERT_TRUE(db);
    DWORD value = 0;
    ASSERT_EQ(QueryDword(*db, L"K", L"a", value), DWORD{TVRDB_OK});
    EXPECT_EQ(value, 2u);
    EXPECT_EQ(m_folder.Files(), std::vector<std::wstring>{L"cmp.00000002.tvdb"});
}

// Same crash, but another process still holds generation 1 and did not see
// the compaction: the abandoned lock makes it recover before it writes.
TEST_F(Compaction, HolderRecoversWhenTheCompactorDiedHoldingTheLock) {
    WriteGeneration(1, format::kFlagSealed, 1);
    auto holder = Open();
    ASSERT_TRUE(holder);
    WriteGeneration(2, format::kFlagSealed, 2);
    std::thread([&] {
        torva::UniqueHandle mutex(
            ::OpenMutexW(SYNCHRONIZE, FALSE, DatabaseLock::NameFor(holder->Identity()).c_str()));
        ASSERT_TRUE(mutex);
        ASSERT_EQ(::WaitForSingleObject(mutex.get(), 5000), WAIT_OBJECT_0);
        // The thread ends without releasing: the mutex is abandoned.
    }).join();

    ASSERT_EQ(SetDword(*holder, L"K", L"b", 3), DWORD{TVRDB_OK});
    holder.reset();
    auto fresh = Open();
    ASSERT_TRUE(fresh);
    DWORD value = 0;
    ASSERT_EQ(QueryDword(*fresh, L"K", L"a", value), DWORD{TVRDB_OK});
    EXPECT_EQ(value, 2u);
    ASSERT_EQ(QueryDword(*fresh, L"K", L"b", value), DWORD{TVRDB_OK});
    EXPECT_EQ(value, 3u);
}

TEST_F(Compaction, FileCutInsideItsHeaderIsAFreshStart) {
    WriteFileBytes(m_folder.FileOf(L"cmp", 1), std::vector<uint8_t>(10, 0x54));
    auto db = Open();
    ASSERT_TRUE(db);
    ASSERT_EQ(db->CreateKey(Path(L"New")), DWORD{TVRDB_OK});
    EXPECT_EQ(m_folder.Files().size(), 1u);
    db.reset();
    db = Open();
    ASSERT_TRUE(db);
    EXPECT_EQ(db->OpenKey(Path(L"new")), DWORD{TVRDB_OK});
}

TEST_F(Compaction, DamagedHeaderOrNoSealedFileIsCorrupt) {
    WriteGeneration(1, format::kFlagSealed, 1);
    auto bytes = ReadFileBytes(m_folder.FileOf(L"cmp", 1));
    bytes[12] ^= 0x04; // flags
    WriteFileBytes(m_folder.FileOf(L"cmp", 1), bytes);
    DWORD status = 0;
    EXPECT_FALSE(Open(&status));
    EXPECT_EQ(status, DWORD{TVRDB_E_CORRUPT});

    WriteGeneration(1, 0, 1); // unsealed, and nothing else
    EXPECT_FALSE(Open(&status));
    EXPECT_EQ(status, DWORD{TVRDB_E_CORRUPT});
}

// Compaction encodes the whole live state record after record into one
// buffer; a buffer grown to the exact size at each record is copied whole
// each time, which made the set that compacts a database of 10,000 values
// take more than a second.
TEST(CompactionBuffer, GrowsGeometricallyWhileRecordsAreAppended) {
    std::vector<uint8_t> buffer;
    const std::vector<uint8_t> data(64, 0x42);
    size_t reallocations = 0;
    for (DWORD i = 0; i < 10000; ++i) {
        const size_t before = buffer.capacity();
        RecordCodec::Encode(format::kSetValue, L"WEBFORMDATA\\Site1\\Fields",
                            L"Field" + std::to_wstring(i), TVRDB_TYPE_BINARY, data.data(),
                            data.size(), buffer);
        if (buffer.capacity() != before) ++reallocations;
    }
    EXPECT_GT(buffer.size(), 1000000u);
    EXPECT_LE(reallocations, 40u);
}

} // namespace
} // namespace brisbel::test
