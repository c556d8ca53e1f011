// Sizes and positions of the main window: the start-up size, the stored
// position and the splitter's tree column.
#pragma once

#include <windows.h>

namespace vantrel {

// 960 x 720 at 96 pixels per inch, scaled on each axis; a resolution of 0 or
// less counts as 96.
SIZE InitialWindowSize(int dpiX, int dpiY);

// Whether a window of the given size, placed where it is, must go to (0, 0)
// because it is wider or taller than a maximised window.
bool MustMoveToOrigin(SIZE size, SIZE maximised);

// A stored rectangle is used only with a positive width and height; a
// reversed or empty one (a minimised window's, a hand-edited file) keeps the
// start-up size.
bool IsUsableStoredRect(const RECT& rect);

// The width of the tree column: the stored "Split" (320 when none), the
// frame width minus 50 when the frame is narrower, and never below zero or
// above the frame's width so both panes can be made.
int TreeColumnWidth(int storedSplit, int frameWidth);

} // namespace vantrel
