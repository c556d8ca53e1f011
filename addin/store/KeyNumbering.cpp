#include "KeyNumbering.h"

#include <windows.h>

#include <cwctype>

int KeyNumber(const std::wstring& path) {
    size_t digits = path.size();
    while (digits > 0 && std::iswdigit(path[digits - 1]))
        --digits;
    if (digits == path.size() || path.size() - digits > 9) return -1;
    return std::stoi(path.substr(digits));
}

bool SameKeyPath(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), int(a.size()), b.c_str(), int(b.size()), TRUE) ==
           CSTR_EQUAL;
}
