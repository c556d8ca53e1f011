#include "FitDlgItemToText.h"

#include "UiTestSupport.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// The re-registration template without its class: the controls as the
// template places them.
class FitText : public ::testing::Test {
protected:
    void SetUp() override {
        m_dialog.reset(::CreateDialogParamW(::GetModuleHandleW(nullptr),
                                            MAKEINTRESOURCEW(IDD_CHANGEENTRY), nullptr,
                                            PlainDialogProc, 0));
        ASSERT_TRUE(m_dialog);
    }
    HWND Dialog() const { return m_dialog.get(); }
    HWND Text() const { return ::GetDlgItem(m_dialog.get(), IDC_CHANGEENTRY_TEXT); }

private:
    torva::UniqueWindow m_dialog;
};

std::wstring WindowText(HWND window) {
    wchar_t text[512] = {};
    ::GetWindowTextW(window, text, 512);
    return text;
}

} // namespace

TEST_F(FitText, MovesToTheScaledPlaceAndTakesTheMeasuredTextSize) {
    const SIZE measured = MeasureInWindowFont(Text(), WindowText(Text()));
    ASSERT_GT(measured.cx, 0);
    ASSERT_GT(measured.cy, 0);

    DpiScale scale(144, 144);
    ASSERT_TRUE(FitDlgItemToText(scale, Dialog(), IDC_CHANGEENTRY_TEXT, 24, 25, 2));
    const RECT placed = ChildRect(Text());
    EXPECT_EQ(placed.left, 36);
    EXPECT_EQ(placed.top, 38); // 37.5 rounded
    EXPECT_EQ(placed.right - placed.left, measured.cx);
    EXPECT_EQ(placed.bottom - placed.top, 2 * measured.cy);
}

TEST_F(FitText, LineCountMultipliesTheTextHeight) {
    const SIZE measured = MeasureInWindowFont(Text(), WindowText(Text()));
    DpiScale scale(96, 96);
    ASSERT_TRUE(FitDlgItemToText(scale, Dialog(), IDC_CHANGEENTRY_TEXT, 5, 7, 3));
    const RECT placed = ChildRect(Text());
    EXPECT_EQ(placed.left, 5);
    EXPECT_EQ(placed.top, 7);
    EXPECT_EQ(placed.bottom - placed.top, 3 * measured.cy);
}

TEST_F(FitText, EmptyTextShrinksToNoWidth) {
    ASSERT_TRUE(::SetWindowTextW(Text(), L""));
    DpiScale scale(96, 96);
    ASSERT_TRUE(FitDlgItemToText(scale, Dialog(), IDC_CHANGEENTRY_TEXT, 10, 10, 1));
    const RECT placed = ChildRect(Text());
    EXPECT_EQ(placed.right - placed.left, 0);
}

TEST_F(FitText, MissingControlFailsAndMovesNothing) {
    const RECT before = ChildRect(Text());
    DpiScale scale(144, 144);
    EXPECT_FALSE(FitDlgItemToText(scale, Dialog(), 4321, 24, 25, 2));
    const RECT after = ChildRect(Text());
    EXPECT_TRUE(::EqualRect(&before, &after));
}

TEST_F(FitText, ControlWithoutAFontFails) {
    // A window that answers WM_GETFONT with null: nothing to measure with.
    torva::UniqueWindow bare(
        ::CreateWindowExW(0, L"BUTTON", L"text", WS_CHILD, 0, 0, 10, 10, Dialog(),
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(4000)), nullptr, nullptr));
    ASSERT_TRUE(bare);
    ::SendMessageW(bare.get(), WM_SETFONT, 0, FALSE);
    ASSERT_EQ(::SendMessageW(bare.get(), WM_GETFONT, 0, 0), 0);
    DpiScale scale(96, 96);
    EXPECT_FALSE(FitDlgItemToText(scale, Dialog(), 4000, 1, 1, 1));
    const RECT placed = ChildRect(bare.get());
    EXPECT_EQ(placed.right - placed.left, 10) << "left as it was";
}
