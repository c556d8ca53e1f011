// Reads little-endian fields out of a message's raw bytes, so that tests
// check the layout independently of the structures that produce it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace torva::garrulon::testing {

using Bytes = std::vector<std::uint8_t>;

inline std::uint32_t U16At(const Bytes& bytes, std::size_t at) {
    return bytes.at(at) | bytes.at(at + 1) << 8;
}
inline std::uint32_t U32At(const Bytes& bytes, std::size_t at) {
    return U16At(bytes, at) | U16At(bytes, at + 2) << 16;
}
inline Bytes Slice(const Bytes& bytes, std::size_t at, std::size_t count) {
    return Bytes(bytes.begin() + at, bytes.begin() + at + count);
}
template <typename T> Bytes BytesOf(const T& value) {
    const auto* first = reinterpret_cast<const std::uint8_t*>(&value);
    return Bytes(first, first + sizeof(T));
}

} // namespace torva::garrulon::testing
