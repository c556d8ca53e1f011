#include "CChangeEntryDlg.h"

#include "DialogDriver.h"
#include "UiTestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr wchar_t kCaption[] = L"再登録確認";

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// The check box's place as the template alone puts it.
RECT TemplateCheckBoxRect() {
    torva::UniqueWindow plain(::CreateDialogParamW(::GetModuleHandleW(nullptr),
                                                   MAKEINTRESOURCEW(IDD_CHANGEENTRY), nullptr,
                                                   PlainDialogProc, 0));
    return plain ? ChildRect(::GetDlgItem(plain.get(), IDC_CHANGEENTRY_NOASK)) : RECT{};
}

} // namespace

TEST(ChangeEntryDlg, TickedAndNoGivesDoNotAskWithoutYes) {
    CChangeEntryDlg dialog;
    UINT ticked = BST_UNCHECKED;
    DialogDriver driver(kCaption, [&](DialogDriver& d) {
        DialogDriver::Click(d.Dialog(), IDC_CHANGEENTRY_NOASK);
        ticked = ::IsDlgButtonChecked(d.Dialog(), IDC_CHANGEENTRY_NOASK);
        DialogDriver::Click(d.Dialog(), IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    driver.Join();
    EXPECT_FALSE(driver.LeftOpen());
    EXPECT_EQ(ticked, static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(dialog.DoNotAsk(), 1);
    EXPECT_EQ(dialog.Yes(), 0);
}

TEST(ChangeEntryDlg, YesWithoutTickGivesYesOnly) {
    CChangeEntryDlg dialog;
    DialogDriver driver(kCaption, [&](DialogDriver& d) { DialogDriver::Click(d.Dialog(), IDOK); });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    driver.Join();
    EXPECT_FALSE(driver.LeftOpen());
    EXPECT_EQ(dialog.Yes(), 1);
    EXPECT_EQ(dialog.DoNotAsk(), 0);
}

TEST(ChangeEntryDlg, TickedAndYesGivesBoth) {
    CChangeEntryDlg dialog;
    DialogDriver driver(kCaption, [&](DialogDriver& d) {
        ::SendMessageW(::GetDlgItem(d.Dialog(), IDC_CHANGEENTRY_NOASK), BM_SETCHECK, BST_CHECKED,
                       0);
        DialogDriver::Click(d.Dialog(), IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    driver.Join();
    EXPECT_EQ(dialog.Yes(), 1);
    EXPECT_EQ(dialog.DoNotAsk(), 1);
}

TEST(ChangeEntryDlg, TickTakenBackBeforeClosingIsNotKept) {
    CChangeEntryDlg dialog;
    DialogDriver driver(kCaption, [&](DialogDriver& d) {
        DialogDriver::Click(d.Dialog(), IDC_CHANGEENTRY_NOASK);
        DialogDriver::Click(d.Dialog(), IDC_CHANGEENTRY_NOASK);
        DialogDriver::Click(d.Dialog(), IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    driver.Join();
    EXPECT_EQ(dialog.DoNotAsk(), 0);
    EXPECT_EQ(dialog.Yes(), 0);
}

TEST(ChangeEntryDlg, CheckBoxIsResizedInPlaceAndTextFitted) {
    const RECT templated = TemplateCheckBoxRect();
    ASSERT_GT(templated.right, templated.left);
    RECT check{};
    RECT text{};
    DpiScale screen;
    CChangeEntryDlg dialog;
    DialogDriver driver(kCaption, [&](DialogDriver& d) {
        check = ChildRect(::GetDlgItem(d.Dialog(), IDC_CHANGEENTRY_NOASK));
        text = ChildRect(::GetDlgItem(d.Dialog(), IDC_CHANGEENTRY_TEXT));
        DialogDriver::Click(d.Dialog(), IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    driver.Join();
    EXPECT_EQ(check.left, templated.left) << "not moved";
    EXPECT_EQ(check.top, templated.top);
    EXPECT_EQ(check.right - check.left, screen.ScaleX(210));
    EXPECT_EQ(check.bottom - check.top, screen.ScaleY(15));
    EXPECT_EQ(text.left, screen.ScaleX(24));
    EXPECT_EQ(text.top, screen.ScaleY(25));
}

TEST(ChangeEntryDlg, EveryLabelShowsItsWholeText) {
    CChangeEntryDlg dialog;
    std::vector<std::wstring> clipped, overlapping;
    DialogDriver driver(kCaption, [&](DialogDriver& d) {
        clipped = ClippedLabels(d.Dialog());
        overlapping = OverlappingControls(d.Dialog());
        DialogDriver::Click(d.Dialog(), IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    driver.Join();
    EXPECT_FALSE(driver.LeftOpen());
    for (const auto& label : clipped)
        ADD_FAILURE() << "cut: " << ::testing::PrintToString(label);
    for (const auto& pair : overlapping)
        ADD_FAILURE() << "overlap: " << ::testing::PrintToString(pair);
}
