// CRC-32 (IEEE 802.3, reflected polynomial 0xEDB88320), the checksum of every
// header and record in a database file.
#pragma once

#include <cstddef>
#include <cstdint>

namespace brisbel {

class Crc32 {
public:
    // Continues a checksum: Update(Update(0, a), b) == Of(a followed by b).
    static uint32_t Update(uint32_t crc, const void* data, size_t size) noexcept;
    static uint32_t Of(const void* data, size_t size) noexcept { return Update(0, data, size); }
};

} // namespace brisbel
