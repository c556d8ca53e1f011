// Fits a dialog's static text to its measured text.
#pragma once

#include "DpiScale.h"

#include <windows.h>

// Moves control id of dialog to (x, y) scaled by scale and sizes it to its
// text as measured with the control's own font over the whole text (width)
// and lineCount text heights. FALSE when the control, its text, its DC or its
// font cannot be had; the control is then left where it was.
[[nodiscard]] BOOL FitDlgItemToText(DpiScale& scale, HWND dialog, int id, int x, int y,
                                    int lineCount) noexcept;
