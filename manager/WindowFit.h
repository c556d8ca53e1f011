// Keeping a window on the screen: a window wider or taller than a maximised
// window may be is moved to the top-left corner, keeping its size and its
// place in the Z order.
#pragma once

#include <windows.h>

// Against SM_CXMAXIMIZED / SM_CYMAXIMIZED. Always TRUE.
BOOL FitWindowToScreen(HWND window) noexcept;
// Against a given largest width and height.
BOOL FitWindowToArea(HWND window, int maxWidth, int maxHeight) noexcept;
