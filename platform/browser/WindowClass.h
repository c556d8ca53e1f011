// The window classes of this module. A DLL's classes outlive FreeLibrary,
// so a copy of the module loaded again (usually at the same address, so
// with the same instance handle) would find its class names taken by
// procedures of code that is gone, or of another build.
//
// Thread-safe.
#pragma once

#include <windows.h>

namespace torva::browser::WindowClass {

// Registers wc; a class of the same name and instance whose procedure is
// not wc's is replaced. False when the class cannot be registered.
[[nodiscard]] bool Register(const WNDCLASSEXW& wc);
// Unregisters every class Register made (the DLL, when it is unloaded).
void UnregisterAll() noexcept;

} // namespace torva::browser::WindowClass
