// The add-in's end of the relay pipe: creates the pipe, starts the relay
// program on it, and connects and disconnects the one pipe instance around
// every exchange. Owned by the add-in's process-wide relay state; one thread
// at a time uses it (the add-in's request lock sees to that).
#pragma once

#include "IERelay_Common.h"

class CIERelayServer : public IERelay_Common {
public:
    CIERelayServer();
    ~CIERelayServer() override;

    // Creates a new pipe "\\.\pipe\IERelayPipe<tick>@<pid>" with a null DACL.
    // A name taken by another instance, or a busy pipe, is retried a bounded
    // number of times with a fresh tick count.
    [[nodiscard]] BOOL CreatePipe();
    // Starts "<folder>Zentrip.exe" with the pipe name as its last argument.
    // `folder` ends in a backslash. The process handle is kept.
    [[nodiscard]] BOOL StartRelayProcess(const std::wstring& folder);
    // TRUE once a client has opened the pipe (at once when one already has).
    [[nodiscard]] BOOL ConnectPipe();
    // Lets the next client open the instance.
    void DisconnectPipe();
    // TRUE while the relay process started here is running.
    [[nodiscard]] BOOL IsRelayAlive() const;

    // The relay process, for the end of the channel (wait for it, close it).
    HANDLE RelayProcess() const noexcept { return m_processHandle.get(); }
    DWORD RelayProcessId() const noexcept { return m_processInfo.dwProcessId; }
    // Waits up to timeoutMs for the relay to end, then forgets its handle.
    void ReleaseRelayProcess(DWORD timeoutMs);

private:
    DWORD m_defaultTimeout = 0;
    DWORD m_openMode = PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED;
    DWORD m_pipeMode = PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT;
    DWORD m_maxInstances = PIPE_UNLIMITED_INSTANCES;
    STARTUPINFOW m_startupInfo{};
    PROCESS_INFORMATION m_processInfo{}; // its handles are owned below
    torva::UniqueHandle m_processHandle;
};
