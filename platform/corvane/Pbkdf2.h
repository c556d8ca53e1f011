// PBKDF2 with HMAC-SHA-256 through CNG. Thread-safe. The run time grows
// linearly with iterations (about a quarter of a second for 100000 here).
#pragma once

#include <windows.h>

#include "ByteView.h"

namespace corvane {

[[nodiscard]] DWORD DeriveKeyPbkdf2Sha256(ByteView password, ByteView salt, DWORD iterations,
                                          BYTE* key, DWORD keySize);

} // namespace corvane
