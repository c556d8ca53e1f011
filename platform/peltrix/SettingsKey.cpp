#include "SettingsKey.h"

#include "Peltrix.h"

namespace peltrix {
namespace {

DWORD FromRegistry(LSTATUS status) {
    if (status == ERROR_SUCCESS) return TVRAUTH_OK;
    if (status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND)
        return TVRAUTH_E_NOT_FOUND;
    return TVRAUTH_E_STORAGE;
}

} // namespace

DWORD SettingsKey::Open(const std::wstring& path, bool create, SettingsKey& out) {
    torva::UniqueRegKey key;
    LSTATUS status;
    if (create) {
        status = ::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                                   KEY_READ | KEY_WRITE, nullptr, key.put(), nullptr);
    } else {
        status =
            ::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ | KEY_WRITE, key.put());
    }
    if (status != ERROR_SUCCESS) return FromRegistry(status);
    out.m_key = std::move(key);
    return TVRAUTH_OK;
}

DWORD SettingsKey::DeleteTree(const std::wstring& path) {
    const LSTATUS status = ::RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
    if (status == ERROR_FILE_NOT_FOUND) return TVRAUTH_OK;
    if (status != ERROR_SUCCESS) return TVRAUTH_E_STORAGE;
    // RegDeleteTree leaves the key itself; an empty key is removed here.
    const LSTATUS removed = ::RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
    if (removed != ERROR_SUCCESS && removed != ERROR_FILE_NOT_FOUND) return TVRAUTH_E_STORAGE;
    return TVRAUTH_OK;
}

DWORD SettingsKey::ReadRaw(const std::wstring& name, DWORD expectedType,
                           std::vector<BYTE>& out) const {
    // Another process may rewrite the value between the size query and the
    // read; the loop takes the size again until both agree.
    for (int attempt = 0; attempt < 8; ++attempt) {
        DWORD type = 0;
        DWORD size = 0;
        LSTATUS status =
            ::RegQueryValueExW(m_key.get(), name.c_str(), nullptr, &type, nullptr, &size);
        if (status != ERROR_SUCCESS) return FromRegistry(status);
        if (type != expectedType) return TVRAUTH_E_STORAGE;
        std::vector<BYTE> data(size);
        status = ::RegQueryValueExW(m_key.get(), name.c_str(), nullptr, &type,
                                    data.empty() ? nullptr : data.data(), &size);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) return FromRegistry(status);
        if (type != expectedType) return TVRAUTH_E_STORAGE;
        data.resize(size);
        out = std::move(data);
        return TVRAUTH_OK;
    }
    return TVRAUTH_E_STORAGE;
}

DWORD SettingsKey::ReadBinary(const std::wstring& name, std::vector<BYTE>& out) const {
    return ReadRaw(name, REG_BINARY, out);
}

DWORD SettingsKey::ReadDword(const std::wstring& name, DWORD& out) const {
    std::vector<BYTE> data;
    const DWORD status = ReadRaw(name, REG_DWORD, data);
    if (status != TVRAUTH_OK) return status;
    if (data.size() != sizeof(DWORD)) return TVRAUTH_E_STORAGE;
    CopyMemory(&out, data.data(), sizeof(DWORD));
    return TVRAUTH_OK;
}

DWORD SettingsKey::WriteBinary(const std::wstring& name, const BYTE* data, DWORD size) {
    return FromRegistry(::RegSetValueExW(m_key.get(), name.c_str(), 0, REG_BINARY, data, size));
}

DWORD SettingsKey::WriteDword(const std::wstring& name, DWORD value) {
    return FromRegistry(::RegSetValueExW(m_key.get(), name.c_str(), 0, REG_DWORD,
                                         reinterpret_cast<const BYTE*>(&value), sizeof(value)));
}

DWORD SettingsKey::DeleteValue(const std::wstring& name) {
    return FromRegistry(::RegDeleteValueW(m_key.get(), name.c_str()));
}

DWORD SettingsKey::ValueNames(std::vector<std::wstring>& out) const {
    DWORD count = 0;
    DWORD longest = 0;
    LSTATUS status = ::RegQueryInfoKeyW(m_key.get(), nullptr, nullptr, nullptr, nullptr, nullptr,
                                        nullptr, &count, &longest, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) return FromRegistry(status);
    std::vector<std::wstring> names;
    std::vector<wchar_t> buffer(longest + 1);
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(buffer.size());
        status = ::RegEnumValueW(m_key.get(), index, buffer.data(), &length, nullptr, nullptr,
                                 nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status == ERROR_MORE_DATA) {
            // A longer name was added after the size query; grow and retry it.
            buffer.resize(buffer.size() * 2);
            --index;
            continue;
        }
        if (status != ERROR_SUCCESS) return FromRegistry(status);
        names.emplace_back(buffer.data(), length);
    }
    out = std::move(names);
    return TVRAUTH_OK;
}

} // namespace peltrix
