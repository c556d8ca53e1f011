// The initialisation program: the shared databases that are missing or
// empty get their first content, nothing else changes.
#include "SampleDatabase.h"
#include "ServiceProcess.h"

#include "DbInitializer.h"

#include "Database.h"
#include "ProgramFolder.h"

#include <gtest/gtest.h>

#include <map>

namespace dbservice::test {
namespace {

std::map<std::wstring, std::vector<uint8_t>> Snapshot(const TempFolder& folder) {
    std::map<std::wstring, std::vector<uint8_t>> files;
    for (const auto& file : folder.Files())
        files[file] = ReadBytes(folder.Path() + L'\\' + file);
    return files;
}

bool HasKey(const std::wstring& folder, const std::wstring& name, const wchar_t* key) {
    std::wstring identity;
    if (brisbel::Database::IdentityOf(folder, name, identity)) return false;
    brisbel::Database db(folder, name, identity);
    brisbel::KeyPath path;
    return db.Open() == 0 && brisbel::KeyPath::Parse(key, path) == 0 && db.OpenKey(path) == 0;
}

TEST(DbInit, FillsMissingAndEmptyDatabasesAndLeavesTheRest) {
    TempFolder folder(L"dbinit");
    WriteSample(folder.Path(), L"TORVA_ADMIN"); // holds something: left alone
    {
        // Present but empty, as an initialisation by the service leaves it.
        std::wstring identity;
        ASSERT_EQ(brisbel::Database::IdentityOf(folder.Path(), L"TORVA_GINA", identity), 0u);
        brisbel::Database db(folder.Path(), L"TORVA_GINA", identity);
        ASSERT_EQ(db.Open(), 0u);
    }
    WriteSample(folder.Path(), L"S-1-5-21-1-2-3-1001");
    const auto admin = ReadBytes(FileOf(folder.Path(), L"TORVA_ADMIN"));
    const auto user = ReadBytes(FileOf(folder.Path(), L"S-1-5-21-1-2-3-1001"));

    const auto outcomes = dbinit::DbInitializer::Run(folder.Path());
    ASSERT_EQ(outcomes.size(), 3u);
    for (const auto& outcome : outcomes)
        EXPECT_EQ(outcome.status, 0u);
    EXPECT_TRUE(outcomes[0].filled);  // TORVA_SYSTEMDEFINED, missing
    EXPECT_FALSE(outcomes[1].filled); // TORVA_ADMIN
    EXPECT_TRUE(outcomes[2].filled);  // TORVA_GINA, empty

    EXPECT_TRUE(HasKey(folder.Path(), L"TORVA_SYSTEMDEFINED", L"DEFINED_MEDIA"));
    EXPECT_TRUE(HasKey(folder.Path(), L"TORVA_GINA", L"DBINFO"));
    EXPECT_FALSE(HasKey(folder.Path(), L"TORVA_ADMIN", L"DBINFO"));
    EXPECT_EQ(ReadBytes(FileOf(folder.Path(), L"TORVA_ADMIN")), admin);
    EXPECT_EQ(ReadBytes(FileOf(folder.Path(), L"S-1-5-21-1-2-3-1001")), user);

    // A second run changes nothing.
    const auto once = Snapshot(folder);
    for (const auto& outcome : dbinit::DbInitializer::Run(folder.Path()))
        EXPECT_FALSE(outcome.filled);
    EXPECT_EQ(Snapshot(folder), once);
}

TEST(DbInit, DamagedDatabaseIsLeftAsItIs) {
    TempFolder folder(L"dbinit");
    WriteSample(folder.Path(), L"TORVA_ADMIN");
    FlipFirstRecordByte(folder.Path(), L"TORVA_ADMIN");
    const auto damaged = ReadBytes(FileOf(folder.Path(), L"TORVA_ADMIN"));
    const auto outcomes = dbinit::DbInitializer::Run(folder.Path());
    EXPECT_EQ(outcomes[1].status, 26u);
    EXPECT_EQ(ReadBytes(FileOf(folder.Path(), L"TORVA_ADMIN")), damaged);
}

TEST(DbInit, ProgramStartsQuicklyAndFillsTheFolderItIsGiven) {
    TempFolder folder(L"dbinit");
    const std::wstring exe = torva::ProgramFolder() + L"TvrDBInit.exe";
    std::wstring command = L"\"" + exe + L"\" \"" + folder.Path() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    const DWORD start = ::GetTickCount();
    ASSERT_TRUE(::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &info));
    torva::UniqueHandle process(info.hProcess), thread(info.hThread);
    // The diagnosis tool waits 5000 ms for it.
    ASSERT_EQ(::WaitForSingleObject(process.get(), 5000), WAIT_OBJECT_0);
    EXPECT_LT(::GetTickCount() - start, 5000u);
    DWORD code = 99;
    ::GetExitCodeProcess(process.get(), &code);
    EXPECT_EQ(code, 0u);
    for (const wchar_t* name : {L"TORVA_SYSTEMDEFINED", L"TORVA_ADMIN", L"TORVA_GINA"})
        EXPECT_TRUE(HasKey(folder.Path(), name, L"DBINFO")) << name;
}

} // namespace
} // namespace dbservice::test
