#include "RegistryText.h"

#include <cwchar>
#include <vector>

namespace ostravo {

bool RegistryText::Read(HKEY key, const wchar_t* name, size_t maxChars, std::wstring& out) {
    out.clear();
    DWORD type = 0, bytes = 0;
    if (::RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return false;
    }
    // A stored terminator is allowed for, a missing one is added; anything
    // beyond the limit is not read.
    if (bytes > (maxChars + 1) * sizeof(wchar_t) + 1) return false;
    std::vector<wchar_t> buffer(maxChars + 2, L'\0');
    bytes = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                           &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return false;
    }
    const size_t length = ::wcsnlen(buffer.data(), bytes / sizeof(wchar_t));
    if (length > maxChars) return false;
    std::wstring text(buffer.data(), length);
    if (type == REG_EXPAND_SZ) {
        const DWORD needed = ::ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
        if (needed == 0 || needed > maxChars + 1) return false;
        std::vector<wchar_t> expanded(needed + 1, L'\0');
        const DWORD got = ::ExpandEnvironmentStringsW(text.c_str(), expanded.data(), needed);
        if (got == 0 || got > needed) return false;
        text = expanded.data();
    }
    out = std::move(text);
    return true;
}

bool RegistryText::ReadDword(HKEY key, const wchar_t* name, DWORD& out) {
    DWORD type = 0, value = 0, bytes = sizeof(value);
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || bytes != sizeof(value)) {
        return false;
    }
    out = value;
    return true;
}

} // namespace ostravo
