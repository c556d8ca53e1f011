#include "RecordReader.h"

#include "Crc32.h"
#include "RecordCodec.h"

#include <algorithm>
#include <cstring>

namespace brisbel {
namespace {

using format::RecordHeader;

// Replay reads the file in pieces of this size; a record larger than that is
// read whole.
constexpr size_t kReadAhead = 1u << 20;

} // namespace

RecordReader::RecordReader(LogFile& file, uint64_t start, uint64_t end)
    : m_file(file), m_position(start), m_end(end), m_bufferStart(start) {}

DWORD RecordReader::Fill(size_t size, bool& available) {
    available = m_position + size <= m_end;
    if (!available) return TVRDB_OK;
    const uint64_t bufferEnd = m_bufferStart + m_buffer.size();
    if (m_position >= m_bufferStart && m_position + size <= bufferEnd) return TVRDB_OK;

    const size_t want =
        static_cast<size_t>(std::min<uint64_t>(std::max(size, kReadAhead), m_end - m_position));
    m_buffer.resize(want);
    m_bufferStart = m_position;
    size_t read = 0;
    if (const DWORD status = m_file.ReadAt(m_position, m_buffer.data(), want, read)) {
        m_buffer.clear();
        return status;
    }
    m_buffer.resize(read);
    // The file shrank under us: only a writer cutting a torn tail does that,
    // and it does so under the lock we hold, so this is an outside hand.
    if (read < size) return TVRDB_E_STORAGE;
    return TVRDB_OK;
}

DWORD RecordReader::RestIsZero(bool& zero) {
    zero = true;
    while (zero && m_position < m_end) {
        const size_t piece =
            static_cast<size_t>(std::min<uint64_t>(kReadAhead, m_end - m_position));
        bool available = false;
        if (const DWORD status = Fill(piece, available)) return status;
        const uint8_t* p = At();
        zero = std::all_of(p, p + piece, [](uint8_t b) { return b == 0; });
        m_position += piece;
    }
    return TVRDB_OK;
}

DWORD RecordReader::Next(Record& record) {
    if (m_torn || m_position >= m_end) return TVRDB_E_NO_MORE_ITEMS;

    bool available = false;
    if (const DWORD status = Fill(sizeof(RecordHeader), available)) return status;
    if (!available) {
        // The writer died before its header was complete.
        m_torn = true;
        return TVRDB_E_NO_MORE_ITEMS;
    }
    RecordHeader header;
    std::memcpy(&header, At(), sizeof(header));

    static constexpr RecordHeader kZero{};
    if (std::memcmp(&header, &kZero, sizeof(header)) == 0) {
        const uint64_t start = m_position;
        bool zero = false;
        if (const DWORD status = RestIsZero(zero)) return status;
        m_position = start;
        if (!zero) return TVRDB_E_CORRUPT;
        // The file grew before the data reached it; nothing of the record is there.
        m_torn = true;
        return TVRDB_E_NO_MORE_ITEMS;
    }
    if (!RecordCodec::IsKnownKind(header.kind) || header.reserved[0] || header.reserved[1] ||
        header.reserved[2] || header.length > format::kMaxPayload) {
        return TVRDB_E_CORRUPT;
    }

    const size_t total = sizeof(RecordHeader) + header.length;
    if (const DWORD status = Fill(total, available)) return status;
    if (!available) {
        // The writer died in the middle of this record; every record before
        // it was complete when its call returned. Not damage: the tail is
        // cut off before the next append.
        m_torn = true;
        return TVRDB_E_NO_MORE_ITEMS;
    }
    const uint8_t* bytes = At();
    if (Crc32::Of(bytes + sizeof(header.crc), total - sizeof(header.crc)) != header.crc) {
        return TVRDB_E_CORRUPT;
    }
    const auto kind = static_cast<format::RecordKind>(header.kind);
    if (!RecordCodec::Decode(kind, bytes + sizeof(RecordHeader), header.length, record)) {
        return TVRDB_E_CORRUPT;
    }
    m_position += total;
    return TVRDB_OK;
}

} // namespace brisbel
