// The install folder that HKLM\SOFTWARE\Kobel\TORVA "Location" names (the
// 32-bit view, where the product's installer writes it). Tests and tools use
// it to reach the installed 32-bit deliverables from a 64-bit program.
#pragma once

#include <windows.h>

#include <string>

#include "Win32Handles.h"

namespace torva {

// The folder with one trailing backslash; empty when the value is missing,
// not text, or too long.
inline std::wstring InstallFolder() {
    UniqueRegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Kobel\\TORVA", 0,
                        KEY_QUERY_VALUE | KEY_WOW64_32KEY, key.put()) != ERROR_SUCCESS) {
        return {};
    }
    wchar_t value[MAX_PATH] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    DWORD type = 0;
    if (::RegQueryValueExW(key.get(), L"Location", nullptr, &type, reinterpret_cast<BYTE*>(value),
                           &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return {};
    }
    std::wstring folder(value);
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    return folder;
}

} // namespace torva
