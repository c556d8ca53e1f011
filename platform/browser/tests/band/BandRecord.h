// What the test band writes for the test to read (HKCU
// "Software\TorvaBrowserTests\Band") and what the test asks of it (HKCU
// "Software\TorvaBrowserTests\BandSetup").
#pragma once

#include <windows.h>

#include <string>

namespace testband {

inline constexpr wchar_t kResultKey[] = L"Software\\TorvaBrowserTests\\Band";
inline constexpr wchar_t kSetupKey[] = L"Software\\TorvaBrowserTests\\BandSetup";

inline std::wstring Read(const wchar_t* key, const wchar_t* name) {
    wchar_t buf[2048] = {};
    DWORD size = sizeof buf - 2;
    if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, buf, &size) !=
        ERROR_SUCCESS)
        return L"";
    return buf;
}

inline void Record(const wchar_t* name, const std::wstring& value) {
    HKEY k = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kResultKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k,
                        nullptr))
        return;
    RegSetValueExW(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * 2));
    RegCloseKey(k);
}

// Adds a word to a value that lists what happened in order.
inline void Append(const wchar_t* name, const std::wstring& word) {
    const std::wstring before = Read(kResultKey, name);
    Record(name, before.empty() ? word : before + L" " + word);
}

// A setting the test made for this run ("" when none).
inline std::wstring Setup(const wchar_t* name) {
    return Read(kSetupKey, name);
}

HINSTANCE Module();

} // namespace testband
