#include "WindowFit.h"

#include "TraceScope.h"

BOOL FitWindowToScreen(HWND window) noexcept {
    TORVA_TRACE_SCOPE(L"FitWindowToScreen");
    TORVA_RETURN_BOOL(FitWindowToArea(window, ::GetSystemMetrics(SM_CXMAXIMIZED),
                                      ::GetSystemMetrics(SM_CYMAXIMIZED)));
}

BOOL FitWindowToArea(HWND window, int maxWidth, int maxHeight) noexcept {
    RECT rect{};
    if (!::GetWindowRect(window, &rect)) return TRUE;
    if (rect.right - rect.left > maxWidth || rect.bottom - rect.top > maxHeight)
        ::SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}
