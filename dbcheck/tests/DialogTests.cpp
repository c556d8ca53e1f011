// Both dialogs against the database service running as its own process,
// driven as a user would: rows, the initialise button and what reaches the
// service, in order.
#include "COstravoDlg.h"
#include "COstravoUserDlg.h"
#include "FxUser.h"
#include "ProgramFolder.h"
#include "RawClient.h"
#include "ResourceStrings.h"
#include "SampleDatabase.h"
#include "ServiceProcess.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <memory>

namespace ostravo::test {
namespace {

using dbservice::test::ServiceProcess;
using dbservice::test::TempFolder;

constexpr UINT kIds[] = {IDS_PROFILE_KEY, IDS_DAMAGED, IDS_INTACT};
const ResourceStringTable kTable = {kIds, 3, nullptr, 0};

constexpr wchar_t kCaption[] = L"データベース診断ユーティリティ";
const wchar_t* const kNames[] = {L"TORVA_SYSTEMDEFINED", L"TORVA_ADMIN", L"TORVA_GINA"};

class OstravoDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        UseResourceStringTable(kTable);
        LoadResourceStrings(::GetModuleHandleW(nullptr));
    }
    OstravoDialog() {
        m_storage = m_root.Path() + L"\\Storage";
        ::CreateDirectoryW(m_storage.c_str(), nullptr);
        m_settings.SetPipeName(m_pipe);
        m_settings.SetDbPath(m_storage);
        m_settings.SetRetry(50, 200);
        m_probe = m_root.Path() + L"\\TvrDBInit.exe";
        ::CopyFileW((torva::ProgramFolder() + L"ostravo_dbinit_log_probe.exe").c_str(),
                    m_probe.c_str(), FALSE);
        for (const wchar_t* name : kNames)
            dbservice::test::WriteSample(m_storage, name);
        dbservice::test::WriteSample(m_storage, dbservice::test::OwnSid());
    }
    ~OstravoDialog() override {
        m_service.reset();
        ::SetEnvironmentVariableW(L"OSTRAVO_TEST_LOG", nullptr);
        ::DeleteFileW(m_probe.c_str());
        WIN32_FIND_DATAW found{};
        torva::UniqueFind find(::FindFirstFileW((m_storage + L"\\*").c_str(), &found));
        if (find) {
            do {
                ::DeleteFileW((m_storage + L"\\" + found.cFileName).c_str());
            } while (::FindNextFileW(find.get(), &found));
        }
        find.reset();
        ::RemoveDirectoryW(m_storage.c_str());
    }
    void Start(const std::vector<std::wstring>& extra = {}) {
        m_service = std::make_unique<ServiceProcess>(m_pipe, m_storage, extra);
        ASSERT_TRUE(m_service->Listening());
        ::SetEnvironmentVariableW(L"OSTRAVO_TEST_LOG", m_service->LogPath().c_str());
    }
    static std::wstring Status(HWND dialog, int id) {
        return FxUser::Text(::GetDlgItem(dialog, id));
    }
    static bool Shown(HWND dialog, int id) {
        return ::IsWindowVisible(::GetDlgItem(dialog, id)) != 0;
    }
    static bool Enabled(HWND dialog, int id) {
        return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != 0;
    }

    TempFolder m_root{L"ostravo-dlg"};
    std::wstring m_storage;
    std::wstring m_probe;
    std::wstring m_pipe = dbservice::test::UniqueName(L"ostravo-dlg");
    COstravoSettings m_settings;
    std::unique_ptr<ServiceProcess> m_service;
};

