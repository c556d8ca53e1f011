#include "CngStatus.h"

#include "Corvane.h"

namespace corvane {
namespace {
// ntstatus.h clashes with windows.h; these are the values CNG returns.
constexpr LONG kStatusNoMemory = static_cast<LONG>(0xC0000017);
constexpr LONG kStatusAuthTagMismatch = static_cast<LONG>(0xC000A002);
} // namespace

DWORD StatusFromNt(LONG status) noexcept {
    if (status >= 0) return TVRCT_OK;
    if (status == kStatusAuthTagMismatch) return TVRCT_E_AUTH_FAILED;
    if (status == kStatusNoMemory) return TVRCT_E_NO_MEMORY;
    return TVRCT_E_PROVIDER;
}

} // namespace corvane
