// The screen's logical resolution, read once on first use (a value of 0 or
// less counts as 96), and sizes scaled by it.
#pragma once

namespace vantrel {

int ScreenDpiX();
int ScreenDpiY();
int ScaleX(int value);
int ScaleY(int value);

} // namespace vantrel
