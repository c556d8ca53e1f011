// Two processes on one database at once, and a writer killed at random
// moments. The other process is brisbel_test_helper (see its header comment).
#include "TestFolder.h"
#include "WritePattern.h"

#include "RecordCodec.h"
#include "StorageFormat.h"
#include "Win32Handles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace brisbel::test {
namespace {

class Child {
public:
    explicit Child(const std::vector<std::wstring>& args) {
        wchar_t self[MAX_PATH];
        const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring exe(self, length);
        exe = exe.substr(0, exe.find_last_of(L'\\') + 1) + L"brisbel_test_helper.exe";
        std::wstring command = L"\"" + exe + L"\"";
        for (const auto& arg : args)
            command += L" \"" + arg + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        if (!::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &info)) {
            ADD_FAILURE() << "cannot start the helper: " << ::GetLastError();
            return;
        }
        m_process.reset(info.hProcess);
        torva::UniqueHandle thread(info.hThread);
    }
    // The exit code, or -1 when it did not end in time.
    int Wait(DWORD timeoutMs = 120000) {
        if (!m_process || ::WaitForSingleObject(m_process.get(), timeoutMs) != WAIT_OBJECT_0) {
            return -1;
        }
        DWORD code = 0;
        ::GetExitCodeProcess(m_process.get(), &code);
        return static_cast<int>(code);
    }
    void Kill() {
        if (m_process) ::TerminateProcess(m_process.get(), 99);
    }

private:
    torva::UniqueHandle m_process;
};

// What the helper's write mode stores for each i, done in this process.
void WriteLoop(Database& db, const wchar_t* key, DWORD first, DWORD count) {
    ASSERT_EQ(db.CreateKey(Path(key)), DWORD{TVRDB_OK});
    for (DWORD i = first; i < first + count; ++i) {
        const std::wstring n = std::to_wstring(i);
        const auto blob = Pattern(i, BlobSize(i));
        const auto big = Pattern(i, kBigSize);
        ASSERT_EQ(SetDword(db, key, (L"v" + n).c_str(), i), DWORD{TVRDB_OK});
        ASSERT_EQ(db.SetValue(Path(key), L"b" + n, TVRDB_TYPE_BINARY, blob.data(),
                              static_cast<DWORD>(blob.size())),
                  DWORD{TVRDB_OK});
        ASSERT_EQ(db.SetValue(Path(key), L"big", TVRDB_TYPE_BINARY, big.data(),
                              static_cast<DWORD>(big.size())),
                  DWORD{TVRDB_OK});
    }
}

void ExpectWritten(Database& db, const wchar_t* key, DWORD i) {
    const std::wstring n = std::to_wstring(i);
    DWORD value = ~0u;
    ASSERT_EQ(QueryDword(db, key, (L"v" + n).c_str(), value), DWORD{TVRDB_OK}) << i;
    EXPECT_EQ(value, i);
    std::vector<BYTE> data(4096);
    DWORD size = static_cast<DWORD>(data.size());
    ASSERT_EQ(db.QueryValue(Path(key), L"b" + n, nullptr, data.data(), &size), DWORD{TVRDB_OK});
    data.resize(size);
    EXPECT_EQ(data, Pattern(i, BlobSize(i))) << i;
}

// What the kill loops know after each round: every write the killed writer
// reported is there, and "big", the last write of each step, holds either the
// last reported step or the one in flight when the writer died.
struct ReportedWrites {
    DWORD next = 0;
    bool any = false;
    DWORD last = 0;

    void Check(Database& db, const std::vector<DWORD>& done, size_t bigSize) {
        for (const DWORD i : done)
            ExpectWritten(db, L"K", i);
        if (!done.empty()) {
            any = true;
            last = done.back();
            next = last + 1;
        }
        if (!any) return;
        std::vector<BYTE> big(bigSize);
        DWORD size = static_cast<DWORD>(big.size());
        ASSERT_EQ(db.QueryValue(Path(L"K"), L"big", nullptr, big.data(), &size), DWORD{TVRDB_OK});
        DWORD index = 0;
        std::memcpy(&index, big.data(), sizeof(index));
        EXPECT_TRUE(index == last || index == last + 1) << index;
        EXPECT_EQ(big, Pattern(index, bigSize));
    }
};

TEST(MultiProcess, InterleavedWritesAreVisibleToBoth) {
    TestFolder folder;
    auto db = OpenInstance(folder.Path(), L"mp");
    ASSERT_TRUE(db);
    const std::wstring report = folder.Path() + L"\\report";
    {
        Child child({L"write", folder.Path(), L"mp", L"Child", L"0", L"120", report});
        WriteLoop(*db, L"Parent", 0, 120);
        ASSERT_EQ(child.Wait(), 0);
    }
    for (DWORD i = 0; i < 120; ++i)
        ExpectWritten(*db, L"Child", i);
    for (DWORD i = 0; i < 120; ++i)
        ExpectWritten(*db, L"Parent", i);
    uint32_t before = 0;
    ASSERT_EQ(db->Generation(before), DWORD{TVRDB_OK});
    EXPECT_GT(before, 1u) << "the big values should have made both sides compact";
    EXPECT_EQ(Child({L"verify", folder.Path(), L"mp", L"Parent", L"0", L"120"}).Wait(), 0);

    // The other side compacts while this one holds the old generation open.
    ASSERT_EQ(Child({L"compact", folder.Path(), L"mp"}).Wait(), 0);
    WriteLoop(*db, L"After", 0, 5);
    uint32_t after = 0;
    ASSERT_EQ(db->Generation(after), DWORD{TVRDB_OK});
    EXPECT_GT(after, before);
    EXPECT_EQ(Child({L"verify", folder.Path(), L"mp", L"After", L"0", L"5"}).Wait(), 0);
    EXPECT_EQ(Child({L"verify", folder.Path(), L"mp", L"Child", L"0", L"120"}).Wait(), 0);
}

