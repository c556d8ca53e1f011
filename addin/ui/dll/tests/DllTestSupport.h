// The installed add-in module and the programs the DLL tests start.
#pragma once

#include <windows.h>

#include <map>
#include <string>

namespace module_tests {

// build/install\Quorvel.dll, from the prefix's "Location".
std::wstring InstalledQuorvel();
// Runs a command line and waits for it; its exit code, or -1.
DWORD RunProcess(const std::wstring& commandLine, DWORD timeoutMs = 120000);
// regsvr32 /s [/u] on the installed module.
DWORD Regsvr32(bool unregister);
// "key=value" lines of a file.
std::map<std::wstring, std::wstring> ReadResultFile(const std::wstring& path);
bool SamePath(const std::wstring& a, const std::wstring& b);

} // namespace module_tests
