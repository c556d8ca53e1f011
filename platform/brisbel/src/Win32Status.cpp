#include "Win32Status.h"

#include "Brisbel.h"

namespace brisbel {

DWORD Win32Status::From(DWORD win32Error) noexcept {
    switch (win32Error) {
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return TVRDB_E_NO_MEMORY;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return TVRDB_E_BUSY;
    default:
        return TVRDB_E_STORAGE;
    }
}

} // namespace brisbel
