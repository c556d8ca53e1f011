#include "DpiScale.h"

#include "GdiScopes.h"

#include <gtest/gtest.h>

TEST(DpiScale, At96DpiSizesStayAsWritten) {
    DpiScale scale(96, 96);
    EXPECT_EQ(scale.ScaleX(210), 210);
    EXPECT_EQ(scale.ScaleY(15), 15);
    EXPECT_EQ(scale.ScaleX(0), 0);
}

TEST(DpiScale, At144DpiSizesGrowByHalfRoundedToNearest) {
    DpiScale scale(144, 144);
    EXPECT_EQ(scale.ScaleX(210), 315);
    EXPECT_EQ(scale.ScaleY(24), 36);
    // 15 * 1.5 = 22.5: rounded as MulDiv rounds, not truncated.
    EXPECT_EQ(scale.ScaleY(15), 23);
    EXPECT_EQ(scale.ScaleX(-10), -15);
}

TEST(DpiScale, HorizontalAndVerticalScaleApart) {
    DpiScale scale(144, 120);
    EXPECT_EQ(scale.DpiX(), 144);
    EXPECT_EQ(scale.DpiY(), 120);
    EXPECT_EQ(scale.ScaleX(32), 48);
    EXPECT_EQ(scale.ScaleY(32), 40);
}

TEST(DpiScale, NonPositiveDpiCountsAs96) {
    DpiScale scale(0, -120);
    EXPECT_EQ(scale.DpiX(), 96);
    EXPECT_EQ(scale.DpiY(), 96);
    EXPECT_EQ(scale.ScaleX(37), 37);
    EXPECT_EQ(scale.ScaleY(37), 37);
}

TEST(DpiScale, DefaultReadsTheScreensLogicalDpi) {
    torva::WindowDC screen(nullptr);
    ASSERT_NE(screen.get(), nullptr);
    const int dpiX = ::GetDeviceCaps(screen.get(), LOGPIXELSX);
    const int dpiY = ::GetDeviceCaps(screen.get(), LOGPIXELSY);

    DpiScale scale;
    EXPECT_EQ(scale.DpiX(), dpiX > 0 ? dpiX : 96);
    EXPECT_EQ(scale.DpiY(), dpiY > 0 ? dpiY : 96);
    EXPECT_EQ(scale.ScaleX(200), ::MulDiv(200, scale.DpiX(), 96));
}

TEST(DpiScale, CleanupDeletesItsMemoryDCAndFont) {
    HDC dc = nullptr;
    HFONT font = ::CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                               L"MS Shell Dlg");
    ASSERT_NE(font, nullptr);
    HFONT replaced =
        ::CreateFontW(-14, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"MS Shell Dlg");
    ASSERT_NE(replaced, nullptr);
    {
        DpiScale scale(96, 96);
        dc = scale.MemoryDC();
        ASSERT_NE(dc, nullptr);
        EXPECT_EQ(scale.MemoryDC(), dc) << "made once, then kept";
        scale.SetFont(replaced);
        scale.SetFont(font);
        EXPECT_EQ(::GetObjectType(replaced), 0u) << "a replaced font is deleted at once";
        EXPECT_EQ(scale.Font(), font);
        EXPECT_EQ(::GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
    }
    EXPECT_EQ(::GetObjectType(dc), 0u);
    EXPECT_EQ(::GetObjectType(font), 0u);
}
