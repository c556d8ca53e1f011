// Reads the records of a generation file from a given offset up to a given
// end, deciding where good data stops.
//
// A record whose announced length runs past the end, a header cut short, or
// a tail of nothing but zero bytes is a torn tail: the writer died in the
// middle of an append (or the file system extended the file before the data
// reached it). That is not damage: everything before it is intact, and the
// tail is cut off before the next append. A complete record whose checksum
// does not match, an unknown kind, non-zero reserved bytes, a length no
// writer produces, or a payload that does not decode is damage. (A length
// field damaged so that it points past the end of the file cannot be told
// from a torn tail; every other damaged byte fails a check.)
#pragma once

#include "LogFile.h"
#include "Record.h"

#include <cstdint>
#include <vector>

namespace brisbel {

class RecordReader {
public:
    RecordReader(LogFile& file, uint64_t start, uint64_t end);

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

    LogFile& m_file;
    uint64_t m_position;
    uint64_t m_end;
    bool m_torn = false;
    std::vector<uint8_t> m_buffer;
    uint64_t m_bufferStart = 0;
};

} // namespace brisbel