TEST_F(OstravoDialog, AdministratorInitialisesTheDamagedAdministratorSettings) {
    dbservice::test::FlipFirstRecordByte(m_storage, L"TORVA_ADMIN");
    dbservice::test::TearTail(m_storage, L"TORVA_GINA");
    std::vector<uint8_t> system, gina;
    Start();
    FxUser user(kCaption, [&](HWND dialog) {
        EXPECT_EQ(Status(dialog, IDC_STATE_SYSTEMDEFINED), L"正常");
        EXPECT_EQ(Status(dialog, IDC_STATE_ADMIN), L"異常");
        EXPECT_EQ(Status(dialog, IDC_STATE_GINA), L"正常");
        EXPECT_EQ(Status(dialog, IDC_STATE_USERDB), L"正常");
        EXPECT_FALSE(Shown(dialog, IDC_CHECK_SYSTEMDEFINED));
        EXPECT_TRUE(Shown(dialog, IDC_CHECK_ADMIN));
        EXPECT_FALSE(Enabled(dialog, IDC_INIT));
        FxUser::Press(dialog, IDC_CHECK_ADMIN);
        EXPECT_TRUE(Enabled(dialog, IDC_INIT));
        FxUser::Press(dialog, IDC_CHECK_ADMIN);
        EXPECT_FALSE(Enabled(dialog, IDC_INIT));
        FxUser::Press(dialog, IDC_CHECK_ADMIN);
        // As the first checks left them: initialising one database touches no other.
        system = dbservice::test::ReadBytes(dbservice::test::FileOf(m_storage, kNames[0]));
        gina = dbservice::test::ReadBytes(dbservice::test::FileOf(m_storage, kNames[2]));
        FxUser::Press(dialog, IDC_INIT);
        EXPECT_EQ(Status(dialog, IDC_STATE_ADMIN), L"正常");
        EXPECT_FALSE(Shown(dialog, IDC_CHECK_ADMIN));
        EXPECT_FALSE(Enabled(dialog, IDC_INIT));
        FxUser::Press(dialog, IDCANCEL);
    });
    COstravoDlg dialog(m_settings);
    dialog.DoModal();
    ASSERT_TRUE(user.Join());
    EXPECT_FALSE(user.LeftOpen());
    EXPECT_EQ(m_service->Codes(), L"14, 14, 14, 13, 16, TvrDBInit, 14, 14, 14, 13");
    EXPECT_EQ(dbservice::test::ReadBytes(dbservice::test::FileOf(m_storage, kNames[0])), system);
    EXPECT_EQ(dbservice::test::ReadBytes(dbservice::test::FileOf(m_storage, kNames[2])), gina);
}

TEST_F(OstravoDialog, AdministratorInitialisesTheUserDatabaseAlone) {
    Start({L"--status", L"2"});
    FxUser user(kCaption, [&](HWND dialog) {
        // Every check refused: all four rows damaged, whatever the state says.
        for (int id : {IDC_STATE_SYSTEMDEFINED, IDC_STATE_ADMIN, IDC_STATE_GINA, IDC_STATE_USERDB})
            EXPECT_EQ(Status(dialog, id), L"異常");
        FxUser::Press(dialog, IDC_CHECK_USERDB);
        FxUser::Press(dialog, IDC_INIT);
        FxUser::Press(dialog, IDCANCEL);
    });
    COstravoDlg dialog(m_settings);
    dialog.DoModal();
    ASSERT_TRUE(user.Join());
    EXPECT_EQ(m_service->Codes(), L"14, 14, 14, 13, 15, TvrDBInit, 14, 14, 14, 13");
}

TEST_F(OstravoDialog, UserDialogChecksAndInitialisesOnlyTheOwnDatabase) {
    Start();
    FxUser user(kCaption, [&](HWND dialog) {
        EXPECT_EQ(Status(dialog, IDC_STATE_USERDB), L"正常");
        EXPECT_EQ(::GetDlgItem(dialog, IDC_STATE_ADMIN), nullptr);
        EXPECT_FALSE(Enabled(dialog, IDC_INIT));
        ::ShowWindow(::GetDlgItem(dialog, IDC_CHECK_USERDB), SW_SHOW);
        FxUser::Press(dialog, IDC_CHECK_USERDB);
        EXPECT_TRUE(Enabled(dialog, IDC_INIT));
        FxUser::Press(dialog, IDC_INIT);
        EXPECT_FALSE(Enabled(dialog, IDC_INIT));
        EXPECT_EQ(Status(dialog, IDC_STATE_USERDB), L"正常");
        FxUser::Press(dialog, IDCANCEL);
    });
    COstravoUserDlg dialog(m_settings);
    dialog.DoModal();
    ASSERT_TRUE(user.Join());
    EXPECT_EQ(m_service->Codes(), L"13, 15, 13");
}

