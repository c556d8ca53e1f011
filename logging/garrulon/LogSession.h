// One named log session: its buffered records and the three ways they leave
// it (flush, clear, close). The session object is what callers hold as their
// opaque session; SessionTable owns it and vouches for it before any call.
//
// Threads: a session is used by one thread at a time (the caller's contract);
// the clock and endpoint it shares with other sessions are thread-safe.
#pragma once

#include "LogEndpoint.h"
#include "MailslotMessage.h"
#include "RecordBuffer.h"
#include "RecordClock.h"

#include <cstdint>
#include <memory>

namespace torva::garrulon {

class LogSession {
public:
    // The tag an open session carries; cleared when the session ends, so a
    // stale copy of the object never passes for an open one.
    static constexpr std::uint32_t kOpenTag = 80;

    // name as the caller gave it (null, empty or over kMaxNameChars
    // characters: the default name). endpoint and clock must outlive the session.
    LogSession(const wchar_t* name, LogEndpoint& endpoint, RecordClock& clock,
               std::size_t maxRecords = kMaxRecords);
    LogSession(const LogSession&) = delete;
    LogSession& operator=(const LogSession&) = delete;
    ~LogSession();

    bool IsOpen() const { return m_tag == kOpenTag; }
    const wchar_t (&Name() const)[kNameRoomChars] { return m_name; }
    const RecordBuffer& Buffer() const { return m_buffer; }

    // Buffers one record of the first kRecordDataBytes bytes of data. Every
    // one of the size bytes must be readable.
    [[nodiscard]] DWORD Append(const void* data, DWORD size);
    // Sends every record, oldest first. On failure every unsent record stays
    // and the newest one is marked for a later clear or close.
    [[nodiscard]] DWORD Flush();
    // Resends up to the marked record (one attempt to reach the reader),
    // then drops what is newer; when the marked record did not get through
    // it stays with the older ones and TVRLOG_E_MAILSLOT is returned.
    [[nodiscard]] DWORD ClearBuffer();
    // The close's part: resends up to the marked record (several attempts to
    // reach the reader), then drops every record whatever happened.
    // TVRLOG_E_MAILSLOT when marked records were lost.
    [[nodiscard]] DWORD Shutdown();

private:
    // Sends and removes the oldest record; false when the write failed.
    [[nodiscard]] bool SendOldest(LogChannel& channel);
    // Sends oldest first until the marked record went out. True when it did.
    [[nodiscard]] bool ResendToMark(LogChannel& channel);

    // First, so that the tag sits at the start of the object.
    std::uint32_t m_tag = kOpenTag;
    wchar_t m_name[kNameRoomChars] = {};
    RecordBuffer m_buffer;
    LogEndpoint& m_endpoint;
    RecordClock& m_clock;
};

} // namespace torva::garrulon
