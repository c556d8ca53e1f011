#include "CenterOnOwner.h"

BOOL CenterOnOwner(HWND window) noexcept {
    RECT reference{};
    const HWND owner = ::GetWindow(window, GW_OWNER);
    if (owner) {
        if (!::GetWindowRect(owner, &reference)) return FALSE;
    } else if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &reference, 0)) {
        return FALSE;
    }
    RECT own{};
    if (!::GetWindowRect(window, &own)) return FALSE;
    const int left =
        reference.left + ((reference.right - reference.left) - (own.right - own.left)) / 2;
    const int top =
        reference.top + ((reference.bottom - reference.top) - (own.bottom - own.top)) / 2;
    return ::SetWindowPos(window, nullptr, left, top, 0, 0,
                          SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
