// The values the helper's write loop stores for index i, so that the test
// that killed it can check every reported write byte for byte.
#pragma once

#include <windows.h>

#include <cstring>
#include <vector>

namespace brisbel::test {

inline std::vector<BYTE> Pattern(DWORD i, size_t size) {
    std::vector<BYTE> bytes(size);
    for (size_t b = 0; b < size; ++b)
        bytes[b] = static_cast<BYTE>(i * 31 + b * 7);
    if (size >= sizeof(i)) std::memcpy(bytes.data(), &i, sizeof(i));
    return bytes;
}

// Sizes vary so that records end at every kind of offset.
inline size_t BlobSize(DWORD i) {
    return 4 + (i * 37) % 3000;
}

constexpr size_t kBigSize = 48 * 1024;

} // namespace brisbel::test
