// Files dropped from the shell: a window that called DragAcceptFiles(TRUE)
// receives WM_DROPFILES. The map row ON_WM_DROPFILES() calls the class's
//   void OnDropFiles(HDROP drop)
// which owns the drop and must end it with DragFinish.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "FxMessageMap.h"

#define ON_WM_DROPFILES()                                                                          \
    {WM_DROPFILES, kFxCodeAny, 0, 0,                                                               \
     FX_THUNK(fxThis->OnDropFiles(reinterpret_cast<HDROP>(wParam)))},