TEST_F(OstravoDialog, StoppedServiceShowsEveryRowDamagedQuickly) {
    Start();
    DWORD code = 0;
    ASSERT_TRUE(m_service->Stop(5000, code));
    m_settings.SetRetry(5, 200);
    const DWORD began = ::GetTickCount();
    DWORD shownAfter = 0;
    FxUser user(kCaption, [&](HWND dialog) {
        shownAfter = ::GetTickCount() - began;
        for (int id : {IDC_STATE_SYSTEMDEFINED, IDC_STATE_ADMIN, IDC_STATE_GINA, IDC_STATE_USERDB})
            EXPECT_EQ(Status(dialog, id), L"異常");
        for (int id : {IDC_CHECK_SYSTEMDEFINED, IDC_CHECK_ADMIN, IDC_CHECK_GINA, IDC_CHECK_USERDB})
            EXPECT_TRUE(Shown(dialog, id));
        FxUser::Press(dialog, IDCANCEL);
    });
    COstravoDlg dialog(m_settings);
    dialog.DoModal();
    ASSERT_TRUE(user.Join());
    EXPECT_LT(shownAfter, 5000u);
}

// With the tool's own retries (5 x 200 ms) a reply that comes short, late
// or not at all shows the row damaged, its box ready to tick, within about
// a second per row; the dialog never waits for a service that does not
// answer.
TEST_F(OstravoDialog, ShortLateOrMissingReplyShowsDamagedQuickly) {
    struct Case {
        const char* what;
        std::vector<std::wstring> switches;
    } cases[] = {
        {"late", {L"--delay", L"1600"}},
        {"short", {L"--short", L"10"}},
        {"missing", {L"--no-reply"}},
    };
    m_settings.SetRetry(COstravoSettings::kDefaultRetryCount, COstravoSettings::kDefaultRetryTimer);
    for (const auto& c : cases) {
        Start(c.switches);
        const DWORD began = ::GetTickCount();
        DWORD shownAfter = 0;
        FxUser user(kCaption, [&](HWND dialog) {
            shownAfter = ::GetTickCount() - began;
            EXPECT_EQ(Status(dialog, IDC_STATE_USERDB), L"異常") << c.what;
            EXPECT_TRUE(Shown(dialog, IDC_CHECK_USERDB)) << c.what;
            EXPECT_FALSE(Enabled(dialog, IDC_INIT)) << c.what;
            FxUser::Press(dialog, IDCANCEL);
        });
        COstravoUserDlg dialog(m_settings);
        dialog.DoModal();
        ASSERT_TRUE(user.Join()) << c.what;
        EXPECT_LT(shownAfter, 4000u) << c.what;
        EXPECT_EQ(m_service->Codes(), L"13") << c.what;
        m_service.reset();
    }
}

// Replies of the header alone (status 0) in the administrator's dialog: none of the
// four rows takes the "intact" the request carried.
TEST_F(OstravoDialog, ShortRepliesShowEveryAdministratorRowDamaged) {
    Start({L"--short", L"16"});
    FxUser user(kCaption, [&](HWND dialog) {
        for (int id : {IDC_STATE_SYSTEMDEFINED, IDC_STATE_ADMIN, IDC_STATE_GINA, IDC_STATE_USERDB})
            EXPECT_EQ(Status(dialog, id), L"異常");
        for (int id : {IDC_CHECK_SYSTEMDEFINED, IDC_CHECK_ADMIN, IDC_CHECK_GINA, IDC_CHECK_USERDB})
            EXPECT_TRUE(Shown(dialog, id));
        FxUser::Press(dialog, IDCANCEL);
    });
    COstravoDlg dialog(m_settings);
    dialog.DoModal();
    ASSERT_TRUE(user.Join());
    EXPECT_EQ(m_service->Codes(), L"14, 14, 14, 13");
}

// The same late service as above: more attempts, or longer ones, wait for it.
TEST_F(OstravoDialog, RaisedRetriesLetALateReplyThrough) {
    Start({L"--delay", L"1600"});
    struct Case {
        const char* what;
        DWORD count, timer;
    } cases[] = {{"RetryCount 15", 15, 200}, {"RetryTimer 500", 5, 500}};
    for (const auto& c : cases) {
        m_settings.SetRetry(c.count, c.timer);
        FxUser user(kCaption, [&](HWND dialog) {
            EXPECT_EQ(Status(dialog, IDC_STATE_USERDB), L"正常") << c.what;
            EXPECT_FALSE(Shown(dialog, IDC_CHECK_USERDB)) << c.what;
            FxUser::Press(dialog, IDCANCEL);
        });
        COstravoUserDlg dialog(m_settings);
        dialog.DoModal();
        ASSERT_TRUE(user.Join()) << c.what;
    }
    EXPECT_EQ(m_service->Codes(), L"13, 13");
}

