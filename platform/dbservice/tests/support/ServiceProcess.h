// The database service as a test starts it: a process of its own on a pipe
// name and database folder of the test's, ended by its stop event (or by
// its id, when it does not stop).
#pragma once

#include "Win32Handles.h"

#include <windows.h>

#include <string>
#include <vector>

namespace dbservice::test {

class ServiceProcess {
public:
    // Starts TvrDBService.exe from the test program's folder and waits until
    // it listens. extra: fault switches and the like.
    ServiceProcess(const std::wstring& pipeName, const std::wstring& folder,
                   const std::vector<std::wstring>& extra = {});
    ~ServiceProcess();
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

    bool Listening() const noexcept { return m_listening; }
    DWORD ProcessId() const noexcept { return m_processId; }
    // Sets the stop event; true when the process ended within the time, with its exit code.
    bool Stop(DWORD timeoutMs, DWORD& exitCode);
    // The codes of the exchanges logged so far, as "16, 14, 13".
    std::wstring Codes() const;
    // The exchange log the service appends to (shared for appending).
    const std::wstring& LogPath() const noexcept { return m_logPath; }
    // The log's lines.
    std::vector<std::string> LogLines() const;

private:
    std::wstring m_logPath;
    torva::UniqueHandle m_stop;
    torva::UniqueHandle m_process;
    DWORD m_processId = 0;
    bool m_listening = false;
};

// A unique name for this test's pipe and events.
std::wstring UniqueName(const wchar_t* stem);

// A fresh folder under the temp folder, removed with its files afterwards.
class TempFolder {
public:
    explicit TempFolder(const wchar_t* stem = L"dbsvc");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::wstring& Path() const noexcept { return m_path; }
    std::vector<std::wstring> Files() const;

private:
    std::wstring m_path;
};

std::vector<uint8_t> ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::vector<uint8_t>& bytes);

} // namespace dbservice::test
