// One open key below HKCU holding the stand-in's settings. Results are the
// library's own codes: TVRAUTH_E_NOT_FOUND for a missing key or value,
// TVRAUTH_E_STORAGE for any other registry failure or a value of the wrong type.
#pragma once

#include "Win32Handles.h"

#include <windows.h>

#include <string>
#include <vector>

namespace peltrix {

class SettingsKey {
public:
    SettingsKey() = default;

    // path is relative to HKCU. With create, missing keys on the way are made.
    [[nodiscard]] static DWORD Open(const std::wstring& path, bool create, SettingsKey& out);
    // Removes path with everything below it; a missing key is not an error.
    [[nodiscard]] static DWORD DeleteTree(const std::wstring& path);

    [[nodiscard]] DWORD ReadBinary(const std::wstring& name, std::vector<BYTE>& out) const;
    [[nodiscard]] DWORD ReadDword(const std::wstring& name, DWORD& out) const;
    [[nodiscard]] DWORD WriteBinary(const std::wstring& name, const BYTE* data, DWORD size);
    [[nodiscard]] DWORD WriteDword(const std::wstring& name, DWORD value);
    // TVRAUTH_E_NOT_FOUND when there was no such value.
    [[nodiscard]] DWORD DeleteValue(const std::wstring& name);
    // Names of every value of this key, in registry order.
    [[nodiscard]] DWORD ValueNames(std::vector<std::wstring>& out) const;

private:
    [[nodiscard]] DWORD ReadRaw(const std::wstring& name, DWORD expectedType,
                                std::vector<BYTE>& out) const;

    torva::UniqueRegKey m_key;
};

} // namespace peltrix
