#include "CIERelayServer.h"

#include <cstdio>
#include <mutex>
#include <vector>

#include "OverlappedIo.h"
#include "RelayTrace.h"

namespace {

constexpr DWORD kPipeBufferSize = 8192;
constexpr DWORD kCreateRetryWait = 100;
constexpr int kCreateTries = 50;

// The name's tick count is never reused within the process: two pipes made
// in one tick would otherwise share a name (and, where the system ignores
// FILE_FLAG_FIRST_PIPE_INSTANCE, silently become two instances of one pipe).
std::wstring MakePipeName() {
    static std::mutex guard;
    static DWORD lastTick = 0;
    static bool used = false;
    DWORD tick;
    {
        const std::lock_guard<std::mutex> lock(guard);
        tick = ::GetTickCount();
        for (int i = 0; used && tick == lastTick && i < 1000; ++i) {
            ::Sleep(1);
            tick = ::GetTickCount();
        }
        lastTick = tick;
        used = true;
    }
    wchar_t name[96];
    std::swprintf(name, 96, L"%ls%d@%d", L"\\\\.\\pipe\\IERelayPipe", static_cast<int>(tick),
                  static_cast<int>(::GetCurrentProcessId()));
    return name;
}

void TraceConnectWaiting() {
    RELAY_TRACE_PROGRESS(L"[IERelayCtrl]ConnectNamedPipe Waiting...\n");
}

} // namespace

CIERelayServer::CIERelayServer() : IERelay_Common(std::wstring()) {
    m_startupInfo.cb = sizeof m_startupInfo;
}

CIERelayServer::~CIERelayServer() {
    if (m_pipe) ::DisconnectNamedPipe(m_pipe.get());
}

BOOL CIERelayServer::CreatePipe() {
    for (int attempt = 0; attempt < kCreateTries; ++attempt) {
        if (attempt) ::Sleep(kCreateRetryWait);
        std::wstring name = MakePipeName();
        // First instance only: a name that another server already holds (two
        // pipes made in the same tick) must not quietly join its instances.
        torva::UniqueFile pipe(::CreateNamedPipeW(
            name.c_str(), m_openMode | FILE_FLAG_FIRST_PIPE_INSTANCE, m_pipeMode, m_maxInstances,
            kPipeBufferSize, kPipeBufferSize, m_defaultTimeout, m_security));
        if (pipe) {
            m_pipe = std::move(pipe);
            m_pipeName = std::move(name);
            return TRUE;
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_PIPE_BUSY && error != ERROR_ACCESS_DENIED) return FALSE;
    }
    return FALSE;
}

BOOL CIERelayServer::StartRelayProcess(const std::wstring& folder) {
    if (m_pipeName.empty()) return FALSE;
    // The program's path is quoted so that an install folder with spaces is
    // one argument; the pipe name is always the last one.
    std::wstring commandLine = L"\"" + folder + L"Zentrip.exe\" " + m_pipeName;
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &m_startupInfo, &info)) {
        return FALSE;
    }
    ::CloseHandle(info.hThread);
    info.hThread = nullptr;
    m_processHandle.reset(info.hProcess);
    m_processInfo = info;
    return TRUE;
}

BOOL CIERelayServer::ConnectPipe() {
    RELAY_TRACE_PROGRESS(L"[IERelayCtrl]ConnectNamedPipe Start\n");
    if (!m_pipe) return FALSE;
    switch (torva::relay::ConnectServer(m_pipe.get(), m_ioEvent.get(), m_timings,
                                        &TraceConnectWaiting)) {
    case torva::relay::ConnectResult::Connected:
        RELAY_TRACE_PROGRESS(L"[IERelayCtrl]ConnectNamedPipe End Success.\n");
        return TRUE;
    case torva::relay::ConnectResult::TimedOut:
    case torva::relay::ConnectResult::Failed:
        break;
    }
    RELAY_TRACE_PROGRESS(L"[IERelayCtrl]ConnectNamedPipe Failed.\n");
    return FALSE;
}

void CIERelayServer::DisconnectPipe() {
    if (m_pipe) ::DisconnectNamedPipe(m_pipe.get());
}

BOOL CIERelayServer::IsRelayAlive() const {
    if (!m_processHandle) return FALSE;
    DWORD code = 0;
    if (!::GetExitCodeProcess(m_processHandle.get(), &code)) return FALSE;
    return code == STILL_ACTIVE ? TRUE : FALSE;
}

void CIERelayServer::ReleaseRelayProcess(DWORD timeoutMs) {
    if (!m_processHandle) return;
    ::WaitForSingleObject(m_processHandle.get(), timeoutMs);
    m_processHandle.reset();
    m_processInfo.hProcess = nullptr;
}
