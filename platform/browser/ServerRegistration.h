// The registry entries that make the browser stand-in the WebBrowser control:
// the class id {8856F961-340A-11D0-A96B-00C04FD705A2} with its in-process
// server, and the ProgIDs "Shell.Explorer.2" and "Shell.Explorer". Written
// under a classes root (HKEY_CLASSES_ROOT by regsvr32; a test key in tests).
// A 32-bit process writing HKEY_CLASSES_ROOT lands in the 32-bit view, so
// registering both DLLs, each with its own regsvr32, serves both bitnesses.
#pragma once

#include <windows.h>

#include <string>

namespace torva::browser {

namespace ServerRegistration {

[[nodiscard]] HRESULT Register(HKEY classesRoot, const std::wstring& dllPath);
// Removes the in-process server entry only when it names dllPath (so that
// unregistering a stale copy leaves another copy's registration alone).
[[nodiscard]] HRESULT Unregister(HKEY classesRoot, const std::wstring& dllPath);
// The server path registered for the class, empty when none.
std::wstring RegisteredServer(HKEY classesRoot);

extern const wchar_t kClassKey[]; // "CLSID\{8856F961-...}"

} // namespace ServerRegistration

} // namespace torva::browser
