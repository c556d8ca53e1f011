// Reads the records of a generation file from a given offset up to a given
// end, deciding where good data stops.
//
// A record whose announced length runs past the end, a header cut short, or
// a tail of nothing but zero bytes is a torn tail: the writer died in the
// middle of an append (or the file system extended the file before the data
// reached it). That is not damage: everything before it is intact, and the
// tail is cut off before anything is appended after it.
//
// A whole record that fails its checksum (or a header that no writer makes,
// or a zero header with data after it) is damage, except as the very last
// record of a file that is being opened: a power loss while it was written
// can leave some of its sectors on disk and not others. Every record is
// flushed before its call returns, so such a record was never acknowledged;
// when no good record follows it anywhere in the file, it is taken as a torn
// tail too. Where a good record follows, the damage hit data that had been
// acknowledged: that is reported, never cut. While a database is open and
// another process's records are taken in, each of them was complete when the
// lock was let go, so there every failed check is damage.
//
// A record whose checksum matches but that no writer makes (an unknown kind,
// non-zero reserved bytes, a payload that does not decode) is damage
// wherever it is. (A length field damaged so that it points past the end of
// the file cannot be told from a torn tail.)
#pragma once

#include "LogFile.h"
#include "Record.h"

#include <cstdint>
#include <vector>

namespace brisbel {

class RecordReader {
public:
    enum class Tail {
        Live,    // the file is being followed: only a short tail is torn
        Opening, // after an open or a crash: a damaged last record is torn too
    };

    RecordReader(LogFile& file, uint64_t start, uint64_t end, Tail tail = Tail::Live);

    // TVRDB_OK and the next record; TVRDB_E_NO_MORE_ITEMS at the end of the
    // good data (clean or torn, see TornTail); TVRDB_E_CORRUPT at damage
    // (ValidEnd is then the damaged record's offset); TVRDB_E_STORAGE.
    [[nodiscard]] DWORD Next(Record& record);

    // Offset just past the last record returned.
    uint64_t ValidEnd() const noexcept { return m_position; }
    bool TornTail() const noexcept { return m_torn; }

private:
    // Makes [m_position, m_position + size) readable in the buffer, or
    // answers false when the file ends first.
    [[nodiscard]] DWORD Fill(size_t size, bool& available);
    const uint8_t* At() const noexcept { return m_buffer.data() + (m_position - m_bufferStart); }
    [[nodiscard]] DWORD RestIsZero(bool& zero);
    // The answer for a record at m_position that fails its checks: damage,
    // or (when opening, and no good record follows) the torn tail.
    [[nodiscard]] DWORD Damaged();
    // Whether a record with a good checksum starts anywhere in (from, m_end).
    [[nodiscard]] DWORD GoodRecordAfter(uint64_t from, bool& found);

    LogFile& m_file;
    uint64_t m_position;
    uint64_t m_end;
    Tail m_tail;
    bool m_torn = false;
    std::vector<uint8_t> m_buffer;
    uint64_t m_bufferStart = 0;
};

} // namespace brisbel
