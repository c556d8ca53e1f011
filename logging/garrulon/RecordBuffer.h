// A session's buffered records, oldest first, with the resend mark: the
// record that was newest when a flush last failed. The mark always names a
// record that is still held; whatever removes the marked record clears it.
//
// Threads: none of its own; the owning session is used by one thread at a time.
#pragma once

#include "MailslotMessage.h"

#include <cstddef>
#include <list>

namespace torva::garrulon {

class RecordBuffer {
public:
    explicit RecordBuffer(std::size_t maxRecords = kMaxRecords) : m_maxRecords(maxRecords) {}
    RecordBuffer(const RecordBuffer&) = delete;
    RecordBuffer& operator=(const RecordBuffer&) = delete;

    // Adds record as the newest, dropping the oldest first when the buffer is
    // full. Throws std::bad_alloc with the buffer unchanged.
    void Append(const LogRecord& record);

    bool Empty() const { return m_records.empty(); }
    std::size_t Count() const { return m_records.size(); }
    // Requires !Empty().
    const LogRecord& Oldest() const { return m_records.front(); }
    // Requires !Empty(). Clears the mark when it named the oldest record.
    void RemoveOldest();

    bool HasMark() const { return m_hasMark; }
    // Marks the newest record; with no record held the mark is cleared.
    void MarkNewest();
    // True when the mark names the oldest record.
    bool OldestIsMarked() const { return m_hasMark && m_mark == m_records.begin(); }
    // Keeps the marked record and the older ones; with no mark removes all.
    void RemoveNewerThanMark();
    void RemoveAll();

    // Oldest first, for inspection.
    const std::list<LogRecord>& Records() const { return m_records; }

private:
    const std::size_t m_maxRecords;
    std::list<LogRecord> m_records;
    bool m_hasMark = false;
    std::list<LogRecord>::iterator m_mark;
};

} // namespace torva::garrulon
