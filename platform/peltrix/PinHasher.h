// PBKDF2-SHA-256 over the PIN's UTF-8 bytes, and the pieces around it.
// Stateless; safe to call from any thread.
#pragma once

#include "StoreFormat.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace peltrix {

class PinHasher {
public:
    // Fills salt with bytes from the system's random generator.
    [[nodiscard]] static DWORD MakeSalt(std::uint8_t (&salt)[kSaltBytes]);
    [[nodiscard]] static DWORD Derive(const std::wstring& pin,
                                      const std::uint8_t (&salt)[kSaltBytes],
                                      std::uint32_t iterations, std::uint8_t (&hash)[kHashBytes]);
    // Compares without an early exit so that the time taken says nothing
    // about how many leading bytes matched.
    static bool ConstantTimeEqual(const std::uint8_t* a, const std::uint8_t* b, std::size_t size);
};

} // namespace peltrix
