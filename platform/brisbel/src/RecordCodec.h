// Turns records into their on-disk bytes and back. A payload that does not
// decode exactly is damage, never a record with garbage in it.
#pragma once

#include "Record.h"

namespace brisbel {

class RecordCodec {
public:
    // Appends header and payload to out.
    static void Encode(const Record& record, std::vector<uint8_t>& out);
    // The same bytes for a record given by parts (compaction writes from the
    // tree without building Records).
    static void Encode(format::RecordKind kind, std::wstring_view path, std::wstring_view name,
                       DWORD type, const uint8_t* data, size_t size, std::vector<uint8_t>& out);
    // Bytes Encode appends, header included; path and name in characters.
    static uint64_t EncodedSize(format::RecordKind kind, size_t pathLength, size_t nameLength,
                                size_t dataSize) noexcept;

    // False when the payload is malformed for its kind (lengths that do not
    // add up, a bad type or size, an over-long name, a trailing byte).
    [[nodiscard]] static bool Decode(format::RecordKind kind, const uint8_t* payload, size_t length,
                                     Record& out);
    static bool IsKnownKind(uint8_t kind) noexcept;
};

} // namespace brisbel
