// Bytes from the system's preferred random generator, for keys, salts and
// nonces. Thread-safe.
#pragma once

#include <windows.h>

namespace corvane {

[[nodiscard]] DWORD FillRandom(BYTE* buffer, DWORD size) noexcept;

} // namespace corvane
