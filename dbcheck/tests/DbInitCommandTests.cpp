// Where "TvrDBInit.exe" is started from, and that nothing else is started.
#include "CDbServicePipe.h"
#include "DbInitCommand.h"

#include "ProgramFolder.h"
#include "Win32Handles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cwchar>

namespace ostravo::test {
namespace {

TEST(DbInitPath, ParentOfDbPathQuoted) {
    DbInitCommand command;
    ASSERT_TRUE(DbInitCommand::Build(L"C:\\Program Files\\TORVA\\Storage", command));
    EXPECT_EQ(command.application, L"C:\\Program Files\\TORVA\\TvrDBInit.exe");
    EXPECT_EQ(command.commandLine, L"\"C:\\Program Files\\TORVA\\TvrDBInit.exe\"");
    ASSERT_TRUE(DbInitCommand::Build(L"C:\\Storage", command));
    EXPECT_EQ(command.application, L"C:\\TvrDBInit.exe");
    ASSERT_TRUE(DbInitCommand::Build(L"\\\\server\\share\\Storage", command));
    EXPECT_EQ(command.application, L"\\\\server\\share\\TvrDBInit.exe");
}

TEST(DbInitPath, NoParentOrRelativeFolderStartsNothing) {
    DbInitCommand command;
    for (const wchar_t* path :
         {L"", L"Storage", L"sub\\Storage", L"C:Storage", L"C:sub\\Storage", L"\\Storage",
          L"\\\\server\\Storage", L"C:", L"..\\Storage", L"C:\\a\"b\\Storage"}) {
        EXPECT_FALSE(DbInitCommand::Build(path, command)) << std::wstring(path).size();
    }
}

TEST(DbInitPath, AnyLengthFits) {
    const std::wstring parent = L"C:\\" + std::wstring(500, L'x');
    DbInitCommand command;
    ASSERT_TRUE(DbInitCommand::Build(parent + L"\\Storage", command));
    EXPECT_EQ(command.application, parent + L"\\TvrDBInit.exe");
    EXPECT_EQ(command.commandLine.size(), command.application.size() + 2);
}

// Processes: the probe stands in for "TvrDBInit.exe" and for a decoy.
class DbInitStart : public ::testing::Test {
protected:
    DbInitStart() {
        static std::atomic<unsigned> serial{0};
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        wchar_t name[64];
        std::swprintf(name, std::size(name), L"ostravo-init-%lu-%u",
                      static_cast<unsigned long>(::GetCurrentProcessId()), serial.fetch_add(1));
        m_root = std::wstring(temp) + name;
        ::CreateDirectoryW(m_root.c_str(), nullptr);
    }
    ~DbInitStart() override {
        for (auto it = m_created.rbegin(); it != m_created.rend(); ++it) {
            ::DeleteFileW(it->c_str());
            ::RemoveDirectoryW(it->c_str());
        }
        ::RemoveDirectoryW(m_root.c_str());
    }
    void Folder(const std::wstring& path) {
        ASSERT_TRUE(::CreateDirectoryW(path.c_str(), nullptr));
        m_created.push_back(path);
    }
    void Probe(const std::wstring& as) {
        const std::wstring probe = torva::ProgramFolder() + L"ostravo_dbinit_probe.exe";
        ASSERT_TRUE(::CopyFileW(probe.c_str(), as.c_str(), FALSE)) << ::GetLastError();
        m_created.push_back(as);
        m_created.push_back(as + L".ran");
    }
    static bool Ran(const std::wstring& program) {
        return ::GetFileAttributesW((program + L".ran").c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    DWORD Run(const std::wstring& dbPath) {
        COstravoSettings settings;
        settings.SetDbPath(dbPath);
        return CDbServicePipe(settings).RunDbInit();
    }

    std::wstring m_root;
    std::vector<std::wstring> m_created;
};

// "C:\...\my dir\TvrDBInit.exe" unquoted would start "C:\...\my.exe".
TEST_F(DbInitStart, FolderWithSpacesStartsTheRightProgram) {
    const std::wstring parent = m_root + L"\\my dir";
    Folder(parent);
    Folder(parent + L"\\Storage");
    Probe(parent + L"\\TvrDBInit.exe");
    Probe(m_root + L"\\my.exe");
    EXPECT_EQ(Run(parent + L"\\Storage"), DWORD{ERROR_SUCCESS});
    EXPECT_TRUE(Ran(parent + L"\\TvrDBInit.exe"));
    EXPECT_FALSE(Ran(m_root + L"\\my.exe"));
}

// A relative folder would be resolved against whatever folder the tool
// runs in; programs waiting there must not start.
TEST_F(DbInitStart, RelativeOrParentlessDbPathStartsNothing) {
    Folder(m_root + L"\\Storage");
    Probe(m_root + L"\\TvrDBInit.exe");
    Probe(m_root + L"\\Storage\\TvrDBInit.exe");
    wchar_t previous[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryW(m_root.c_str()));
    for (const wchar_t* path : {L"Storage", L"Storage\\Sub", L"TvrDBInit", L"", L"\\Storage"})
        EXPECT_EQ(Run(path), DWORD{ERROR_BAD_PATHNAME});
    ::SetCurrentDirectoryW(previous);
    EXPECT_FALSE(Ran(m_root + L"\\TvrDBInit.exe"));
    EXPECT_FALSE(Ran(m_root + L"\\Storage\\TvrDBInit.exe"));
}

TEST_F(DbInitStart, DbPathLongerThanAPathIsAFailedStartNotAnOverrun) {
    for (const size_t length : {250u, 259u, 300u, 510u}) {
        const std::wstring path = m_root + L"\\" + std::wstring(length, L'z') + L"\\Storage";
        EXPECT_NE(Run(path), DWORD{ERROR_SUCCESS}) << length;
    }
}

TEST_F(DbInitStart, MissingProgramIsAFailedStartNotACrash) {
    Folder(m_root + L"\\Storage");
    EXPECT_NE(Run(m_root + L"\\Storage"), DWORD{ERROR_SUCCESS});
}

} // namespace
} // namespace ostravo::test
