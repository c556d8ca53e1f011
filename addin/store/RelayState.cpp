#include "RelayState.h"

#include "EventWait.h"
#include "PathHelpers.h"
#include "RelayRecords.h"

#include <cstdio>

namespace {

// The request lock and the URL-list lock: named events created signalled.
// They are auto-reset events on purpose: a successful wait is the whole
// take, so of two threads waiting at once exactly one gets in. (Waiting on a
// manual-reset event and resetting it afterwards lets both through.)
torva::UniqueHandle CreateLock(const std::wstring& name) {
    return torva::UniqueHandle(::CreateEventW(nullptr, FALSE, TRUE, name.c_str()));
}

std::wstring PerProcessName(const wchar_t* base) {
    wchar_t name[96];
    std::swprintf(name, 96, L"%ls_%lu", base, ::GetCurrentProcessId());
    return name;
}

} // namespace

RelayState& RelayState::Instance() {
    static RelayState state;
    return state;
}

bool RelayState::AddStore() {
    std::lock_guard<std::mutex> guard(m_setupMutex);
    const bool first = m_stores.fetch_add(1) == 0;
    if (!m_requestLock) {
        m_requestLockName = PerProcessName(L"Global\\MutexIERelay");
        m_requestLock = CreateLock(m_requestLockName);
    }
    if (!m_urlLock) {
        m_urlLockName = PerProcessName(L"Global\\EVENT_URLLIST_ACCESS");
        m_urlLock = CreateLock(m_urlLockName);
    }
    return first;
}

bool RelayState::RemoveStore() noexcept {
    return m_stores.fetch_sub(1) <= 1;
}

bool RelayState::ThisThreadHoldsLock() const noexcept {
    return m_lockOwner == ::GetCurrentThreadId();
}

HANDLE RelayState::TakeRequestLock(DWORD timeoutMs) {
    if (ThisThreadHoldsLock() || m_requestLockName.empty()) return nullptr;
    torva::UniqueHandle lock(::OpenEventW(EVENT_ALL_ACCESS, FALSE, m_requestLockName.c_str()));
    if (!lock) return nullptr;
    if (!torva::relay::WaitNamedEvent(m_requestLockName.c_str(), timeoutMs)) return nullptr;
    m_lockOwner = ::GetCurrentThreadId();
    return lock.release();
}

void RelayState::ReleaseRequestLock(HANDLE& lock) noexcept {
    if (!lock) return;
    m_lockOwner = 0;
    if (m_endPending && m_stores.load() <= 0) EndRelayLocked();
    ::SetEvent(lock);
    ::CloseHandle(lock);
    lock = nullptr;
}

void RelayState::SetRelayFolder(std::wstring folder) {
    m_folder = std::move(folder);
}

DWORD RelayState::RelayProcessId() const noexcept {
    return m_server ? m_server->RelayProcessId() : 0;
}

BOOL RelayState::EnsureRelay(int renew) {
    if (m_server && m_server->IsRelayAlive()) {
        if (m_events && m_events->ServerEventsCreated()) {
            if (renew == 1) {
                ::ResetEvent(m_events->WriteDataFinished());
                ::ResetEvent(m_events->ReadDataReady());
            }
            return TRUE;
        }
        if (!m_events) m_events = std::make_unique<CIERelayEvent>();
        return m_events->CreateServerEvents(m_server->GetPipeName());
    }
    m_server.reset();
    auto server = std::make_unique<CIERelayServer>();
    if (!server->CreatePipe()) return FALSE;
    m_events.reset();
    auto events = std::make_unique<CIERelayEvent>();
    if (!events->CreateServerEvents(server->GetPipeName())) return FALSE;
    const std::wstring folder = m_folder.empty() ? GetModuleDirPath() : m_folder;
    if (!server->StartRelayProcess(folder)) return FALSE;
    ++m_starts;
    m_server = std::move(server);
    m_events = std::move(events);
    torva::relay::EventWaitOptions options;
    options.maxFailedOpens = m_readyOpens;
    return torva::relay::WaitNamedEvent(m_events->ReadyName().c_str(), INFINITE, nullptr, options);
}

bool RelayState::Exchange(const std::vector<BYTE>& request, DWORD replyWait,
                          std::vector<BYTE>& reply) {
    reply.clear();
    if (!m_server || !m_events || request.size() < sizeof(RELAY_COMMON)) return false;
    ++m_counts[torva::relay::Load32(request.data(), torva::relay::kOffType) % m_counts.size()];
    CIERelayServer& server = *m_server;
    if (!server.SetSendData(request.data(), static_cast<DWORD>(request.size()))) return false;
    ::SetEvent(m_events->WriteDataFinished());
    if (!server.ConnectPipe()) {
        ::ResetEvent(m_events->WriteDataFinished());
        return false;
    }
    ::ResetEvent(m_events->WriteDataFinished());
    if (!server.PipeWrite()) {
        server.DisconnectPipe();
        return false;
    }
    // The event seen is closed after the answer, not between seeing and answering.
    torva::UniqueHandle seen;
    if (!IERelay_Common::WaitEvent(m_events->GetDataFinishedName().c_str(), replyWait, nullptr,
                                   &seen)) {
        server.DisconnectPipe();
        return false;
    }
    ::SetEvent(m_events->ReadDataReady());
    seen.reset();
    const bool read = server.PipeRead() != FALSE;
    if (read) reply.assign(server.GetRecvData(), server.GetRecvData() + server.GetRecvSize());
    ::ResetEvent(m_events->ReadDataReady());
    server.DisconnectPipe();
    return read;
}

void RelayState::EndRelay() noexcept {
    if (ThisThreadHoldsLock()) {
        m_endPending = true;
        return;
    }
    // Waits for an exchange of another thread; the lock's wait dispatches
    // messages, so a window procedure may run meanwhile. The wait is bounded:
    // an exchange that goes on (an authentication nobody answers) must not
    // hold up the browser's end. The relay is then left to the thread that
    // holds the lock, which ends it when it lets go; the channel is never
    // pulled from under its exchange.
    m_endPending = true;
    HANDLE lock = TakeRequestLock(m_endLockWait);
    if (!lock) {
        if (m_requestLockName.empty()) EndRelayLocked();
        // The holder may have let go just before the flag was seen.
        lock = TakeRequestLock(0);
        if (!lock) return;
    }
    ReleaseRequestLock(lock);
}

void RelayState::EndRelayLocked() noexcept {
    m_endPending = false;
    if (m_server && m_events) {
        if (m_server->IsRelayAlive()) {
            const RELAY_COMMON end{sizeof(RELAY_COMMON), TYPE_END};
            if (m_server->SetSendData(&end, sizeof end)) {
                ::SetEvent(m_events->WriteDataFinished());
                if (m_server->ConnectPipe()) (void)m_server->PipeWrite();
                ::ResetEvent(m_events->WriteDataFinished());
            }
            m_server->ReleaseRelayProcess(1000);
        }
    }
    m_server.reset();
    m_events.reset();
}
