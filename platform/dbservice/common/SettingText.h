// A text setting of the database service's key, read the way the database
// library and the diagnosis tool read theirs: REG_SZ as it stands,
// REG_EXPAND_SZ with its environment variables expanded.
#pragma once

#include <windows.h>

#include <string>

namespace dbservice {

// Empty when the key or value is missing, of another type, or longer than
// maxChars characters once expanded.
std::wstring ReadSettingText(HKEY root, const wchar_t* subKey, REGSAM view, const wchar_t* value,
                             size_t maxChars);

} // namespace dbservice
