// The one place where a Win32 error becomes a library result code.
#pragma once

#include <windows.h>

namespace brisbel {

class Win32Status {
public:
    // TVRDB_E_NO_MEMORY, TVRDB_E_BUSY for sharing and lock violations,
    // TVRDB_E_STORAGE for everything else.
    static DWORD From(DWORD win32Error) noexcept;
    static DWORD FromLastError() noexcept { return From(::GetLastError()); }
};

} // namespace brisbel
