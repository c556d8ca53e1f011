#include "SystemLogEnvironment.h"

#include "LogFormat.h"
#include "Win32Handles.h"

#include <shlobj.h>

#include <vector>

namespace torva::fenwix {
namespace {

using GetKnownFolderPathFn = HRESULT(WINAPI*)(REFKNOWNFOLDERID, DWORD, HANDLE, PWSTR*);

std::wstring ModuleFileName(HMODULE module) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

std::optional<std::wstring> WindowsDirectory() {
    wchar_t buffer[MAX_PATH + 1] = {};
    const UINT length = ::GetWindowsDirectoryW(buffer, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) return std::nullopt;
    return std::wstring(buffer, length);
}

// The token that names the account: the thread's when it impersonates,
// otherwise the process's.
UniqueHandle OpenIdentityToken() {
    UniqueHandle token;
    if (::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, token.put())) return token;
    if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return token;
    return {};
}

} // namespace

std::optional<DWORD> SystemLogEnvironment::ReadSetting(const wchar_t* valueName) {
    UniqueRegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY,
                        key.put()) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (::RegQueryValueExW(key.get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                           &size) != ERROR_SUCCESS)
        return std::nullopt;
    if (type != REG_DWORD || size != sizeof(value)) return std::nullopt;
    return value;
}

DWORD SystemLogEnvironment::WindowsMajorVersion() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!::GetVersionExW(&info)) return 0;
    return info.dwMajorVersion;
}

std::optional<std::wstring> SystemLogEnvironment::KnownLogFolder() {
    // The shell is loaded only for this one call and from the system folder:
    // a bare-name load could pick up a planted shell32.dll.
    wchar_t system[MAX_PATH + 1] = {};
    const UINT length = ::GetSystemDirectoryW(system, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) return std::nullopt;
    const std::wstring shellPath = std::wstring(system, length) + L"\\shell32.dll";
    UniqueModule shell(::LoadLibraryW(shellPath.c_str()));
    if (!shell) return std::nullopt;
    const auto getKnownFolderPath = reinterpret_cast<GetKnownFolderPathFn>(
        reinterpret_cast<void*>(::GetProcAddress(shell.get(), "SHGetKnownFolderPath")));
    if (!getKnownFolderPath) return std::nullopt;
    PWSTR raw = nullptr;
    const HRESULT hr = getKnownFolderPath(kLocalAppDataLow, 0, nullptr, &raw);
    UniqueCoTaskMem owned(raw);
    if (FAILED(hr) || raw == nullptr || raw[0] == L'\0') return std::nullopt;
    std::wstring folder(raw);
    if (folder.back() != L'\\') folder += L'\\';
    return folder;
}

std::wstring
SystemLogEnvironment::FallbackFolderFor(const std::optional<std::wstring>& windowsDirectory) {
    std::wstring drive = kDefaultDrive;
    if (windowsDirectory && windowsDirectory->size() >= 2) drive = windowsDirectory->substr(0, 2);
    return drive + L"\\" + kFallbackFolderName + L"\\";
}

std::wstring SystemLogEnvironment::FallbackLogFolder() {
    std::wstring folder = FallbackFolderFor(WindowsDirectory());
    // An existing folder is the usual case; any other failure shows up as a
    // file that cannot be opened, and the line is lost as for any write failure.
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::optional<std::wstring> SystemLogEnvironment::UserName() {
    const UniqueHandle token = OpenIdentityToken();
    if (!token) return std::nullopt;
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    if (size == 0) return std::nullopt;
    std::vector<BYTE> buffer(size);
    if (!::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size))
        return std::nullopt;
    const PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
    wchar_t account[257] = {};
    wchar_t domain[257] = {};
    DWORD accountChars = 257;
    DWORD domainChars = 257;
    SID_NAME_USE use{};
    if (!::LookupAccountSidW(nullptr, sid, account, &accountChars, domain, &domainChars, &use))
        return std::nullopt;
    return std::wstring(domain) + L"." + account;
}

std::wstring SystemLogEnvironment::BaseNameOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos) name.resize(dot);
    return name;
}

std::wstring SystemLogEnvironment::ModuleBaseName(HMODULE module) {
    return BaseNameOf(ModuleFileName(module));
}

} // namespace torva::fenwix
