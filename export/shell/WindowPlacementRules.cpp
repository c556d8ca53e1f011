#include "WindowPlacementRules.h"

namespace vantrel {

namespace {
int Effective(int dpi) {
    return dpi <= 0 ? 96 : dpi;
}
} // namespace

SIZE InitialWindowSize(int dpiX, int dpiY) {
    return SIZE{MulDiv(960, Effective(dpiX), 96), MulDiv(720, Effective(dpiY), 96)};
}

bool MustMoveToOrigin(SIZE size, SIZE maximised) {
    return size.cx > maximised.cx || size.cy > maximised.cy;
}

bool IsUsableStoredRect(const RECT& rect) {
    return rect.right > rect.left && rect.bottom > rect.top;
}

int TreeColumnWidth(int storedSplit, int frameWidth) {
    int width = storedSplit;
    if (frameWidth < width) width = frameWidth - 50;
    if (width < 0) width = 0;
    if (frameWidth > 0 && width > frameWidth) width = frameWidth;
    return width;
}

} // namespace vantrel
