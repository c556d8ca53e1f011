// The database service as a client meets it: the records on the pipe, the
// checks and initialisations they cause, and what it refuses.
#include "RawClient.h"
#include "SampleDatabase.h"
#include "ServiceProcess.h"

#include "ProgramFolder.h"
#include "Win32Handles.h"

#include <aclapi.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <thread>

namespace dbservice::test {
namespace {

constexpr uint32_t kDamaged = 26;
constexpr uint32_t kRefused = 1;

class DbService : public ::testing::Test {
protected:
    void Start(const std::vector<std::wstring>& extra = {}) {
        m_service = std::make_unique<ServiceProcess>(m_pipe, m_folder.Path(), extra);
        ASSERT_TRUE(m_service->Listening());
    }
    RawReply Send(const std::vector<uint8_t>& request) {
        return RawExchange(m_pipe, request, request.size());
    }
    // One check of a named database; the reply's state, or ~0 when the status was not 0.
    uint32_t CheckState(const std::wstring& name) {
        const auto reply = Send(Golden(7, 14, 0, m_folder.Path(), name, 0));
        EXPECT_EQ(reply.bytes.size(), 2068u);
        return Field(reply.bytes, 8) == 0 ? Field(reply.bytes, 2064) : ~0u;
    }
    std::map<std::wstring, std::vector<uint8_t>> Snapshot() const {
        std::map<std::wstring, std::vector<uint8_t>> files;
        for (const auto& file : m_folder.Files())
            files[file] = ReadBytes(m_folder.Path() + L'\\' + file);
        return files;
    }

