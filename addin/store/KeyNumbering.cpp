#include "KeyNumbering.h"

#include <windows.h>

#include <cstdio>
#include <cwctype>

std::wstring NumberedKeyPath(const std::wstring& parent, const wchar_t* stem, int number) {
    wchar_t name[64];
    std::swprintf(name, 64, L"%ls%03d", stem, number);
    return parent + L"\\" + name;
}

int KeyNumber(const std::wstring& path) {
    size_t digits = path.size();
    while (digits > 0 && std::iswdigit(path[digits - 1])) --digits;
    if (digits == path.size() || path.size() - digits > 9) return -1;
    return std::stoi(path.substr(digits));
}

bool SameKeyPath(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), int(a.size()), b.c_str(), int(b.size()), TRUE) ==
           CSTR_EQUAL;
}
