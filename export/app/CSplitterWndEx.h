// The main window's splitter: the report view (a read-only edit, which
// would be painted grey) gets a transparent text background on white.
#pragma once

#include "Framework.h"

class CSplitterWndEx : public CSplitterWnd {
    DECLARE_MESSAGE_MAP()

private:
    LRESULT OnControlColour(WPARAM wParam, LPARAM lParam);
};
