#include "SessionTable.h"

#include <new>

namespace torva::garrulon {

SessionTable::SessionTable(LogEndpoint& endpoint, RecordClock& clock, std::size_t maxRecords)
    : m_endpoint(endpoint), m_clock(clock), m_maxRecords(maxRecords) {}

SessionTable::~SessionTable() = default;

DWORD SessionTable::Open(const wchar_t* name, TVRLOG_HSESSION* session) {
    if (session == nullptr) return TVRLOG_E_INVALID_ARG;
    *session = nullptr;
    if (name == nullptr) return TVRLOG_E_INVALID_ARG;

    std::unique_ptr<LogSession> created(new (std::nothrow)
                                            LogSession(name, m_endpoint, m_clock, m_maxRecords));
    if (!created) return TVRLOG_E_NO_MEMORY;
    LogSession* const raw = created.get();
    try {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_sessions.emplace(raw, std::move(created));
    } catch (const std::bad_alloc&) {
        return TVRLOG_E_NO_MEMORY;
    }
    *session = reinterpret_cast<TVRLOG_HSESSION>(raw);
    return TVRLOG_OK;
}

LogSession* SessionTable::Find(TVRLOG_HSESSION handle) {
    if (handle == nullptr) return nullptr;
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_sessions.find(handle);
    if (found == m_sessions.end() || !found->second->IsOpen()) return nullptr;
    return found->second.get();
}

DWORD SessionTable::Close(TVRLOG_HSESSION handle) {
    std::unique_ptr<LogSession> closing;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = m_sessions.find(handle);
        if (found == m_sessions.end()) return TVRLOG_E_INVALID_ARG;
        closing = std::move(found->second);
        m_sessions.erase(found);
    }
    // Outside the lock: the resend may wait for the reader for a while, and
    // other sessions must not wait with it.
    return closing->Shutdown();
}

} // namespace torva::garrulon
