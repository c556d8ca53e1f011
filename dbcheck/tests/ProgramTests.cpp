// Ostravo.exe as it is started, with no "DBMGR" key: the dialog that fits the
// user, the default pipe, the database folder beside the program and
// TvrDBInit looked for in the program's own folder. The 64-bit build of the
// program (the same code as the installed one) runs from a folder of the
// test's, with the exchange-logging probe as its TvrDBInit.exe, against the
// service on the default pipe name.
#include "COstravoSettings.h"
#include "FxUser.h"
#include "ProgramFolder.h"
#include "RawClient.h"
#include "SampleDatabase.h"
#include "ServiceProcess.h"
#include "Win32Handles.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace ostravo::test {
namespace {

using dbservice::test::ServiceProcess;
using dbservice::test::TempFolder;

constexpr wchar_t kCaption[] = L"データベース診断ユーティリティ";
constexpr wchar_t kTorvaKey[] = L"SOFTWARE\\Kobel\\TORVA";
const wchar_t* const kNames[] = {L"TORVA_SYSTEMDEFINED", L"TORVA_ADMIN", L"TORVA_GINA"};

bool KeyExists(const wchar_t* path) {
    torva::UniqueRegKey key;
    return ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY,
                           key.put()) == ERROR_SUCCESS;
}

// HKLM "AdminUser" (32-bit view) as it was before a test changed it: put
// back byte for byte, type included, or removed again when there was none.
class SavedAdminUser {
public:
    SavedAdminUser() {
        EXPECT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kTorvaKey, 0, nullptr, 0,
                                    KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr,
                                    m_key.put(), nullptr),
                  ERROR_SUCCESS);
        DWORD size = 0;
        if (::RegQueryValueExW(m_key.get(), L"AdminUser", nullptr, &m_type, nullptr, &size) !=
            ERROR_SUCCESS)
            return;
        m_data.resize(size);
        m_present = ::RegQueryValueExW(m_key.get(), L"AdminUser", nullptr, &m_type, m_data.data(),
                                       &size) == ERROR_SUCCESS;
        m_data.resize(size);
    }
    ~SavedAdminUser() {
        if (m_present)
            ::RegSetValueExW(m_key.get(), L"AdminUser", 0, m_type, m_data.data(),
                             static_cast<DWORD>(m_data.size()));
        else
            ::RegDeleteValueW(m_key.get(), L"AdminUser");
    }
    SavedAdminUser(const SavedAdminUser&) = delete;
    SavedAdminUser& operator=(const SavedAdminUser&) = delete;

    HKEY Key() const noexcept { return m_key.get(); }

private:
    torva::UniqueRegKey m_key;
    bool m_present = false;
    DWORD m_type = REG_NONE;
    std::vector<BYTE> m_data;
};

