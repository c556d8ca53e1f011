#include <gtest/gtest.h>

#include "DpiScaler.h"

namespace {

TEST(DpiScaler, ScalesByTheMeasuredDpi) {
    DpiScaler scaler;
    scaler.ApplyDeviceDpi(144, 120);
    EXPECT_EQ(675, scaler.ScaleX(450));
    EXPECT_EQ(385, scaler.ScaleY(308));
}

TEST(DpiScaler, DeviceWithoutDpiKeeps96) {
    DpiScaler scaler;
    scaler.ApplyDeviceDpi(0, -5);
    EXPECT_EQ(96, scaler.m_dpiX);
    EXPECT_EQ(96, scaler.m_dpiY);
    EXPECT_EQ(450, scaler.ScaleX(450));
    EXPECT_EQ(308, scaler.ScaleY(308));
}

TEST(DpiScaler, FirstUseMeasuresTheScreenOnce) {
    DpiScaler scaler;
    EXPECT_FALSE(scaler.m_measured);
    HDC screen = ::GetDC(nullptr);
    ASSERT_NE(nullptr, screen);
    const int dpiX = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(::MulDiv(450, dpiX > 0 ? dpiX : 96, 96), scaler.ScaleX(450));
    EXPECT_TRUE(scaler.m_measured);
    // Once measured, the value stays whatever the screen says later.
    scaler.m_dpiX = 192;
    EXPECT_EQ(900, scaler.ScaleX(450));
}

TEST(DpiScaler, CleanUpFreesWhatItHolds) {
    DpiScaler scaler;
    HDC screen = ::GetDC(nullptr);
    scaler.m_dc.reset(::CreateCompatibleDC(screen));
    scaler.m_bitmap.reset(::CreateCompatibleBitmap(screen, 4, 4));
    ::ReleaseDC(nullptr, screen);
    const HGDIOBJ bitmap = scaler.m_bitmap.get();
    ASSERT_NE(nullptr, bitmap);
    scaler.CleanUp();
    EXPECT_FALSE(scaler.m_dc);
    EXPECT_FALSE(scaler.m_bitmap);
    EXPECT_EQ(0, ::GetObjectType(bitmap));
}

} // namespace
