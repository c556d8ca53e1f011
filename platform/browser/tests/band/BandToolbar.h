// The toolbar of the test band, built as the add-in builds its own: a
// window class derived from "ToolbarWindow32" with a drop-down button 102
// (its click and its arrow both open menu 102), plain buttons 103 and 104
// (104 disabled), and on it the push button 106 and the owner-drawn combo
// box 105 with three entries. What happens is appended to "Toolbar"
// (click102, drop102, click103), "Menu" (the chosen ids), "ComboChange"
// (the selected index) and "Input" (the selected entry's text when 106 is
// pressed). Menu item 32776 opens the confirmation dialog.
#pragma once

#include <windows.h>

namespace testband {

// The band window's procedure: it gets the toolbar's WM_COMMAND and
// WM_NOTIFY.
LRESULT CALLBACK BandWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// Builds the toolbar over the band window's client area; null on failure.
HWND CreateBandToolbar(HWND band);

} // namespace testband
