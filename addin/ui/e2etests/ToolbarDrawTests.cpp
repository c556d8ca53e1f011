// The toolbar's own drawing: the common control asks its parent (the band's
// reflection window, which passes it to the toolbar's map) how to draw, and
// must be left to draw its buttons itself.
#include "CReflectionWnd.h"
#include "E2eSupport.h"
#include "RelayState.h"

#include "Win32Handles.h"

#include <commctrl.h>

#include <gtest/gtest.h>

TEST(ToolbarDrawing, TheToolbarDrawsItsButtonsItselfAndOtherNoticesStayAnswered) {
    ASSERT_FALSE(e2e::InstallFolder().empty());
    RelayState::Instance().SetRelayFolder(e2e::InstallFolder());
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    const torva::UniqueWindow site(::CreateWindowExW(0, L"STATIC", L"site", WS_POPUP, 0, 0, 600, 30,
                                                     nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(site);
    {
        CReflectionWnd band;
        ASSERT_TRUE(band.Create(site.get(), RECT{0, 0, 600, 22}, nullptr,
                                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN));
        const HWND toolbar = band.Toolbar().m_hWnd;
        ASSERT_TRUE(toolbar);
        const auto id = static_cast<UINT_PTR>(::GetDlgCtrlID(toolbar));

        NMTBCUSTOMDRAW draw{};
        draw.nmcd.hdr = {toolbar, id, static_cast<UINT>(NM_CUSTOMDRAW)};
        draw.nmcd.dwDrawStage = CDDS_PREPAINT;
        EXPECT_EQ(::SendMessageW(band.m_hWnd, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&draw)),
                  CDRF_DODEFAULT)
            << "CDRF_SKIPDEFAULT would leave the TORVA button undrawn";
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
        EXPECT_EQ(::SendMessageW(band.m_hWnd, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&draw)),
                  CDRF_DODEFAULT);

        NMHDR other{toolbar, id, static_cast<UINT>(TBN_HOTITEMCHANGE)};
        EXPECT_EQ(::SendMessageW(band.m_hWnd, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&other)), -1);
        band.DestroyWindow();
    }
}
