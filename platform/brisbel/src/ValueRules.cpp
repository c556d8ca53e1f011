#include "ValueRules.h"

#include "Brisbel.h"

namespace brisbel {

DWORD ValueRules::Check(DWORD type, DWORD size) noexcept {
    if (size > TVRDB_MAX_VALUE_SIZE) return TVRDB_E_INVALID_ARG;
    switch (type) {
    case TVRDB_TYPE_BINARY:
        return TVRDB_OK;
    case TVRDB_TYPE_DWORD:
        return size == sizeof(DWORD) ? TVRDB_OK : TVRDB_E_INVALID_ARG;
    case TVRDB_TYPE_STRING:
        return size % sizeof(wchar_t) == 0 ? TVRDB_OK : TVRDB_E_INVALID_ARG;
    default:
        return TVRDB_E_INVALID_ARG;
    }
}

} // namespace brisbel
