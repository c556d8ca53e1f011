// Ostravo.exe meets an instance already running (its mutex held): it ends
// at once, showing nothing. The program of this build is started (the same
// code as the installed 32-bit one, which needs a minute to start where
// 32-bit programs run under emulation).
#include "COstravoApp.h"
#include "ProgramFolder.h"
#include "Win32Handles.h"

#include <gtest/gtest.h>

namespace ostravo::test {
namespace {

TEST(OstravoInstance, SecondInstanceEndsSilently) {
    torva::UniqueHandle mutex(::CreateMutexW(nullptr, TRUE, COstravoApp::kMutexName));
    ASSERT_TRUE(mutex);
    ASSERT_NE(::GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS))
        << "an Ostravo is running already";
    std::wstring exe = torva::ProgramFolder() + L"Ostravo.exe";
    std::wstring command = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &info))
        << ::GetLastError();
    torva::UniqueHandle process(info.hProcess);
    torva::UniqueHandle thread(info.hThread);
    const DWORD ended = ::WaitForSingleObject(process.get(), 20000);
    if (ended != WAIT_OBJECT_0) ::TerminateProcess(process.get(), 99);
    EXPECT_EQ(ended, WAIT_OBJECT_0) << "the second instance kept running";
    EXPECT_EQ(::FindWindowW(nullptr, L"データベース診断ユーティリティ"), nullptr);
}

} // namespace
} // namespace ostravo::test
