// Several processes meeting a missing key file at once, as the relay, the
// data manager and the export utility may on a user's first day.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "Win32Handles.h"

namespace {

std::wstring ChildPath() {
    wchar_t self[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, length);
    return path.substr(0, path.rfind(L'\\') + 1) + L"corvane_key_race_child.exe";
}

std::string ReadText(const std::wstring& path) {
    torva::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
    char text[128] = {};
    DWORD read = 0;
    if (!file || !ReadFile(file.get(), text, sizeof(text) - 1, &read, nullptr)) return {};
    return std::string(text, read);
}

TEST(UserKeyFile, RacingProcessesAllGetTheSameKey) {
    constexpr int kChildren = 6;
    TempFolder folder;
    const std::wstring keyPath = folder.File(L"UserKey.bin");
    const std::wstring goName =
        L"Local\\corvane-key-race-" + std::to_wstring(GetCurrentProcessId());
    torva::UniqueHandle go(CreateEventW(nullptr, TRUE, FALSE, goName.c_str()));
    ASSERT_TRUE(go);
    std::vector<torva::UniqueHandle> processes;
    for (int i = 0; i < kChildren; ++i) {
        std::wstring command = L"\"" + ChildPath() + L"\" \"" + keyPath + L"\" \"" +
                               folder.File((L"digest" + std::to_wstring(i) + L".txt").c_str()) +
                               L"\" " + goName;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info = {};
        ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &info))
            << GetLastError();
        torva::UniqueHandle thread(info.hThread);
        processes.emplace_back(info.hProcess);
    }
    // Give every child time to reach its wait, then release them together.
    Sleep(500);
    ASSERT_TRUE(SetEvent(go.get()));
    for (int i = 0; i < kChildren; ++i) {
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(processes[i].get(), 60000)) << i;
        DWORD code = 99;
        ASSERT_TRUE(GetExitCodeProcess(processes[i].get(), &code));
        EXPECT_EQ(0u, code) << i;
    }
    const std::string first = ReadText(folder.File(L"digest0.txt"));
    ASSERT_EQ(64u, first.size());
    for (int i = 1; i < kChildren; ++i)
        EXPECT_EQ(first, ReadText(folder.File((L"digest" + std::to_wstring(i) + L".txt").c_str())))
            << i;
    // The losers' temporary files are gone.
    WIN32_FIND_DATAW found;
    torva::UniqueFind stray(FindFirstFileW(folder.File(L"*.tmp").c_str(), &found));
    EXPECT_FALSE(stray);
}

} // namespace
