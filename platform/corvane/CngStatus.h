// The one place where CNG's NTSTATUS values become Corvane result codes.
#pragma once

#include <windows.h>

namespace corvane {

// Success maps to TVRCT_OK, a failed GCM tag check to TVRCT_E_AUTH_FAILED,
// exhausted memory to TVRCT_E_NO_MEMORY, anything else to TVRCT_E_PROVIDER.
[[nodiscard]] DWORD StatusFromNt(LONG status) noexcept;

} // namespace corvane
