#include "PathHelpers.h"

#include "Trace.h"
#include "Win32Handles.h"

#include <shlobj.h>

namespace {

constexpr DWORD kPathChars = MAX_PATH;

// The expansion of one variable, or empty when it is unset or empty.
std::wstring ExpandVariable(const wchar_t* reference) {
    wchar_t buffer[kPathChars] = {};
    const DWORD length = ::ExpandEnvironmentStringsW(reference, buffer, kPathChars);
    if (length == 0 || length > kPathChars) return {};
    std::wstring text = buffer;
    // An unset variable expands to its own reference.
    if (text == reference) return {};
    return text;
}

struct PidlTraits {
    static LPITEMIDLIST Invalid() { return nullptr; }
    static bool IsValid(LPITEMIDLIST p) { return p != nullptr; }
    static void Close(LPITEMIDLIST p) {
        IMalloc* shellMalloc = nullptr;
        if (FAILED(::SHGetMalloc(&shellMalloc)) || !shellMalloc) return;
        shellMalloc->Free(p);
        shellMalloc->Release();
    }
};
using UniquePidl = torva::UniqueResource<LPITEMIDLIST, PidlTraits>;

} // namespace

namespace addin_detail {

std::wstring ReadLocationValue(HKEY root, const wchar_t* subKey, REGSAM extraAccess) {
    torva::UniqueRegKey key;
    if (::RegOpenKeyExW(root, subKey, 0, KEY_QUERY_VALUE | extraAccess, key.put()) !=
        ERROR_SUCCESS) {
        return {};
    }
    wchar_t buffer[kPathChars] = {};
    // One character less than the buffer keeps a terminator even when the
    // stored text has none.
    DWORD bytes = sizeof(buffer) - sizeof(wchar_t);
    if (::RegQueryValueExW(key.get(), L"Location", nullptr, nullptr,
                           reinterpret_cast<BYTE*>(buffer), &bytes) != ERROR_SUCCESS) {
        return {};
    }
    return std::wstring(buffer) + L"\\";
}

} // namespace addin_detail

std::wstring GetModuleDirPath() {
    std::wstring dir = addin_detail::ReadLocationValue(HKEY_LOCAL_MACHINE,
                                                       L"Software\\Kobel\\TORVA", KEY_WOW64_32KEY);
    if (dir.empty()) TORVA_TRACE_DETAIL(L"* sDir is Empty *");
    return dir;
}

void GetTempDirPath(std::wstring& path) {
    std::wstring folder = ExpandVariable(L"%TEMP%");
    if (folder.empty()) folder = ExpandVariable(L"%TMP%");
    if (!folder.empty()) {
        path = folder + L"\\";
        return;
    }
    UniquePidl pidl;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, CSIDL_LOCAL_APPDATA, pidl.put()))) return;
    wchar_t buffer[kPathChars] = {};
    if (!::SHGetPathFromIDListW(pidl.get(), buffer)) return;
    path = std::wstring(buffer) + L"\\";
}
