// The add-in starts "<folder>Zentrip.exe <pipe name>". A probe program put in
// place of the relay records what it was given.
#include <gtest/gtest.h>
#include "ProgramFolder.h"

#include <string>
#include <vector>

#include "CIERelayServer.h"
#include "TestNames.h"
#include "Win32Handles.h"

namespace {

std::wstring OwnFolder() {
    return torva::ProgramFolder();
}

std::vector<std::wstring> ReadLines(const std::wstring& file) {
    torva::UniqueFile in(::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
    std::vector<std::wstring> lines;
    if (!in) return lines;
    wchar_t buffer[4096];
    DWORD read = 0;
    ::ReadFile(in.get(), buffer, sizeof buffer, &read, nullptr);
    std::wstring text(buffer, read / sizeof(wchar_t));
    for (size_t start = 0, end; (end = text.find(L'\n', start)) != std::wstring::npos;
         start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

void RemoveTree(const std::wstring& folder) {
    ::DeleteFileW((folder + L"arguments.txt").c_str());
    ::DeleteFileW((folder + L"Zentrip.exe").c_str());
    ::RemoveDirectoryW(folder.c_str());
}

} // namespace

TEST(StartRelayProcess, QuotesAFolderWithSpacesAndPassesThePipeNameLast) {
    wchar_t temp[MAX_PATH];
    ASSERT_NE(::GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring folder =
        std::wstring(temp) + L"relay probe " + UniqueTestName(L"dir") + L"\\";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(::CopyFileW((OwnFolder() + L"relay_probe.exe").c_str(),
                            (folder + L"Zentrip.exe").c_str(), FALSE));

    CIERelayServer server;
    ASSERT_TRUE(server.CreatePipe());
    ASSERT_TRUE(server.StartRelayProcess(folder));
    std::vector<std::wstring> lines;
    for (int i = 0; i < 500 && lines.empty(); ++i) {
        ::Sleep(20);
        lines = ReadLines(folder + L"arguments.txt");
    }
    EXPECT_TRUE(server.IsRelayAlive());
    const std::wstring release =
        L"Local\\RelayProbeRelease" + std::to_wstring(server.RelayProcessId());
    torva::UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, release.c_str()));
    ::SetEvent(event.get());
    EXPECT_EQ(::WaitForSingleObject(server.RelayProcess(), 10000), WAIT_OBJECT_0);
    EXPECT_FALSE(server.IsRelayAlive());

    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(_wcsicmp(lines[0].c_str(), (folder + L"Zentrip.exe").c_str()), 0);
    EXPECT_EQ(lines[1], server.GetPipeName());
    server.ReleaseRelayProcess(0);
    RemoveTree(folder);
}

TEST(StartRelayProcess, MissingProgramFailsAndNothingRuns) {
    CIERelayServer server;
    ASSERT_TRUE(server.CreatePipe());
    EXPECT_FALSE(server.StartRelayProcess(OwnFolder() + L"no such folder\\"));
    EXPECT_FALSE(server.IsRelayAlive());
}
