// The module that holds this library's resources: Peltrix.dll when the code
// runs inside it, the program itself when a test links the code statically.
#pragma once

#include <windows.h>

#include <string>

namespace peltrix {

HMODULE ResourceModule();
// The string resource id; empty when it is missing.
std::wstring LoadResourceString(UINT id);

} // namespace peltrix
