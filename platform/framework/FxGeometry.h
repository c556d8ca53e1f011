// CPoint, CSize and CRect: the Win32 structures with the arithmetic dialog
// layout code uses. Each is the structure itself, so it can be passed
// wherever the structure's pointer is asked for.
#pragma once

#include <windows.h>

class CPoint : public POINT {
public:
    CPoint() noexcept : POINT{0, 0} {}
    CPoint(int x0, int y0) noexcept : POINT{x0, y0} {}
    CPoint(POINT p) noexcept : POINT(p) {} // NOLINT: implicit by design
    // The point packed in a message's lParam (signed coordinates).
    explicit CPoint(LPARAM packed) noexcept
        : POINT{static_cast<short>(LOWORD(packed)), static_cast<short>(HIWORD(packed))} {}
    bool operator==(const POINT& o) const noexcept { return x == o.x && y == o.y; }
    bool operator!=(const POINT& o) const noexcept { return !(*this == o); }
};

class CSize : public SIZE {
public:
    CSize() noexcept : SIZE{0, 0} {}
    CSize(int cx0, int cy0) noexcept : SIZE{cx0, cy0} {}
    CSize(SIZE s) noexcept : SIZE(s) {} // NOLINT: implicit by design
    bool operator==(const SIZE& o) const noexcept { return cx == o.cx && cy == o.cy; }
    bool operator!=(const SIZE& o) const noexcept { return !(*this == o); }
};

class CRect : public RECT {
public:
    CRect() noexcept : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) noexcept : RECT{l, t, r, b} {}
    CRect(const RECT& r) noexcept : RECT(r) {} // NOLINT: implicit by design
    CRect(POINT topLeft, SIZE size) noexcept
        : RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy} {}

    operator RECT*() noexcept { return this; }
    operator const RECT*() const noexcept { return this; }

    int Width() const noexcept { return right - left; }
    int Height() const noexcept { return bottom - top; }
    CSize Size() const noexcept { return CSize(Width(), Height()); }
    CPoint TopLeft() const noexcept { return CPoint(left, top); }
    CPoint BottomRight() const noexcept { return CPoint(right, bottom); }
    CPoint CenterPoint() const noexcept { return CPoint((left + right) / 2, (top + bottom) / 2); }
    bool IsRectEmpty() const noexcept { return ::IsRectEmpty(this) != FALSE; }
    bool PtInRect(POINT p) const noexcept { return ::PtInRect(this, p) != FALSE; }
    void SetRect(int l, int t, int r, int b) noexcept { ::SetRect(this, l, t, r, b); }
    void OffsetRect(int dx, int dy) noexcept { ::OffsetRect(this, dx, dy); }
    void DeflateRect(int dx, int dy) noexcept { ::InflateRect(this, -dx, -dy); }
    void InflateRect(int dx, int dy) noexcept { ::InflateRect(this, dx, dy); }

    bool operator==(const RECT& o) const noexcept { return ::EqualRect(this, &o) != FALSE; }
    bool operator!=(const RECT& o) const noexcept { return !(*this == o); }
};
