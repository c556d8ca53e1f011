// Centring a window on another window, or on the desktop's work area.
#pragma once

#include <windows.h>

namespace torva {

// Moves window (size kept) so that it is centred on over's window rectangle,
// or on the work area when over is null; the halves truncate. flags are
// added to SWP_NOSIZE. FALSE when a rectangle cannot be read or the move fails.
inline BOOL CenterWindowOn(HWND window, HWND over, UINT flags = 0) noexcept {
    RECT reference{};
    if (over) {
        if (!::GetWindowRect(over, &reference)) return FALSE;
    } else if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &reference, 0)) {
        return FALSE;
    }
    RECT own{};
    if (!::GetWindowRect(window, &own)) return FALSE;
    const int left =
        reference.left + ((reference.right - reference.left) - (own.right - own.left)) / 2;
    const int top =
        reference.top + ((reference.bottom - reference.top) - (own.bottom - own.top)) / 2;
    return ::SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | flags);
}

} // namespace torva
