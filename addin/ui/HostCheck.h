// Which processes the add-in agrees to run in: the browser, and regsvr32
// for its registration. Any other program that loads the module is refused
// at process attach.
#pragma once

#include <string>

// True when the path, its letters A-Z lowered, contains "iexplore.exe" or
// "regsvr32.exe" anywhere.
bool IsAcceptedHostPath(const std::wstring& path);

// The check on the running process's executable (at most MAX_PATH
// characters of its path are looked at).
bool IsAcceptedHost();
