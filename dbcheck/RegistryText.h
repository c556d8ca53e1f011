// Text values read from the registry with every check a value written by
// anyone needs: the type, a terminator whether or not one was stored, and
// a length limit.
#pragma once

#include <windows.h>

#include <string>

namespace ostravo {

class RegistryText {
public:
    // REG_SZ, or REG_EXPAND_SZ expanded; at most maxChars characters after
    // expansion, read up to the first NUL. False (out empty) for a missing
    // value, another type, or a longer text.
    [[nodiscard]] static bool Read(HKEY key, const wchar_t* name, size_t maxChars,
                                   std::wstring& out);
    // A REG_DWORD of exactly four bytes.
    [[nodiscard]] static bool ReadDword(HKEY key, const wchar_t* name, DWORD& out);
};

} // namespace ostravo