    TempFolder m_folder;
    std::wstring m_pipe = UniqueName(L"dbsvc-test");
    std::unique_ptr<ServiceProcess> m_service;
};

TEST_F(DbService, RepliesOfAllFourKindsAreTheRequestWithStatusAndState) {
    for (const wchar_t* name : {L"TORVA_SYSTEMDEFINED", L"TORVA_ADMIN", L"TORVA_GINA"})
        WriteSample(m_folder.Path(), name);
    WriteSample(m_folder.Path(), OwnSid());
    Start();
    const std::wstring folder = m_folder.Path();
    struct Case {
        std::vector<uint8_t> request, expected;
    } cases[] = {
        {Golden(4242, 13, 0, L"", L"", 0), Golden(4242, 13, 0, L"", L"", 0)},
        {Golden(4242, 14, 0, folder, L"TORVA_ADMIN", 0),
         Golden(4242, 14, 0, folder, L"TORVA_ADMIN", 0)},
        {Golden(4242, 15, 0, L"", L"", 0), Golden(4242, 15, 0, L"", L"", 0)},
        {Golden(4242, 16, 0, folder, L"TORVA_GINA", 0),
         Golden(4242, 16, 0, folder, L"TORVA_GINA", 0)},
    };
    for (const auto& c : cases) {
        const auto reply = Send(c.request);
        ASSERT_TRUE(reply.opened);
        EXPECT_EQ(reply.bytes, c.expected) << "code " << Field(c.request, 4);
    }
    EXPECT_EQ(m_service->Codes(), L"13, 14, 15, 16");
}

TEST_F(DbService, FlippedByteInAdminDatabaseIsDamagedAndTornTailIsIntact) {
    WriteSample(m_folder.Path(), L"TORVA_ADMIN");
    WriteSample(m_folder.Path(), L"TORVA_GINA");
    Start();
    EXPECT_EQ(CheckState(L"TORVA_ADMIN"), 0u);
    FlipFirstRecordByte(m_folder.Path(), L"TORVA_ADMIN");
    TearTail(m_folder.Path(), L"TORVA_GINA");
    EXPECT_EQ(CheckState(L"TORVA_ADMIN"), kDamaged);
    EXPECT_EQ(CheckState(L"torva_admin"), kDamaged);
    EXPECT_EQ(CheckState(L"TORVA_GINA"), 0u);
    // Never made: empty, not damaged.
    EXPECT_EQ(CheckState(L"TORVA_SYSTEMDEFINED"), 0u);
}

TEST_F(DbService, UserDatabaseIsTheCallersOwn) {
    WriteSample(m_folder.Path(), OwnSid());
    FlipFirstRecordByte(m_folder.Path(), OwnSid());
    Start();
    auto reply = Send(Golden(1, 13, 0, L"", L"", 0));
    EXPECT_EQ(Field(reply.bytes, 8), 0u);
    EXPECT_EQ(Field(reply.bytes, 16), kDamaged);
    // The process id in the record is a hint: another id changes nothing.
    reply = Send(Golden(999999, 13, 0, L"", L"", 0));
    EXPECT_EQ(Field(reply.bytes, 16), kDamaged);

    reply = Send(Golden(1, 15, 0, L"", L"", 0));
    EXPECT_EQ(Field(reply.bytes, 8), 0u);
    reply = Send(Golden(1, 13, 0, L"", L"", 0));
    EXPECT_EQ(Field(reply.bytes, 8), 0u);
    EXPECT_EQ(Field(reply.bytes, 16), 0u);
}

TEST_F(DbService, InitialisingOneDatabaseLeavesEveryOtherByteForByte) {
    for (const wchar_t* name :
         {L"TORVA_SYSTEMDEFINED", L"TORVA_ADMIN", L"TORVA_ADMIN_OLD", L"TORVA_GINA"}) {
        WriteSample(m_folder.Path(), name);
    }
    WriteSample(m_folder.Path(), OwnSid());
    FlipFirstRecordByte(m_folder.Path(), L"TORVA_ADMIN");
    auto before = Snapshot();
    before.erase(L"TORVA_ADMIN.00000001.tvdb");
    Start();

    const auto reply = Send(Golden(1, 16, 0, m_folder.Path(), L"TORVA_ADMIN", 0));
    EXPECT_EQ(Field(reply.bytes, 8), 0u);
    EXPECT_EQ(CheckState(L"TORVA_ADMIN"), 0u);
    auto after = Snapshot();
    EXPECT_EQ(after.erase(L"TORVA_ADMIN.00000002.tvdb"), 1u);
    EXPECT_EQ(after, before);
}

TEST_F(DbService, MalformedRequestsAreClosedWithoutReply) {
    WriteSample(m_folder.Path(), L"TORVA_ADMIN");
    Start();
    auto unterminated = Golden(1, 14, 0, m_folder.Path(), L"TORVA_ADMIN", 0);
    for (size_t i = 1040; i < 2064; i += 2)
        unterminated[i] = 'A';
    const std::vector<uint8_t> cases[] = {
        Golden(1, 12, 0, L"", L"", 0), // no such code
        [] {
            auto r = Golden(1, 13, 0, L"", L"", 0);
            r[12] = 8;
            return r;
        }(), // size not the code's
        [&] {
            // Code 14 framed as if it were code 13.
            auto r = Golden(1, 14, 0, m_folder.Path(), L"TORVA_ADMIN", 0);
            r[12] = 4;
            r[13] = 0;
            return std::vector<uint8_t>(r.begin(), r.begin() + 20);
        }(),
        unterminated,
    };
    for (const auto& request : cases) {
        const DWORD start = ::GetTickCount();
        const auto reply = RawExchange(m_pipe, request, 2068, 8000);
        // Judged from the header alone, without waiting for more bytes.
        EXPECT_LT(::GetTickCount() - start, 2000u) << "code " << Field(request, 4);
        ASSERT_TRUE(reply.opened);
        EXPECT_TRUE(reply.bytes.empty()) << "code " << Field(request, 4);
        EXPECT_TRUE(reply.closed);
    }
    // Requests cut short: a client that goes away, and one that stalls
    // (the service gives up on it after its request time-out).
    {
        auto part = Golden(1, 13, 0, L"", L"", 0);
        part.resize(10);
        EXPECT_TRUE(RawExchange(m_pipe, part, 20, 300).bytes.empty());
        auto named = Golden(1, 14, 0, m_folder.Path(), L"TORVA_ADMIN", 0);
        named.resize(1000);
        const auto reply = RawExchange(m_pipe, named, 2068, 8000);
        EXPECT_TRUE(reply.bytes.empty());
        EXPECT_TRUE(reply.closed);
    }
    EXPECT_EQ(CheckState(L"TORVA_ADMIN"), 0u);
    const auto lines = m_service->LogLines();
    ASSERT_EQ(lines.size(), 7u);
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(lines[i].rfind("malformed", 0), 0u) << lines[i];
    EXPECT_EQ(lines[6], "14 0 0 TORVA_ADMIN");
}

TEST_F(DbService, FolderElsewhereAndForeignNamesAreRefused) {
    TempFolder elsewhere(L"dbsvc-elsewhere");
    WriteSample(elsewhere.Path(), L"TORVA_ADMIN");
    FlipFirstRecordByte(elsewhere.Path(), L"TORVA_ADMIN");
    const auto elsewhereBefore = ReadBytes(FileOf(elsewhere.Path(), L"TORVA_ADMIN"));
    WriteSample(m_folder.Path(), OwnSid());
    const auto ownBefore = ReadBytes(FileOf(m_folder.Path(), OwnSid()));
    Start();

    const std::wstring relative = L"dbsvc-relative";
    const std::wstring dotted = m_folder.Path() + L"\\..\\" + L"x";
    const std::pair<std::wstring, std::wstring> refused[] = {
        {elsewhere.Path(), L"TORVA_ADMIN"},
        {relative, L"TORVA_ADMIN"},
        {dotted, L"TORVA_ADMIN"},
        {L"", L"TORVA_ADMIN"},
        {m_folder.Path(),
         L"..\\" + elsewhere.Path().substr(elsewhere.Path().rfind(L'\\') + 1) + L"\\TORVA_ADMIN"},
        {m_folder.Path(), OwnSid()}, // a user's database only through 13 and 15
        {m_folder.Path(), L"TORVA_OTHER"},
    };
    for (const auto& [folder, name] : refused) {
        for (const uint32_t code : {14u, 16u}) {
            const auto reply = Send(Golden(1, code, 0, folder, name, 0));
            ASSERT_EQ(reply.bytes.size(), 2068u);
            EXPECT_EQ(Field(reply.bytes, 8), kRefused) << "code " << code;
            EXPECT_EQ(Field(reply.bytes, 2064), 0u);
        }
    }
    EXPECT_EQ(ReadBytes(FileOf(elsewhere.Path(), L"TORVA_ADMIN")), elsewhereBefore);
    EXPECT_EQ(ReadBytes(FileOf(m_folder.Path(), OwnSid())), ownBefore);
    // The served folder however it is spelt.
    std::wstring upper = m_folder.Path() + L"\\";
    for (auto& c : upper)
        c = static_cast<wchar_t>(::towupper(c));
    const auto reply = Send(Golden(1, 14, 0, upper, L"TORVA_ADMIN", 0));
    EXPECT_EQ(Field(reply.bytes, 8), 0u);
}

TEST_F(DbService, OneInstanceAlwaysListens) {
    Start();
    std::vector<std::thread> clients;
    std::atomic<int> failures{0};
    for (int t = 0; t < 4; ++t) {
        clients.emplace_back([&] {
            for (int i = 0; i < 25; ++i) {
                const auto reply = RawExchange(m_pipe, Golden(1, 13, 0, L"", L"", 0), 20);
                if (!reply.opened || reply.bytes.size() != 20) ++failures;
            }
        });
    }
    for (auto& c : clients)
        c.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(m_service->LogLines().size(), 100u);
}

TEST_F(DbService, StopEventEndsTheServiceAndThePipeGoes) {
    Start();
    DWORD code = 1;
    ASSERT_TRUE(m_service->Stop(5000, code));
    EXPECT_EQ(code, 0u);
    const auto reply = RawExchange(m_pipe, Golden(1, 13, 0, L"", L"", 0), 20, 500);
    EXPECT_FALSE(reply.opened);
}

// A signed-in user may send requests, but never make an instance of the
// pipe: whoever can would listen in the service's place.
TEST_F(DbService, UsersMayReadAndWriteThePipeButNotServeIt) {
    Start();
    const std::wstring path = L"\\\\.\\pipe\\" + m_pipe;
    torva::UniqueFile pipe(
        ::CreateFileW(path.c_str(), READ_CONTROL, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(pipe);
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(::GetSecurityInfo(pipe.get(), SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                nullptr, &dacl, nullptr, &descriptor),
              DWORD{ERROR_SUCCESS});
    torva::UniqueLocalMem owner(descriptor);
    ASSERT_NE(dacl, nullptr);
    BYTE users[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof(users);
    ASSERT_TRUE(::CreateWellKnownSid(WinAuthenticatedUserSid, nullptr, users, &size));
    int found = 0;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        ASSERT_TRUE(::GetAce(dacl, i, &ace));
        const auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        if (allowed->Header.AceType != ACCESS_ALLOWED_ACE_TYPE ||
            !::EqualSid(const_cast<DWORD*>(&allowed->SidStart), users)) {
            continue;
        }
        ++found;
        const ACCESS_MASK mask = allowed->Mask;
        EXPECT_EQ(mask & (GENERIC_ALL | GENERIC_WRITE | FILE_CREATE_PIPE_INSTANCE), 0u) << mask;
        EXPECT_EQ(mask & (FILE_READ_DATA | FILE_WRITE_DATA),
                  DWORD{FILE_READ_DATA | FILE_WRITE_DATA})
            << mask;
    }
    EXPECT_EQ(found, 1);
}

// Two services on one pipe name would answer for different folders.
TEST_F(DbService, SecondServiceOnTheSameNameEndsAtOnce) {
    Start();
    const std::wstring exe = torva::ProgramFolder() + L"TvrDBService.exe";
    std::wstring command =
        L"\"" + exe + L"\" --pipe \"" + m_pipe + L"\" --folder \"" + m_folder.Path() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &info));
    torva::UniqueHandle process(info.hProcess), thread(info.hThread);
    if (::WaitForSingleObject(process.get(), 10000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.get(), 99);
        FAIL() << "the second service went on running";
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process.get(), &code);
    EXPECT_EQ(code, 3u);
    EXPECT_EQ(Send(Golden(1, 13, 0, L"", L"", 0)).bytes.size(), 20u);
}

TEST_F(DbService, FaultSwitchesShapeTheReply) {
    {
        Start({L"--short", L"7"});
        const auto reply = RawExchange(m_pipe, Golden(1, 13, 0, L"", L"", 0), 20, 2000);
        EXPECT_EQ(reply.bytes.size(), 7u);
        m_service.reset();
    }
    {
        Start({L"--no-reply"});
        const auto reply = RawExchange(m_pipe, Golden(1, 13, 0, L"", L"", 0), 20, 800);
        EXPECT_TRUE(reply.bytes.empty());
        EXPECT_FALSE(reply.closed);
        EXPECT_EQ(m_service->Codes(), L"13");
        m_service.reset();
    }
    {
        Start({L"--delay", L"700"});
        const DWORD start = ::GetTickCount();
        const auto reply = RawExchange(m_pipe, Golden(1, 13, 0, L"", L"", 0), 20, 5000);
        EXPECT_EQ(reply.bytes.size(), 20u);
        EXPECT_GE(::GetTickCount() - start, 650u);
        m_service.reset();
    }
    {
        WriteSample(m_folder.Path(), L"TORVA_ADMIN");
        FlipFirstRecordByte(m_folder.Path(), L"TORVA_ADMIN");
        Start({L"--status", L"4"});
        const auto reply = Send(Golden(1, 14, 0, m_folder.Path(), L"TORVA_ADMIN", 0));
        EXPECT_EQ(Field(reply.bytes, 8), 4u);
        EXPECT_EQ(Field(reply.bytes, 2064), 0u);
    }
}

} // namespace
} // namespace dbservice::test