// A service that refuses (status 4) says nothing about the database, even
// with its state field 0.
TEST_F(OstravoDialog, RefusedCheckWithStateZeroShowsDamagedToTheUser) {
    Start({L"--status", L"4"});
    FxUser user(kCaption, [&](HWND dialog) {
        EXPECT_EQ(Status(dialog, IDC_STATE_USERDB), L"異常");
        EXPECT_TRUE(Shown(dialog, IDC_CHECK_USERDB));
        FxUser::Press(dialog, IDCANCEL);
    });
    COstravoUserDlg dialog(m_settings);
    dialog.DoModal();
    ASSERT_TRUE(user.Join());
}

// The administrator initialises "管理者設定" whatever the rows show; the
// service's log then holds the requests and the programs started.
std::wstring InitialiseAdministratorSettings(const COstravoSettings& settings,
                                             const ServiceProcess& service) {
    FxUser user(kCaption, [&](HWND dialog) {
        ::ShowWindow(::GetDlgItem(dialog, IDC_CHECK_ADMIN), SW_SHOW);
        FxUser::Press(dialog, IDC_CHECK_ADMIN);
        FxUser::Press(dialog, IDC_INIT);
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, IDC_INIT)));
        FxUser::Press(dialog, IDCANCEL);
    });
    COstravoDlg dialog(settings);
    dialog.DoModal();
    EXPECT_TRUE(user.Join());
    return service.Codes();
}

// Which program the database folder leads to: with spaces in the folder the
// TvrDBInit.exe beside it runs, never "...\my.exe"; a folder longer than a
// path and one without a backslash start nothing (not even the TvrDBInit.exe
// in the current folder), and the rows are checked again all the same.
TEST_F(OstravoDialog, OnlyTheTvrDBInitBesideTheDatabaseFolderIsStarted) {
    const std::wstring probe = torva::ProgramFolder() + L"ostravo_dbinit_log_probe.exe";
    const std::wstring spaced = m_root.Path() + L"\\my dir";
    const std::wstring storage = spaced + L"\\Storage";
    const std::wstring beside = spaced + L"\\TvrDBInit.exe";
    const std::wstring decoy = m_root.Path() + L"\\my.exe";
    ASSERT_TRUE(::CreateDirectoryW(spaced.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(storage.c_str(), nullptr));
    ASSERT_TRUE(::CopyFileW(probe.c_str(), beside.c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW(probe.c_str(), decoy.c_str(), FALSE));
    dbservice::test::WriteSample(storage, L"TORVA_ADMIN");
    dbservice::test::FlipFirstRecordByte(storage, L"TORVA_ADMIN");

    m_service = std::make_unique<ServiceProcess>(m_pipe, storage);
    ASSERT_TRUE(m_service->Listening());
    ::SetEnvironmentVariableW(L"OSTRAVO_TEST_LOG", m_service->LogPath().c_str());
    m_settings.SetDbPath(storage);
    EXPECT_EQ(InitialiseAdministratorSettings(m_settings, *m_service),
              L"14, 14, 14, 13, 16, TvrDBInit, 14, 14, 14, 13");
    m_service.reset();

    wchar_t previous[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryW(m_root.Path().c_str()));
    for (const std::wstring& dbPath :
         {m_root.Path() + L"\\" + std::wstring(300, L'z') + L"\\Storage",
          std::wstring(L"Storage")}) {
        Start();
        m_settings.SetDbPath(dbPath);
        // The service answers for its own folder only: the named rows are refused.
        EXPECT_EQ(InitialiseAdministratorSettings(m_settings, *m_service),
                  L"14, 14, 14, 13, 16, 14, 14, 14, 13")
            << dbPath.size();
        m_service.reset();
    }
    ::SetCurrentDirectoryW(previous);

    for (const std::wstring& file :
         {beside, decoy, dbservice::test::FileOf(storage, L"TORVA_ADMIN")}) {
        ::DeleteFileW(file.c_str());
    }
    WIN32_FIND_DATAW found{};
    torva::UniqueFind find(::FindFirstFileW((storage + L"\\*").c_str(), &found));
    if (find) {
        do {
            ::DeleteFileW((storage + L"\\" + found.cFileName).c_str());
        } while (::FindNextFileW(find.get(), &found));
    }
    find.reset();
    ::RemoveDirectoryW(storage.c_str());
    ::RemoveDirectoryW(spaced.c_str());
}

} // namespace
} // namespace ostravo::test
