#include "RegistrySupport.h"

#include "EnvToPath.h"

#include <TraceScope.h>
#include <Win32Handles.h>

#include <cwchar>
#include <cstdlib>

LSTATUS PutErrorMessage(LSTATUS code) {
    TORVA_TRACE_ERROR(L"l = %d", static_cast<int>(code));
    return code;
}

BOOL Privilege(const wchar_t* name, BOOL enable) {
    TORVA_TRACE_SCOPE(L"Privilege");
    torva::UniqueHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                            token.put()))
        TORVA_RETURN_BOOL(FALSE);
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    if (!::LookupPrivilegeValueW(nullptr, name, &privileges.Privileges[0].Luid))
        TORVA_RETURN_BOOL(FALSE);
    privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
    if (!::AdjustTokenPrivileges(token.get(), FALSE, &privileges, sizeof privileges, nullptr,
                                 nullptr))
        TORVA_RETURN_BOOL(FALSE);
    TORVA_RETURN_BOOL(TRUE);
}

BOOL GetDirectory(const std::wstring& pattern, std::vector<std::wstring>& folders) {
    TORVA_TRACE_SCOPE(L"GetDirectory");
    if (pattern.empty()) TORVA_RETURN_BOOL(FALSE);
    const std::wstring base = pattern.substr(0, pattern.size() - 1);
    WIN32_FIND_DATAW found{};
    torva::UniqueFind find(::FindFirstFileW(pattern.c_str(), &found));
    if (!find) TORVA_RETURN_BOOL(folders.empty() ? FALSE : TRUE);
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
        if (std::wcscmp(found.cFileName, L".") == 0 || std::wcscmp(found.cFileName, L"..") == 0)
            continue;
        folders.push_back(base + found.cFileName);
    } while (::FindNextFileW(find.get(), &found));
    TORVA_RETURN_BOOL(folders.empty() ? FALSE : TRUE);
}

std::wstring ReadTextValue(HKEY key, const wchar_t* name, std::size_t maxChars) {
    // Room for maxChars and a terminator, and one character more: the
    // stored text need not end in a terminator, and the system may want
    // room to add one.
    std::wstring text(maxChars + 2, L'\0');
    DWORD type = 0;
    DWORD bytes = static_cast<DWORD>((maxChars + 1) * sizeof(wchar_t));
    if (PutErrorMessage(::RegQueryValueExW(key, name, nullptr, &type,
                                           reinterpret_cast<BYTE*>(text.data()), &bytes)) !=
        ERROR_SUCCESS)
        return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ) return {};
    const std::size_t length = ::wcsnlen(text.c_str(), bytes / sizeof(wchar_t));
    if (length > maxChars) return {};
    text.resize(length);
    return text;
}

std::wstring GetITBarLayoutKeyAt(HKEY root, const wchar_t* versionVectorKey) {
    TORVA_TRACE_SCOPE(L"GetITBarLayoutKey");
    std::wstring layoutName = L"ITBarLayout";
    torva::UniqueRegKey key;
    if (PutErrorMessage(::RegOpenKeyExW(root, versionVectorKey, 0, KEY_READ, key.put())) !=
        ERROR_SUCCESS)
        return layoutName;
    const std::wstring version = ReadTextValue(key.get(), L"IE", 64);
    if (!version.empty() && std::wcstod(version.c_str(), nullptr) >= 7.0)
        layoutName = L"ITBar7Layout";
    return layoutName;
}

std::wstring GetITBarLayoutKey() {
    return GetITBarLayoutKeyAt(HKEY_LOCAL_MACHINE,
                               L"Software\\Microsoft\\Internet Explorer\\Version Vector");
}

bool ReadProfileSetup(HKEY root, const wchar_t* profileListKey, ProfileSetup& setup) {
    TORVA_TRACE_SCOPE(L"ReadProfileSetup");
    setup = ProfileSetup{};
    torva::UniqueRegKey key;
    if (PutErrorMessage(::RegOpenKeyExW(root, profileListKey, 0, KEY_READ, key.put())) !=
        ERROR_SUCCESS)
        TORVA_RETURN_BOOL(FALSE);
    wchar_t buffer[MAX_PATH] = {};
    std::wstring text = ReadTextValue(key.get(), L"ProfilesDirectory", MAX_PATH - 1);
    if (text.empty()) TORVA_RETURN_BOOL(FALSE);
    std::wmemcpy(buffer, text.c_str(), text.size() + 1);
    if (!EnvToPath(buffer, MAX_PATH)) TORVA_RETURN_BOOL(FALSE);
    setup.profilesDirectory = buffer;

    text = ReadTextValue(key.get(), L"DefaultUserProfile", MAX_PATH - 1);
    std::wmemcpy(buffer, text.c_str(), text.size() + 1);
    if (EnvToPath(buffer, MAX_PATH)) setup.defaultUserProfile = buffer;
    TORVA_RETURN_BOOL(!setup.profilesDirectory.empty());
}
