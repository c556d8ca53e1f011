// Where the registration dialog's controls go: two panes, page information
// on the left and the item with its HTML copy on the right, every value a
// 96-DPI pixel value scaled by the screen's resolution.
#pragma once

#include "DpiScale.h"

#include <windows.h>

#include <vector>

struct RegistPlacement {
    int id;
    RECT rect;  // client coordinates
    bool shown; // false: hidden (the browser control is shrunk instead)
};

// The dialog's window size when it opens.
SIZE RegistDialogSize(DpiScale& scale);
// The controls' places for a client rectangle; the item pane's controls only
// when expanded (folded: hidden, the browser control with an empty rect).
std::vector<RegistPlacement> RegistLayout(DpiScale& scale, const RECT& client, bool expanded);