std::vector<DWORD> ReadReport(const std::wstring& path) {
    // A writer killed before it got to create its report has reported nothing.
    if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return {};
    const auto bytes = ReadFileBytes(path);
    std::vector<DWORD> done(bytes.size() / sizeof(DWORD));
    std::memcpy(done.data(), bytes.data(), done.size() * sizeof(DWORD));
    return done;
}

TEST(MultiProcess, KilledWriterLosesNothingItReported) {
    TestFolder folder;
    const auto seed =
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::mt19937 random(seed);
    std::uniform_int_distribution<DWORD> delay(150, 1500);
    SCOPED_TRACE("seed " + std::to_string(seed));

    ReportedWrites reported;
    size_t total = 0;
    for (int round = 0; round < 6; ++round) {
        const std::wstring report = folder.Path() + L"\\report" + std::to_wstring(round);
        {
            Child writer({L"write", folder.Path(), L"kill", L"K", std::to_wstring(reported.next),
                          L"1000000", report});
            ::Sleep(delay(random));
            writer.Kill();
            ASSERT_EQ(writer.Wait(), 99) << "the writer ended before it was killed";
        }
        const auto done = ReadReport(report);
        total += done.size();

        DWORD status = 0;
        auto db = OpenInstance(folder.Path(), L"kill", &status);
        ASSERT_EQ(status, DWORD{TVRDB_OK}) << "round " << round;
        reported.Check(*db, done, kBigSize);
    }
    EXPECT_TRUE(reported.any);
    std::printf("[          ] %zu writes reported over 6 kills (seed %u)\n", total, seed);
}

// As above, and each time the power goes as well: the write in flight
// reached the disk only in part (some sectors, or all but the header's), at
// its full length. Opening must take it for the torn write it is.
TEST(MultiProcess, KilledWriterWithATornLastRecordLosesNothingItReported) {
    TestFolder folder;
    const auto seed =
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::mt19937 random(seed);
    std::uniform_int_distribution<DWORD> delay(150, 1500);
    SCOPED_TRACE("seed " + std::to_string(seed));

    ReportedWrites reported;
    for (int round = 0; round < 6; ++round) {
        const std::wstring report = folder.Path() + L"\\report" + std::to_wstring(round);
        {
            Child writer({L"write", folder.Path(), L"torn", L"K", std::to_wstring(reported.next),
                          L"1000000", report});
            ::Sleep(delay(random));
            writer.Kill();
            ASSERT_EQ(writer.Wait(), 99) << "the writer ended before it was killed";
        }
        const auto done = ReadReport(report);

        uint32_t generation = 0;
        {
            DWORD status = 0;
            auto db = OpenInstance(folder.Path(), L"torn", &status);
            ASSERT_EQ(status, DWORD{TVRDB_OK}) << "round " << round;
            ASSERT_EQ(db->Generation(generation), DWORD{TVRDB_OK});
        }
        // A "big" that no reported step wrote, torn three ways in turn.
        std::vector<uint8_t> record;
        const auto big = Pattern(reported.next + 100000, kBigSize);
        RecordCodec::Encode(format::kSetValue, L"K", L"big", TVRDB_TYPE_BINARY, big.data(),
                            big.size(), record);
        switch (round % 3) {
        case 0: // two sectors in the middle never written
            std::fill(record.begin() + 4096, record.begin() + 5120, uint8_t(0));
            break;
        case 1: // the header's sector never written
            std::fill(record.begin(), record.begin() + 512, uint8_t(0));
            break;
        default: // one sector with another write's bytes
            std::fill(record.begin() + 20000, record.begin() + 20512, uint8_t(0x3C));
            break;
        }
        const std::wstring file = folder.FileOf(L"torn", generation);
        auto bytes = ReadFileBytes(file);
        const size_t before = bytes.size();
        bytes.insert(bytes.end(), record.begin(), record.end());
        WriteFileBytes(file, bytes);

        DWORD status = 0;
        auto db = OpenInstance(folder.Path(), L"torn", &status);
        ASSERT_EQ(status, DWORD{TVRDB_OK}) << "round " << round;
        EXPECT_EQ(ReadFileBytes(file).size(), before) << "round " << round;
        reported.Check(*db, done, kBigSize);
    }
    EXPECT_TRUE(reported.any);
}

} // namespace
} // namespace brisbel::test
