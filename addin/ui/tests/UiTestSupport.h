// Shared pieces of the add-in window tests.
#pragma once

#include "ProgramFolder.h"
#include "Win32Handles.h"

#include <windows.h>

#include <string>

// Points the store at the Zentrip.exe beside the test program; call before
// the first store of the program is made.
void UseRelayBesideTestProgram();
// A visible top-level window made active on the calling thread, the owner a
// modal dialog gets from GetActiveWindow().
torva::UniqueWindow MakeActiveOwner(int x, int y, int width, int height);
// A control's rectangle in its parent's client coordinates.
RECT ChildRect(HWND control);
// Where a window of the size of own lands when centred on reference.
POINT CentredOn(const RECT& reference, const RECT& own);
// Width and height of text measured with the window's own font.
SIZE MeasureInWindowFont(HWND window, const std::wstring& text);
