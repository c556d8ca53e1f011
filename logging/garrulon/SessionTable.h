// The sessions this process has open. Callers hold a session only as an
// opaque pointer; every call first asks the table whether that pointer is a
// session it handed out and has not closed, so a closed, foreign or made-up
// pointer is refused without ever being read.
//
// Threads: the table itself may be used from any thread at once. A session it
// hands back is used without the table's lock (one thread per session).
#pragma once

#include "Garrulon.h"
#include "LogSession.h"

#include <memory>
#include <mutex>
#include <unordered_map>

namespace torva::garrulon {

class SessionTable {
public:
    // endpoint and clock must outlive the table and every session in it.
    SessionTable(LogEndpoint& endpoint, RecordClock& clock, std::size_t maxRecords = kMaxRecords);
    SessionTable(const SessionTable&) = delete;
    SessionTable& operator=(const SessionTable&) = delete;
    // Sessions still open are freed unsent.
    ~SessionTable();

    // *session is null unless the result is TVRLOG_OK.
    [[nodiscard]] DWORD Open(const wchar_t* name, TVRLOG_HSESSION* session);
    // The open session behind handle, or null.
    [[nodiscard]] LogSession* Find(TVRLOG_HSESSION handle);
    // Runs the close's resend and frees the session; handle is invalid
    // afterwards whatever the result.
    [[nodiscard]] DWORD Close(TVRLOG_HSESSION handle);

private:
    LogEndpoint& m_endpoint;
    RecordClock& m_clock;
    const std::size_t m_maxRecords;
    std::mutex m_mutex;
    std::unordered_map<const void*, std::unique_ptr<LogSession>> m_sessions;
};

} // namespace torva::garrulon
