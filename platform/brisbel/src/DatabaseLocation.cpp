#include "DatabaseLocation.h"

#include "Brisbel.h"
#include "Win32Handles.h"
#include "Win32Status.h"

#include <sddl.h>

#include <cwchar>
#include <memory>
#include <vector>

namespace brisbel {
namespace {

constexpr wchar_t kProductKey[] = L"SOFTWARE\\Kobel\\TORVA";
constexpr wchar_t kManagerKey[] = L"SOFTWARE\\Kobel\\TORVA\\DBMGR";

} // namespace

DWORD DatabaseLocation::ReadString(const wchar_t* subKey, const wchar_t* value,
                                   std::wstring& text) {
    text.clear();
    torva::UniqueRegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey, 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY,
                        key.put()) != ERROR_SUCCESS) {
        return TVRDB_OK; // not set
    }
    DWORD type = 0, bytes = 0;
    if (::RegQueryValueExW(key.get(), value, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return TVRDB_OK;
    }
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (::RegQueryValueExW(key.get(), value, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                           &bytes) != ERROR_SUCCESS) {
        return TVRDB_E_STORAGE;
    }
    buffer.back() = L'\0';
    std::wstring raw(buffer.data());
    if (type == REG_EXPAND_SZ) {
        const DWORD needed = ::ExpandEnvironmentStringsW(raw.c_str(), nullptr, 0);
        if (needed == 0) return Win32Status::FromLastError();
        std::vector<wchar_t> expanded(needed, L'\0');
        if (::ExpandEnvironmentStringsW(raw.c_str(), expanded.data(), needed) == 0) {
            return Win32Status::FromLastError();
        }
        raw = expanded.data();
    }
    while (!raw.empty() && (raw.back() == L'\\' || raw.back() == L'/'))
        raw.pop_back();
    text = std::move(raw);
    return TVRDB_OK;
}

DWORD DatabaseLocation::CreateFolder(const std::wstring& folder) {
    if (::CreateDirectoryW(folder.c_str(), nullptr)) return TVRDB_OK;
    DWORD error = ::GetLastError();
    if (error == ERROR_ALREADY_EXISTS) {
        const DWORD attributes = ::GetFileAttributesW(folder.c_str());
        return (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
                   ? TVRDB_OK
                   : TVRDB_E_STORAGE;
    }
    if (error != ERROR_PATH_NOT_FOUND) return Win32Status::From(error);
    // Parents first.
    const size_t slash = folder.find_last_of(L"\\/");
    if (slash == std::wstring::npos || slash == 0 || folder[slash - 1] == L':') {
        return TVRDB_E_STORAGE;
    }
    if (const DWORD status = CreateFolder(folder.substr(0, slash))) return status;
    if (::CreateDirectoryW(folder.c_str(), nullptr)) return TVRDB_OK;
    error = ::GetLastError();
    return error == ERROR_ALREADY_EXISTS ? TVRDB_OK : Win32Status::From(error);
}

DWORD DatabaseLocation::Folder(std::wstring& folder) {
    std::wstring path;
    if (const DWORD status = ReadString(kManagerKey, L"DbPath", path)) return status;
    if (path.empty()) {
        if (const DWORD status = ReadString(kProductKey, L"Location", path)) return status;
        if (path.empty()) return TVRDB_E_NO_DATABASE;
        path += L"\\Storage";
    }
    if (const DWORD status = CreateFolder(path)) return status;
    folder = std::move(path);
    return TVRDB_OK;
}

DWORD DatabaseLocation::CurrentUserSid(std::wstring& sid) {
    torva::UniqueHandle token;
    if (!::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, token.put()) &&
        !::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) {
        return TVRDB_E_NO_DATABASE;
    }
    DWORD bytes = 0;
    ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &bytes);
    if (bytes == 0) return TVRDB_E_NO_DATABASE;
    std::vector<uint8_t> buffer(bytes);
    if (!::GetTokenInformation(token.get(), TokenUser, buffer.data(), bytes, &bytes)) {
        return TVRDB_E_NO_DATABASE;
    }
    const auto* user = reinterpret_cast<const TOKEN_USER*>(buffer.data());
    wchar_t* text = nullptr;
    if (!::ConvertSidToStringSidW(user->User.Sid, &text)) return TVRDB_E_NO_DATABASE;
    torva::UniqueLocalMem owner(text);
    sid = text;
    return TVRDB_OK;
}

DWORD DatabaseLocation::CheckName(const wchar_t* name) {
    if (!name || !*name) return TVRDB_E_INVALID_ARG;
    const size_t length = ::wcsnlen(name, kMaxNameLength + 1);
    if (length > kMaxNameLength) return TVRDB_E_NAME_TOO_LONG;
    for (size_t i = 0; i < length; ++i) {
        if (name[i] < 0x20 || std::wcschr(L"\\/:*?\"<>|", name[i])) return TVRDB_E_INVALID_ARG;
    }
    return TVRDB_OK;
}

} // namespace brisbel
