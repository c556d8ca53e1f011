#include "SystemRandom.h"

#include <bcrypt.h>

#include "CngStatus.h"

namespace corvane {

DWORD FillRandom(BYTE* buffer, DWORD size) noexcept {
    return StatusFromNt(BCryptGenRandom(nullptr, buffer, size, BCRYPT_USE_SYSTEM_PREFERRED_RNG));
}

} // namespace corvane
