#include <gtest/gtest.h>

#include "Framework.h"
#include "WindowFit.h"

namespace {

class WindowFit : public ::testing::Test {
protected:
    HWND Make(int x, int y, int width, int height) {
        CWnd* window = new CWnd;
        windows.push_back(window);
        if (!window->CreateEx(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE,
                              CRect(x, y, x + width, y + height), nullptr, 0))
            return nullptr;
        return window->m_hWnd;
    }
    void TearDown() override {
        for (CWnd* window : windows)
            delete window;
    }
    static CRect RectOf(HWND window) {
        CRect rect;
        ::GetWindowRect(window, &rect);
        return rect;
    }
    std::vector<CWnd*> windows;
};

TEST_F(WindowFit, TooTallWindowMovesToTheCornerAndKeepsItsSize) {
    const HWND window = Make(50, 40, 1000, 800);
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(FitWindowToArea(window, 1024, 768));
    EXPECT_EQ(CRect(0, 0, 1000, 800), RectOf(window));
}

TEST_F(WindowFit, WindowThatFitsStaysWhereItIs) {
    const HWND window = Make(50, 40, 800, 600);
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(FitWindowToArea(window, 1024, 768));
    EXPECT_EQ(CRect(50, 40, 850, 640), RectOf(window));
}

TEST_F(WindowFit, ScreenFitUsesTheMaximisedSizeAndKeepsTheZOrder) {
    const int maxWidth = ::GetSystemMetrics(SM_CXMAXIMIZED);
    const int maxHeight = ::GetSystemMetrics(SM_CYMAXIMIZED);
    const HWND below = Make(30, 20, maxWidth + 10, maxHeight / 2);
    const HWND above = Make(60, 60, 100, 100);
    ASSERT_NE(nullptr, below);
    ASSERT_NE(nullptr, above);
    const HWND nextBefore = ::GetWindow(above, GW_HWNDNEXT);
    EXPECT_TRUE(FitWindowToScreen(below));
    EXPECT_EQ(CRect(0, 0, maxWidth + 10, maxHeight / 2), RectOf(below));
    EXPECT_EQ(nextBefore, ::GetWindow(above, GW_HWNDNEXT));
    // No window at all is still a success.
    EXPECT_TRUE(FitWindowToScreen(nullptr));
}

} // namespace
