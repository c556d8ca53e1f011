// The pipe client against the database service running as its own process,
// as the diagnosis tool meets it: every state a row can show.
#include "RawClient.h"
#include "SampleDatabase.h"
#include "ServiceProcess.h"

#include "CDbServicePipe.h"
#include "ProgramFolder.h"

#include <gtest/gtest.h>

#include <memory>

namespace ostravo::test {
namespace {

using dbservice::test::ServiceProcess;
using dbservice::test::TempFolder;

class ServiceClient : public ::testing::Test {
protected:
    ServiceClient() {
        m_storage = m_root.Path() + L"\\Storage";
        ::CreateDirectoryW(m_storage.c_str(), nullptr);
        m_settings.SetPipeName(m_pipe);
        m_settings.SetDbPath(m_storage);
        // Tests not about timing allow for a machine busy with other work;
        // those that are set the tool's defaults themselves.
        m_settings.SetRetry(50, 200);
    }
    ~ServiceClient() override {
        m_service.reset();
        for (const auto& file : Files(m_storage))
            ::DeleteFileW((m_storage + L"\\" + file).c_str());
        ::RemoveDirectoryW(m_storage.c_str());
    }
    static std::vector<std::wstring> Files(const std::wstring& folder) {
        std::vector<std::wstring> files;
        WIN32_FIND_DATAW found{};
        torva::UniqueFind find(::FindFirstFileW((folder + L"\\*").c_str(), &found));
        if (!find) return files;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                files.push_back(found.cFileName);
        } while (::FindNextFileW(find.get(), &found));
        return files;
    }
    void Start(const std::vector<std::wstring>& extra = {}) {
        m_service = std::make_unique<ServiceProcess>(m_pipe, m_storage, extra);
        ASSERT_TRUE(m_service->Listening());
    }
    DWORD State(const wchar_t* name) {
        DWORD state = 0;
        CDbServicePipe client(m_settings);
        if (!name) {
            (void)client.CheckUserDb(state);
        } else {
            (void)client.CheckDb(state, m_settings.DbPath(), name);
        }
        return state;
    }

    TempFolder m_root{L"ostravo-svc"};
    std::wstring m_storage;
    std::wstring m_pipe = dbservice::test::UniqueName(L"ostravo-svc");
    COstravoSettings m_settings;
    std::unique_ptr<ServiceProcess> m_service;
};

TEST_F(ServiceClient, IntactAndDamagedDatabases) {
    using namespace dbservice::test;
    for (const wchar_t* name : {L"TORVA_SYSTEMDEFINED", L"TORVA_ADMIN", L"TORVA_GINA"})
        WriteSample(m_storage, name);
    WriteSample(m_storage, OwnSid());
    FlipFirstRecordByte(m_storage, L"TORVA_ADMIN");
    TearTail(m_storage, L"TORVA_GINA");
    Start();
    EXPECT_EQ(State(L"TORVA_SYSTEMDEFINED"), 0u);
    EXPECT_NE(State(L"TORVA_ADMIN"), 0u);
    EXPECT_EQ(State(L"TORVA_GINA"), 0u);
    EXPECT_EQ(State(nullptr), 0u);

    EXPECT_EQ(CDbServicePipe(m_settings).InitDb(m_storage, L"TORVA_ADMIN"), 0u);
    EXPECT_EQ(State(L"TORVA_ADMIN"), 0u);
    EXPECT_EQ(m_service->Codes(), L"14, 14, 14, 13, 16, 14");
}

TEST_F(ServiceClient, FolderElsewhereIsRefusedAndShowsDamaged) {
    TempFolder elsewhere(L"ostravo-elsewhere");
    dbservice::test::WriteSample(elsewhere.Path(), L"TORVA_ADMIN");
    const auto before =
        dbservice::test::ReadBytes(dbservice::test::FileOf(elsewhere.Path(), L"TORVA_ADMIN"));
    Start();
    CDbServicePipe client(m_settings);
    DWORD state = 0;
    EXPECT_NE(client.CheckDb(state, elsewhere.Path(), L"TORVA_ADMIN"), 0u);
    EXPECT_EQ(state, 3u);
    EXPECT_NE(client.InitDb(elsewhere.Path(), L"TORVA_ADMIN"), 0u);
    EXPECT_EQ(dbservice::test::ReadBytes(dbservice::test::FileOf(elsewhere.Path(), L"TORVA_ADMIN")),
              before);
}

// The administrator ticks only the user database: one initialisation, the
// initialisation program, then the refresh.
TEST_F(ServiceClient, InitialisingTheUserDatabaseThenRefreshing) {
    torva::UniqueRegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, COstravoSettings::kKeyPath, 0,
                        KEY_QUERY_VALUE | KEY_WOW64_32KEY, key.put()) == ERROR_SUCCESS &&
        ::RegQueryValueExW(key.get(), L"DbPath", nullptr, nullptr, nullptr, nullptr) ==
            ERROR_SUCCESS) {
        GTEST_SKIP() << "DBMGR \"DbPath\" is set here: TvrDBInit would fill that folder";
    }
    const std::wstring program = m_root.Path() + L"\\TvrDBInit.exe";
    ASSERT_TRUE(
        ::CopyFileW((torva::ProgramFolder() + L"TvrDBInit.exe").c_str(), program.c_str(), FALSE));
    Start();
    CDbServicePipe client(m_settings);
    EXPECT_EQ(client.InitUserDb(), 0u);
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(client.RunDbInit(), DWORD{ERROR_SUCCESS});
    EXPECT_LT(::GetTickCount() - start, CDbServicePipe::kDbInitWaitMs);
    for (const wchar_t* name : {L"TORVA_SYSTEMDEFINED", L"TORVA_ADMIN", L"TORVA_GINA"})
        EXPECT_EQ(State(name), 0u) << name;
    EXPECT_EQ(State(nullptr), 0u);
    EXPECT_EQ(m_service->Codes(), L"15, 14, 14, 14, 13");
    // The initialisation program filled the databases of this folder.
    EXPECT_EQ(Files(m_storage).size(), 4u);
    ::DeleteFileW(program.c_str());
}

