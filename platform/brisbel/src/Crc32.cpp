#include "Crc32.h"

#include <array>

namespace brisbel {
namespace {

constexpr std::array<uint32_t, 256> MakeTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> kTable = MakeTable();
static_assert(kTable[1] == 0x77073096u, "table of the reflected IEEE polynomial");

} // namespace

uint32_t Crc32::Update(uint32_t crc, const void* data, size_t size) noexcept {
    auto p = static_cast<const uint8_t*>(data);
    uint32_t c = ~crc;
    for (size_t i = 0; i < size; ++i)
        c = kTable[(c ^ p[i]) & 0xFF] ^ (c >> 8);
    return ~c;
}

} // namespace brisbel
