#include "CIERelayClient.h"

#include <cwchar>

CIERelayClient::CIERelayClient(const std::wstring& pipeName) : IERelay_Common(pipeName) {}

namespace {

// Quick tries after a busy answer: the server signals the relay just before
// it starts listening, so the instance is nearly always ready within a few
// tries, and waiting on the pipe's name costs several times what a try does.
// The tries follow each other at once: giving up the processor in between
// can hand it to another program for a whole time slice.
constexpr int kQuickTriesWhenBusy = 16;

torva::UniqueFile OpenClientEnd(const std::wstring& name) {
    return torva::UniqueFile(::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
}

} // namespace

BOOL CIERelayClient::OpenPipe() {
    if (m_pipe) return TRUE;
    for (int attempt = 0; attempt < m_timings.openTries; ++attempt) {
        torva::UniqueFile pipe = OpenClientEnd(m_pipeName);
        for (int quick = 0;
             !pipe && quick < kQuickTriesWhenBusy && ::GetLastError() == ERROR_PIPE_BUSY; ++quick) {
            pipe = OpenClientEnd(m_pipeName);
        }
        if (pipe) {
            m_pipe = std::move(pipe);
            return TRUE;
        }
        // Still busy: the server has not started listening yet. Waiting on
        // the name returns as soon as it does, within the same pause that a
        // plain sleep would take.
        if (::GetLastError() == ERROR_PIPE_BUSY) {
            const DWORD start = ::GetTickCount();
            if (::WaitNamedPipeW(m_pipeName.c_str(), m_timings.openRetryWait)) continue;
            if (::GetTickCount() - start >= m_timings.openRetryWait) continue;
        }
        ::Sleep(m_timings.openRetryWait);
    }
    return FALSE;
}

void CIERelayClient::ClosePipe() {
    m_pipe.reset();
}

DWORD CIERelayClient::GetServerPid() const {
    const size_t at = m_pipeName.rfind(L'@');
    if (at == std::wstring::npos) return 0;
    const wchar_t* digits = m_pipeName.c_str() + at + 1;
    if (*digits < L'0' || *digits > L'9') return 0;
    wchar_t* end = nullptr;
    const unsigned long long pid = std::wcstoull(digits, &end, 10);
    if (*end != L'\0' || pid > 0xFFFFFFFFull) return 0;
    return static_cast<DWORD>(pid);
}
