// The name of a registration dialog's HTML copy, "setform<window>.html":
// written by the dialog and read back by the band's sweep of leftovers.
#pragma once

#include <windows.h>

#include <string>

// The file name for the dialog window: its handle as a signed 32-bit decimal
// number (a handle at or above 0x80000000 is written negative).
std::wstring SetformFileName(HWND window);

// The window a copy's name stands for, read as SetformFileName writes it;
// null when the name is not one of those names.
HWND WindowOfSetformName(const std::wstring& name);
