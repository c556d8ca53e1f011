#include "RecordReader.h"

#include "Crc32.h"
#include "RecordCodec.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace brisbel {
namespace {

using format::RecordHeader;

// Replay reads the file in pieces of this size; a record larger than that is
// read whole.
constexpr size_t kReadAhead = 1u << 20;

} // namespace

RecordReader::RecordReader(LogFile& file, uint64_t start, uint64_t end, Tail tail)
    : m_file(file), m_position(start), m_end(end), m_tail(tail), m_bufferStart(start) {}

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

DWORD RecordReader::GoodRecordAfter(uint64_t from, bool& found) {
    found = false;
    std::vector<uint8_t> piece;
    std::vector<uint8_t> whole;
    uint64_t at = from + 1;
    while (at + sizeof(RecordHeader) <= m_end) {
        // Pieces overlap by a header less one byte, so that every offset is
        // looked at with its whole header in view.
        const size_t want = static_cast<size_t>(
            std::min<uint64_t>(kReadAhead + sizeof(RecordHeader) - 1, m_end - at));
        piece.resize(want);
        size_t read = 0;
        if (const DWORD status = m_file.ReadAt(at, piece.data(), want, read)) return status;
        if (read < want) return TVRDB_E_STORAGE; // shrunk under our lock: see Fill
        const size_t starts = want - sizeof(RecordHeader) + 1;
        for (size_t i = 0; i < starts; ++i) {
            RecordHeader header;
            std::memcpy(&header, piece.data() + i, sizeof(header));
            const uint64_t room = m_end - (at + i) - sizeof(RecordHeader);
            // What every record a writer makes satisfies; checked first, as
            // it is cheap and almost no stray offset passes it.
            if (!RecordCodec::IsKnownKind(header.kind) || header.reserved[0] ||
                header.reserved[1] || header.reserved[2] ||
                header.length < format::kStringPrefixSize || header.length > format::kMaxPayload ||
                header.length > room) {
                continue;
            }
            const size_t total = sizeof(RecordHeader) + header.length;
            const uint8_t* bytes = piece.data() + i;
            if (i + total > want) {
                whole.resize(total);
                if (const DWORD status = m_file.ReadAt(at + i, whole.data(), total, read)) {
                    return status;
                }
                if (read < total) return TVRDB_E_STORAGE;
                bytes = whole.data();
            }
            if (Crc32::Of(bytes + sizeof(header.crc), total - sizeof(header.crc)) == header.crc) {
                found = true;
                return TVRDB_OK;
            }
        }
        at += starts;
    }
    return TVRDB_OK;
}

DWORD RecordReader::Damaged() {
    if (m_tail != Tail::Opening) return TVRDB_E_CORRUPT;
    bool followed = false;
    if (const DWORD status = GoodRecordAfter(m_position, followed)) return status;
    if (followed) return TVRDB_E_CORRUPT;
    // The write that was under way when the power went; never acknowledged.
    m_torn = true;
    return TVRDB_E_NO_MORE_ITEMS;
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
        // Sectors after the header's reached the disk, the header's did not.
        if (!zero) return Damaged();
        // The file grew before the data reached it; nothing of the record is there.
        m_torn = true;
        return TVRDB_E_NO_MORE_ITEMS;
    }
    const bool shapeKnown = RecordCodec::IsKnownKind(header.kind) && !header.reserved[0] &&
                            !header.reserved[1] && !header.reserved[2];
    // A header no writer makes; its length cannot be trusted to skip it.
    if (header.length > format::kMaxPayload) return Damaged();

    const size_t total = sizeof(RecordHeader) + header.length;
    if (const DWORD status = Fill(total, available)) return status;
    if (!available) {
        if (!shapeKnown) return Damaged();
        // The writer died in the middle of this record; every record before
        // it was complete when its call returned. Not damage: the tail is
        // cut off before the next append.
        m_torn = true;
        return TVRDB_E_NO_MORE_ITEMS;
    }
    const uint8_t* bytes = At();
    if (Crc32::Of(bytes + sizeof(header.crc), total - sizeof(header.crc)) != header.crc) {
        return Damaged();
    }
    // Written whole, yet not by any writer of this format.
    if (!shapeKnown) return TVRDB_E_CORRUPT;
    const auto kind = static_cast<format::RecordKind>(header.kind);
    if (!RecordCodec::Decode(kind, bytes + sizeof(RecordHeader), header.length, record)) {
        return TVRDB_E_CORRUPT;
    }
    m_position += total;
    return TVRDB_OK;
}

} // namespace brisbel
