// Whole-database check and re-initialisation, as the database service uses
// them: fresh reads under the cross-process lock, one database at a time.
#include "TestFolder.h"

#include "DatabaseLock.h"
#include "DatabaseMaintenance.h"
#include "LogFile.h"
#include "StorageFormat.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <map>
#include <optional>
#include <thread>

namespace brisbel::test {
namespace {

constexpr DWORD kWait = 2000;
// The first record after the file header: CreateKey of "K".
constexpr size_t kFirstRecordPayload = sizeof(format::FileHeader) + sizeof(format::RecordHeader);

void WriteSample(const std::wstring& folder, const std::wstring& name) {
    auto db = OpenInstance(folder, name);
    ASSERT_TRUE(db);
    ASSERT_EQ(db->CreateKey(Path(L"K")), DWORD{TVRDB_OK});
    for (DWORD i = 0; i < 5; ++i)
        ASSERT_EQ(SetDword(*db, L"K", (L"v" + std::to_wstring(i)).c_str(), i), DWORD{TVRDB_OK});
}

DWORD Verdict(const TestFolder& folder, const std::wstring& name) {
    DWORD verdict = 0xFFFF;
    EXPECT_EQ(DatabaseMaintenance::Check(folder.Path(), name, kWait, verdict), DWORD{TVRDB_OK});
    return verdict;
}

std::map<std::wstring, std::vector<uint8_t>> Snapshot(const TestFolder& folder) {
    std::map<std::wstring, std::vector<uint8_t>> files;
    for (const auto& file : folder.Files())
        files[file] = ReadFileBytes(folder.Path() + L'\\' + file);
    return files;
}

TEST(Maintenance, WholeDatabaseIsIntact) {
    TestFolder folder;
    WriteSample(folder.Path(), L"TORVA_ADMIN");
    EXPECT_EQ(Verdict(folder, L"TORVA_ADMIN"), DWORD{TVRDB_OK});
}

TEST(Maintenance, MissingDatabaseIsIntactAndStaysMissing) {
    TestFolder folder;
    EXPECT_EQ(Verdict(folder, L"TORVA_GINA"), DWORD{TVRDB_OK});
    EXPECT_TRUE(folder.Files().empty());
}

TEST(Maintenance, FlippedPayloadByteIsDamage) {
    TestFolder folder;
    WriteSample(folder.Path(), L"TORVA_ADMIN");
    const std::wstring file = folder.FileOf(L"TORVA_ADMIN", 1);
    auto bytes = ReadFileBytes(file);
    bytes[kFirstRecordPayload + 2] ^= 0x01; // the key name's first character
    WriteFileBytes(file, bytes);
    EXPECT_EQ(Verdict(folder, L"TORVA_ADMIN"), DWORD{TVRDB_E_CORRUPT});
    // A check repairs nothing: the damage is still there to be seen.
    EXPECT_EQ(ReadFileBytes(file), bytes);
}

TEST(Maintenance, TornTailIsIntact) {
    TestFolder folder;
    WriteSample(folder.Path(), L"TORVA_ADMIN");
    const std::wstring file = folder.FileOf(L"TORVA_ADMIN", 1);
    auto bytes = ReadFileBytes(file);
    bytes.resize(bytes.size() - 5); // the last write cut off by a crash
    WriteFileBytes(file, bytes);
    EXPECT_EQ(Verdict(folder, L"TORVA_ADMIN"), DWORD{TVRDB_OK});
}

// What an opener would clear away (a torn tail, a stale generation below the
// current one, an unsealed leftover above it) a check only reads past.
TEST(Maintenance, CheckChangesNoFile) {
    TestFolder folder;
    WriteSample(folder.Path(), L"TORVA_ADMIN");
    auto bytes = ReadFileBytes(folder.FileOf(L"TORVA_ADMIN", 1));
    auto current = bytes;
    const format::FileHeader header = LogFile::MakeHeader(2, format::kFlagSealed);
    std::memcpy(current.data(), &header, sizeof(header));
    current.resize(current.size() - 5);
    WriteFileBytes(folder.FileOf(L"TORVA_ADMIN", 2), current);
    const format::FileHeader leftover = LogFile::MakeHeader(3, 0);
    WriteFileBytes(folder.FileOf(L"TORVA_ADMIN", 3),
                   std::vector<uint8_t>(reinterpret_cast<const uint8_t*>(&leftover),
                                        reinterpret_cast<const uint8_t*>(&leftover + 1)));
    const auto before = Snapshot(folder);

    EXPECT_EQ(Verdict(folder, L"TORVA_ADMIN"), DWORD{TVRDB_OK});
    EXPECT_EQ(Snapshot(folder), before);
    EXPECT_EQ(Verdict(folder, L"TORVA_GINA"), DWORD{TVRDB_OK});
    EXPECT_EQ(Snapshot(folder), before);
}

TEST(Maintenance, DamagedHeaderIsDamage) {
    TestFolder folder;
    WriteSample(folder.Path(), L"TORVA_ADMIN");
    const std::wstring file = folder.FileOf(L"TORVA_ADMIN", 1);
    auto bytes = ReadFileBytes(file);
    bytes[8] ^= 0x40;
    WriteFileBytes(file, bytes);
    EXPECT_EQ(Verdict(folder, L"TORVA_ADMIN"), DWORD{TVRDB_E_CORRUPT});
}

// A process that opened the database before the damage keeps its tree; the
// check must read the file, not any tree.
TEST(Maintenance, DamageAfterAnOpenIsSeen) {
    TestFolder folder;
    WriteSample(folder.Path(), L"TORVA_ADMIN");
    auto holder = OpenInstance(folder.Path(), L"TORVA_ADMIN");
    ASSERT_TRUE(holder);
    EXPECT_EQ(Verdict(folder, L"TORVA_ADMIN"), DWORD{TVRDB_OK});
    const std::wstring file = folder.FileOf(L"TORVA_ADMIN", 1);
    auto bytes = ReadFileBytes(file);
    bytes[kFirstRecordPayload + 2] ^= 0x01;
    WriteFileBytes(file, bytes);
    EXPECT_EQ(Verdict(folder, L"TORVA_ADMIN"), DWORD{TVRDB_E_CORRUPT});
}

TEST(Maintenance, LockHeldElsewhereGivesBusyInTime) {
    TestFolder folder;
    WriteSample(folder.Path(), L"TORVA_ADMIN");
    std::wstring identity;
    ASSERT_EQ(Database::IdentityOf(folder.Path(), L"TORVA_ADMIN", identity), DWORD{TVRDB_OK});
    std::atomic<bool> held{false}, release{false};
    std::thread owner([&] {
        DatabaseLock lock;
        std::optional<torva::MutexLock> hold;
        bool abandoned = false;
        if (lock.Create(identity) == TVRDB_OK && lock.Acquire(1000, hold, abandoned) == TVRDB_OK)
            held = true;
        while (!release)
            ::Sleep(5);
    });
    while (!held)
        ::Sleep(5);
    DWORD verdict = 0;
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(DatabaseMaintenance::Check(folder.Path(), L"TORVA_ADMIN", 300, verdict),
              DWORD{TVRDB_E_BUSY});
    EXPECT_EQ(DatabaseMaintenance::Initialise(folder.Path(), L"TORVA_ADMIN", 300),
              DWORD{TVRDB_E_BUSY});
    EXPECT_LT(::GetTickCount() - start, 3000u);
    release = true;
    owner.join();
    EXPECT_EQ(Verdict(folder, L"TORVA_ADMIN"), DWORD{TVRDB_OK});
}

TEST(Maintenance, InitialiseEmptiesOneDatabaseAndLeavesTheOthers) {
    TestFolder folder;
    for (const wchar_t* name : {L"TORVA_SYSTEMDEFINED", L"TORVA_ADMIN", L"TORVA_ADMIN2",
                                L"TORVA_GINA", L"S-1-5-21-0-0-0-1000"}) {
        WriteSample(folder.Path(), name);
    }
    const std::wstring damaged = folder.FileOf(L"TORVA_ADMIN", 1);
    auto bytes = ReadFileBytes(damaged);
    bytes[kFirstRecordPayload + 2] ^= 0x01;
    WriteFileBytes(damaged, bytes);
    auto before = Snapshot(folder);
    before.erase(L"TORVA_ADMIN.00000001.tvdb");

    ASSERT_EQ(DatabaseMaintenance::Initialise(folder.Path(), L"TORVA_ADMIN", kWait),
              DWORD{TVRDB_OK});
    auto after = Snapshot(folder);
    ASSERT_EQ(after.count(L"TORVA_ADMIN.00000002.tvdb"), 1u);
    EXPECT_EQ(after.count(L"TORVA_ADMIN.00000001.tvdb"), 0u);
    after.erase(L"TORVA_ADMIN.00000002.tvdb");
    EXPECT_EQ(after, before);

    EXPECT_EQ(Verdict(folder, L"TORVA_ADMIN"), DWORD{TVRDB_OK});
    auto db = OpenInstance(folder.Path(), L"TORVA_ADMIN");
    ASSERT_TRUE(db);
    EXPECT_EQ(Dump(*db), L"[]\n");
}

// A process that had the database open (the relay, the manager) must not
// go on with the old content or append to the old file.
TEST(Maintenance, HolderOfTheOldFileFollowsTheInitialisation) {
    TestFolder folder;
    WriteSample(folder.Path(), L"TORVA_GINA");
    auto holder = OpenInstance(folder.Path(), L"TORVA_GINA");
    ASSERT_TRUE(holder);
    ASSERT_EQ(DatabaseMaintenance::Initialise(folder.Path(), L"TORVA_GINA", kWait),
              DWORD{TVRDB_OK});
    EXPECT_EQ(holder->OpenKey(Path(L"K")), DWORD{TVRDB_E_KEY_NOT_FOUND});
    ASSERT_EQ(holder->CreateKey(Path(L"New")), DWORD{TVRDB_OK});
    holder.reset();
    auto reader = OpenInstance(folder.Path(), L"TORVA_GINA");
    ASSERT_TRUE(reader);
    EXPECT_EQ(Dump(*reader), L"[]\n[New]\n");
}

TEST(Maintenance, InitialiseCreatesAMissingDatabase) {
    TestFolder folder;
    ASSERT_EQ(DatabaseMaintenance::Initialise(folder.Path(), L"TORVA_GINA", kWait),
              DWORD{TVRDB_OK});
    EXPECT_EQ(folder.Files(), std::vector<std::wstring>{L"TORVA_GINA.00000001.tvdb"});
    EXPECT_EQ(Verdict(folder, L"TORVA_GINA"), DWORD{TVRDB_OK});
}

} // namespace
} // namespace brisbel::test
