#include "SettingText.h"

#include "Win32Handles.h"

#include <vector>

namespace dbservice {
namespace {

// Far beyond any setting: a larger value is not read at all.
constexpr DWORD kMaxBytes = 64 * 1024;

} // namespace

std::wstring ReadSettingText(HKEY root, const wchar_t* subKey, REGSAM view, const wchar_t* value,
                             size_t maxChars) {
    torva::UniqueRegKey key;
    if (::RegOpenKeyExW(root, subKey, 0, KEY_QUERY_VALUE | view, key.put()) != ERROR_SUCCESS)
        return {};
    DWORD type = 0, bytes = 0;
    if (::RegQueryValueExW(key.get(), value, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || bytes > kMaxBytes)
        return {};
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    if (::RegQueryValueExW(key.get(), value, nullptr, &type,
                           reinterpret_cast<BYTE*>(buffer.data()), &bytes) != ERROR_SUCCESS)
        return {};
    // Stored with or without its terminator: read to the first one.
    std::wstring text(buffer.data());
    if (type == REG_EXPAND_SZ) {
        const DWORD needed = ::ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
        if (needed == 0) return {};
        std::vector<wchar_t> expanded(needed, L'\0');
        if (::ExpandEnvironmentStringsW(text.c_str(), expanded.data(), needed) == 0) return {};
        text = expanded.data();
    }
    return text.size() > maxChars ? std::wstring() : text;
}

} // namespace dbservice
