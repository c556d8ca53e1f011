#include "DpiScale.h"

#include <windows.h>

namespace vantrel {
namespace {

struct Dpi {
    int x = 96;
    int y = 96;
};

const Dpi& ScreenDpi() {
    static const Dpi dpi = [] {
        Dpi read;
        if (const HDC screen = ::GetDC(nullptr)) {
            const int x = ::GetDeviceCaps(screen, LOGPIXELSX);
            const int y = ::GetDeviceCaps(screen, LOGPIXELSY);
            if (x > 0) read.x = x;
            if (y > 0) read.y = y;
            ::ReleaseDC(nullptr, screen);
        }
        return read;
    }();
    return dpi;
}

} // namespace

int ScreenDpiX() {
    return ScreenDpi().x;
}
int ScreenDpiY() {
    return ScreenDpi().y;
}
int ScaleX(int value) {
    return ::MulDiv(value, ScreenDpi().x, 96);
}
int ScaleY(int value) {
    return ::MulDiv(value, ScreenDpi().y, 96);
}

} // namespace vantrel
