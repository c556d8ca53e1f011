#include "CenterOnOwner.h"
#include "WindowCentring.h"

BOOL CenterOnOwner(HWND window) noexcept {
    return torva::CenterWindowOn(window, ::GetWindow(window, GW_OWNER),
                                 SWP_NOZORDER | SWP_NOACTIVATE);
}
