// The install folder and the temporary folder of the add-in. Neither reports
// an error: a folder that cannot be had comes back empty.
#pragma once

#include <windows.h>

#include <string>

// The product's install folder with one trailing backslash, or empty. Read
// from the 32-bit registry view, also by the 64-bit add-in.
std::wstring GetModuleDirPath();
// The temporary folder (%TEMP%, else %TMP%, else the local application data
// folder) followed by a backslash; left unchanged when none can be had.
void GetTempDirPath(std::wstring& path);

namespace addin_detail {
// The text of the "Location" value under root\subKey followed by "\", or
// empty when the key or value cannot be read. extraAccess picks the view.
std::wstring ReadLocationValue(HKEY root, const wchar_t* subKey, REGSAM extraAccess);
} // namespace addin_detail