TEST_F(ServiceClient, StoppedServiceGivesNoAnswerQuickly) {
    Start();
    DWORD code = 0;
    ASSERT_TRUE(m_service->Stop(5000, code));
    const DWORD start = ::GetTickCount();
    for (const wchar_t* name : std::initializer_list<const wchar_t*>{
             L"TORVA_SYSTEMDEFINED", L"TORVA_ADMIN", L"TORVA_GINA", nullptr})
        EXPECT_EQ(State(name), 3u);
    EXPECT_LT(::GetTickCount() - start, 3000u);
}

TEST_F(ServiceClient, SlowShortOrMissingRepliesGiveNoAnswer) {
    struct Case {
        const char* what;
        std::vector<std::wstring> switches;
    } cases[] = {
        {"slow", {L"--delay", L"1600"}},
        {"short", {L"--short", L"10"}},
        {"missing", {L"--no-reply"}},
    };
    m_settings.SetRetry(COstravoSettings::kDefaultRetryCount, COstravoSettings::kDefaultRetryTimer);
    for (const auto& c : cases) {
        Start(c.switches);
        const DWORD start = ::GetTickCount();
        DWORD state = 0;
        EXPECT_EQ(CDbServicePipe(m_settings).CheckUserDb(state), 3u) << c.what;
        EXPECT_EQ(state, 3u) << c.what;
        EXPECT_LT(::GetTickCount() - start, 3000u) << c.what;
        m_service.reset();
    }
}

TEST_F(ServiceClient, MoreRetriesLetALateReplyThrough) {
    Start({L"--delay", L"1600"});
    m_settings.SetRetry(15, 200);
    DWORD state = 7;
    EXPECT_EQ(CDbServicePipe(m_settings).CheckUserDb(state), 0u);
    EXPECT_EQ(state, 0u);
    m_settings.SetRetry(5, 500);
    state = 7;
    EXPECT_EQ(CDbServicePipe(m_settings).CheckDb(state, m_storage, L"TORVA_ADMIN"), 0u);
    EXPECT_EQ(state, 0u);
}

TEST_F(ServiceClient, FailureStatusWithStateZeroShowsDamaged) {
    Start({L"--status", L"4"});
    DWORD state = 0;
    EXPECT_EQ(CDbServicePipe(m_settings).CheckUserDb(state), 4u);
    EXPECT_EQ(state, 3u);
    EXPECT_EQ(CDbServicePipe(m_settings).CheckDb(state, m_storage, L"TORVA_GINA"), 4u);
    EXPECT_EQ(state, 3u);
}

} // namespace
} // namespace ostravo::test
