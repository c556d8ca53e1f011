#include "RecordBuffer.h"

#include <iterator>

namespace torva::garrulon {

void RecordBuffer::Append(const LogRecord& record) {
    // Allocate first: a failed allocation must not cost the oldest record.
    std::list<LogRecord> added{record};
    if (m_records.size() >= m_maxRecords && !m_records.empty()) RemoveOldest();
    m_records.splice(m_records.end(), added);
}

void RecordBuffer::RemoveOldest() {
    if (OldestIsMarked()) m_hasMark = false;
    m_records.pop_front();
}

void RecordBuffer::MarkNewest() {
    m_hasMark = !m_records.empty();
    if (m_hasMark) m_mark = std::prev(m_records.end());
}

void RecordBuffer::RemoveNewerThanMark() {
    if (!m_hasMark) {
        RemoveAll();
        return;
    }
    m_records.erase(std::next(m_mark), m_records.end());
}

void RecordBuffer::RemoveAll() {
    m_records.clear();
    m_hasMark = false;
}

} // namespace torva::garrulon