// HKLM "AdminUser" naming the current user, for one test.
class AdminUserValue {
public:
    explicit AdminUserValue(const std::wstring& sid) {
        EXPECT_EQ(::RegSetValueExW(m_saved.Key(), L"AdminUser", 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(sid.c_str()),
                                   static_cast<DWORD>((sid.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }

private:
    SavedAdminUser m_saved;
};

class OstravoProgram : public ::testing::Test {
protected:
    void SetUp() override {
        if (KeyExists(COstravoSettings::kKeyPath)) GTEST_SKIP() << "this machine has a DBMGR key";
        m_storage = m_root.Path() + L"\\Storage";
        ASSERT_TRUE(::CreateDirectoryW(m_storage.c_str(), nullptr));
        m_exe = m_root.Path() + L"\\Ostravo.exe";
        ASSERT_TRUE(
            ::CopyFileW((torva::ProgramFolder() + L"Ostravo.exe").c_str(), m_exe.c_str(), FALSE));
        ASSERT_TRUE(::CopyFileW((torva::ProgramFolder() + L"ostravo_dbinit_log_probe.exe").c_str(),
                                (m_root.Path() + L"\\TvrDBInit.exe").c_str(), FALSE));
        for (const wchar_t* name : kNames)
            dbservice::test::WriteSample(m_storage, name);
        dbservice::test::WriteSample(m_storage, dbservice::test::OwnSid());
    }
    void TearDown() override {
        if (m_process) {
            if (::WaitForSingleObject(m_process.get(), 10000) != WAIT_OBJECT_0)
                ::TerminateProcess(m_process.get(), 99);
        }
        m_service.reset();
        ::SetEnvironmentVariableW(L"OSTRAVO_TEST_LOG", nullptr);
        WIN32_FIND_DATAW found{};
        torva::UniqueFind find(::FindFirstFileW((m_storage + L"\\*").c_str(), &found));
        if (find) {
            do {
                ::DeleteFileW((m_storage + L"\\" + found.cFileName).c_str());
            } while (::FindNextFileW(find.get(), &found));
        }
        find.reset();
        ::RemoveDirectoryW(m_storage.c_str());
        ::DeleteFileW(m_exe.c_str());
        ::DeleteFileW((m_root.Path() + L"\\TvrDBInit.exe").c_str());
    }
    // The service on the pipe a tool without settings uses.
    void StartService() {
        m_service = std::make_unique<ServiceProcess>(COstravoSettings::kDefaultPipeName, m_storage);
        ASSERT_TRUE(m_service->Listening()) << "the default pipe name is taken";
        ::SetEnvironmentVariableW(L"OSTRAVO_TEST_LOG", m_service->LogPath().c_str());
    }
    // Starts the program from its folder; its window, or null.
    HWND StartProgram() {
        std::wstring command = L"\"" + m_exe + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        if (!::CreateProcessW(m_exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              m_root.Path().c_str(), &startup, &info)) {
            ADD_FAILURE() << "cannot start Ostravo.exe: " << ::GetLastError();
            return nullptr;
        }
        m_process.reset(info.hProcess);
        torva::UniqueHandle thread(info.hThread);
        return FxUser::FindThreadWindow(info.dwThreadId, kCaption, 30000);
    }
    // A click that has been handled, however long the handler takes.
    static void Click(HWND dialog, int id) {
        DWORD_PTR answer = 0;
        ::SendMessageTimeoutW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0, SMTO_NORMAL, 30000,
                              &answer);
    }
    static std::wstring Status(HWND dialog, int id) {
        return FxUser::Text(::GetDlgItem(dialog, id));
    }
    static bool Shown(HWND dialog, int id) {
        return ::IsWindowVisible(::GetDlgItem(dialog, id)) != 0;
    }
    bool Ended() {
        return m_process && ::WaitForSingleObject(m_process.get(), 10000) == WAIT_OBJECT_0;
    }

    TempFolder m_root{L"ostravo-exe"};
    std::wstring m_storage;
    std::wstring m_exe;
    std::unique_ptr<ServiceProcess> m_service;
    torva::UniqueHandle m_process;
};

// The administrator (the "AdminUser" setting) gets dialog 102 with its four
// rows, checked on "vivavudazuva" in the folder "Storage" beside the program
// (the service answers for no other folder); initialising starts the
// TvrDBInit.exe beside the program.
TEST_F(OstravoProgram, AdministratorGetsTheFourRowsOnTheDefaultPipeAndFolders) {
    dbservice::test::FlipFirstRecordByte(m_storage, L"TORVA_ADMIN");
    AdminUserValue admin(dbservice::test::OwnSid());
    StartService();
    HWND dialog = StartProgram();
    ASSERT_NE(dialog, nullptr) << "no dialog";
    ASSERT_NE(::GetDlgItem(dialog, IDC_STATE_ADMIN), nullptr) << "not the administrator's dialog";
    EXPECT_EQ(Status(dialog, IDC_STATE_SYSTEMDEFINED), L"正常");
    EXPECT_EQ(Status(dialog, IDC_STATE_ADMIN), L"異常");
    EXPECT_EQ(Status(dialog, IDC_STATE_GINA), L"正常");
    EXPECT_EQ(Status(dialog, IDC_STATE_USERDB), L"正常");
    EXPECT_TRUE(Shown(dialog, IDC_CHECK_ADMIN));
    Click(dialog, IDC_CHECK_ADMIN);
    Click(dialog, IDC_INIT);
    EXPECT_EQ(Status(dialog, IDC_STATE_ADMIN), L"正常");
    Click(dialog, IDCANCEL);
    EXPECT_TRUE(Ended()) << "the program did not end with its dialog";
    EXPECT_EQ(m_service->Codes(), L"14, 14, 14, 13, 16, TvrDBInit, 14, 14, 14, 13");
}

// Anybody else gets dialog 129: the own database only, one check.
TEST(OstravoProgramSettings, AChangedAdminUserIsPutBackAsItWas) {
    const std::wstring before = L"S-1-5-21-1-2-3-1001";
    {
        AdminUserValue outer(before);
        { AdminUserValue inner(L"S-1-5-21-9-9-9-500"); }
        {
            const SavedAdminUser cleared;
            ::RegDeleteValueW(cleared.Key(), L"AdminUser");
        }
        const SavedAdminUser check;
        wchar_t text[64] = {};
        DWORD size = sizeof(text), type = 0;
        ASSERT_EQ(::RegQueryValueExW(check.Key(), L"AdminUser", nullptr, &type,
                                     reinterpret_cast<BYTE*>(text), &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(std::wstring(text), before);
    }
}

TEST_F(OstravoProgram, UserGetsTheOwnDatabaseOnly) {
    const SavedAdminUser saved;
    ::RegDeleteValueW(saved.Key(), L"AdminUser");
    StartService();
    HWND dialog = StartProgram();
    ASSERT_NE(dialog, nullptr) << "no dialog";
    EXPECT_EQ(::GetDlgItem(dialog, IDC_STATE_ADMIN), nullptr) << "the administrator's dialog";
    EXPECT_EQ(Status(dialog, IDC_STATE_USERDB), L"正常");
    EXPECT_FALSE(Shown(dialog, IDC_CHECK_USERDB));
    Click(dialog, IDCANCEL);
    EXPECT_TRUE(Ended()) << "the program did not end with its dialog";
    EXPECT_EQ(m_service->Codes(), L"13");
}

} // namespace
} // namespace ostravo::test
