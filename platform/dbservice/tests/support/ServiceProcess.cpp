#include "ServiceProcess.h"

#include "ProgramFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <sstream>

namespace dbservice::test {

std::wstring UniqueName(const wchar_t* stem) {
    static std::atomic<unsigned> serial{0};
    wchar_t name[128];
    std::swprintf(name, std::size(name), L"%ls-%lu-%lu-%u", stem,
                  static_cast<unsigned long>(::GetCurrentProcessId()),
                  static_cast<unsigned long>(::GetTickCount()), serial.fetch_add(1));
    return name;
}

ServiceProcess::ServiceProcess(const std::wstring& pipeName, const std::wstring& folder,
                               const std::vector<std::wstring>& extra) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    m_logPath = std::wstring(temp) + UniqueName(L"dbsvc-log") + L".txt";
    const std::wstring stopName = UniqueName(L"dbsvc-stop");
    const std::wstring readyName = UniqueName(L"dbsvc-ready");
    m_stop.reset(::CreateEventW(nullptr, TRUE, FALSE, stopName.c_str()));
    torva::UniqueHandle ready(::CreateEventW(nullptr, TRUE, FALSE, readyName.c_str()));

    const std::wstring exe = torva::ProgramFolder() + L"TvrDBService.exe";
    std::wstring command = L"\"" + exe + L"\" --pipe \"" + pipeName + L"\" --folder \"" + folder +
                           L"\" --log \"" + m_logPath + L"\" --stop-event " + stopName +
                           L" --ready-event " + readyName;
    for (const auto& arg : extra)
        command += L" \"" + arg + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
        ADD_FAILURE() << "cannot start the service: " << ::GetLastError();
        return;
    }
    m_process.reset(info.hProcess);
    torva::UniqueHandle thread(info.hThread);
    m_processId = info.dwProcessId;
    const HANDLE waits[] = {ready.get(), m_process.get()};
    m_listening = ::WaitForMultipleObjects(2, waits, FALSE, 30000) == WAIT_OBJECT_0;
    EXPECT_TRUE(m_listening) << "the service did not start listening";
}

ServiceProcess::~ServiceProcess() {
    DWORD code = 0;
    if (m_process && !Stop(10000, code)) ::TerminateProcess(m_process.get(), 99);
    ::DeleteFileW(m_logPath.c_str());
}

bool ServiceProcess::Stop(DWORD timeoutMs, DWORD& exitCode) {
    if (!m_process) return false;
    ::SetEvent(m_stop.get());
    if (::WaitForSingleObject(m_process.get(), timeoutMs) != WAIT_OBJECT_0) return false;
    ::GetExitCodeProcess(m_process.get(), &exitCode);
    return true;
}

std::vector<std::string> ServiceProcess::LogLines() const {
    const auto bytes = ReadBytes(m_logPath);
    std::vector<std::string> lines;
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

std::wstring ServiceProcess::Codes() const {
    std::wstring codes;
    for (const auto& line : LogLines()) {
        if (!codes.empty()) codes += L", ";
        const std::string first = line.substr(0, line.find(' '));
        codes += std::wstring(first.begin(), first.end());
    }
    return codes;
}

TempFolder::TempFolder(const wchar_t* stem) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    m_path = std::wstring(temp) + UniqueName(stem);
    EXPECT_TRUE(::CreateDirectoryW(m_path.c_str(), nullptr)) << ::GetLastError();
}

TempFolder::~TempFolder() {
    for (const auto& file : Files())
        ::DeleteFileW((m_path + L'\\' + file).c_str());
    ::RemoveDirectoryW(m_path.c_str());
}

std::vector<std::wstring> TempFolder::Files() const {
    std::vector<std::wstring> files;
    WIN32_FIND_DATAW found{};
    torva::UniqueFind find(::FindFirstFileW((m_path + L"\\*").c_str(), &found));
    if (!find) return files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(found.cFileName);
    } while (::FindNextFileW(find.get(), &found));
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<uint8_t> ReadBytes(const std::wstring& path) {
    torva::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
    std::vector<uint8_t> bytes;
    if (!file) return bytes;
    bytes.resize(::GetFileSize(file.get(), nullptr));
    DWORD read = 0;
    if (!bytes.empty() &&
        !::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        read = 0;
    }
    bytes.resize(read);
    return bytes;
}

void WriteBytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    torva::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file);
    DWORD written = 0;
    ASSERT_TRUE(
        ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

} // namespace dbservice::test
