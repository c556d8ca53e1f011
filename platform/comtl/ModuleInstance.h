#pragma once
#include <windows.h>

// The linker's symbol for the start of the module's own image.
extern "C" IMAGE_DOS_HEADER __ImageBase;

// The instance handle of the module (DLL or program) this code is linked
// into: where its window classes are registered and its dialogs are loaded.
inline HINSTANCE ComtlModuleInstance() noexcept {
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}
