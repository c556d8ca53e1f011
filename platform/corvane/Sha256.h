// SHA-256 through CNG. Thread-safe.
#pragma once

#include <windows.h>

#include "ByteView.h"

namespace corvane {

constexpr DWORD kSha256Size = 32;

[[nodiscard]] DWORD Sha256(ByteView input, BYTE (&digest)[kSha256Size]);

} // namespace corvane
