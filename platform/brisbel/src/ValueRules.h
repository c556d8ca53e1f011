// What a value may be: the checks SetValue makes before anything is written
// and replay makes on every stored value.
#pragma once

#include <windows.h>

namespace brisbel {

class ValueRules {
public:
    // TVRDB_OK, or TVRDB_E_INVALID_ARG for an unknown type, a DWORD that is
    // not 4 bytes, a string of odd size, or more than TVRDB_MAX_VALUE_SIZE.
    [[nodiscard]] static DWORD Check(DWORD type, DWORD size) noexcept;
};

} // namespace brisbel
