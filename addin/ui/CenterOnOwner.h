// Centres a top-level window on its owner.
#pragma once

#include <windows.h>

// Centres window on its owner's window rectangle, or on the desktop's work
// area when it has no owner; the size is kept. FALSE when a rectangle cannot
// be read or the move fails.
[[nodiscard]] BOOL CenterOnOwner(HWND window) noexcept;
