// The add-in's screen scaling: every window size is written as a 96-DPI
// value and scaled by the screen's logical DPI. The toolbar, the option,
// selection and registration windows each keep one.
//
// Threads: one object belongs to one UI thread (the lazy read is unguarded).
#pragma once

#include "GdiScopes.h"

#include <windows.h>

class DpiScale {
public:
    // Reads the screen's logical DPI on first use.
    DpiScale() noexcept = default;
    // Fixed DPI values (a window that knows the DPI of its monitor); a
    // non-positive value counts as 96.
    DpiScale(int dpiX, int dpiY) noexcept;
    DpiScale(const DpiScale&) = delete;
    DpiScale& operator=(const DpiScale&) = delete;

    int DpiX() noexcept;
    int DpiY() noexcept;
    // MulDiv(value, DPI, 96).
    int ScaleX(int value) noexcept;
    int ScaleY(int value) noexcept;

    // A memory DC compatible with the screen, made on first request and
    // owned by this object; null when none can be made.
    HDC MemoryDC() noexcept;
    // The font the owner measures its texts with; this object takes it over
    // (the previous one is deleted).
    void SetFont(HFONT font) noexcept { m_font.reset(font); }
    HFONT Font() const noexcept { return static_cast<HFONT>(m_font.get()); }

private:
    void Init() noexcept;

    bool m_initialised = false;
    int m_dpiX = 96;
    int m_dpiY = 96;
    torva::UniqueGdiObject m_font;
    torva::UniqueMemoryDC m_memoryDC;
};
