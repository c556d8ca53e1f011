// The manager's screen scaling: every window size is written as a 96-DPI
// value and scaled by the screen's logical DPI, measured once at first use.
// A DPI the screen reports as 0 or less, or no screen device context at
// all, keeps 96. The bitmap and device context it may hold are freed by
// CleanUp (and with the object).
//
// Threads: one object belongs to one UI thread (the lazy measuring is
// unguarded).
#pragma once

#include <windows.h>

#include "GdiScopes.h"
#include "Win32Handles.h"

struct DpiScaler {
    // MulDiv(value, horizontal DPI, 96) and MulDiv(value, vertical DPI, 96).
    int ScaleX(int value) noexcept;
    int ScaleY(int value) noexcept;
    // Reads the screen's logical DPI unless already measured.
    void Measure() noexcept;
    // Takes the DPI a device reported; values of 0 or less count as 96.
    void ApplyDeviceDpi(int dpiX, int dpiY) noexcept;
    void CleanUp() noexcept;

    bool m_measured = false;
    int m_dpiX = 96;
    int m_dpiY = 96;
    torva::UniqueGdiObject m_bitmap;
    torva::UniqueMemoryDC m_dc;
};
