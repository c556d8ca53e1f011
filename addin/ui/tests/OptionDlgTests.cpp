// The option dialog shown and edited as a user would: what it shows, which
// boxes it lets the user reach, and what cancelling does to edits.
#include "COptionDlg.h"

#include "DialogDriver.h"
#include "OptionDlgFixture.h"
#include "UiTestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr wchar_t kDiscardText[] =
    L"キャンセルすると、編集した内容が破棄されます。\nキャンセルしますか?";

// Indexes into the stored order.
enum Box { kStop, kStopAutoInput, kSetAuto, kCheckSet, kOnlyPwd, kNoMultiText, kHidePwd };

// What a message box looked like when it showed.
struct Question {
    bool shown = false;
    std::wstring caption;
    std::wstring text;
    HICON icon = nullptr;
};

Question Ask(HWND box) {
    if (!box) return {};
    return {true, DialogDriver::Text(box), DialogDriver::MessageBoxText(box),
            DialogDriver::MessageBoxIcon(box)};
}

void ExpectWarning(const Question& question) {
    EXPECT_TRUE(question.shown) << "an edit is not dropped without asking";
    EXPECT_EQ(question.caption, L"警告");
    EXPECT_EQ(question.text, kDiscardText);
    EXPECT_EQ(question.icon, ::LoadIconW(nullptr, IDI_WARNING));
}

} // namespace

TEST_F(OptionDialog, FreshDatabaseShowsTheDefaultsAndCancelClosesAtOnce) {
    ASSERT_TRUE(Backup().RemoveKey());
    Shown shown;
    HWND box = nullptr;
    COptionDlg dialog;
    DialogDriver driver(kOptionCaption, [&](DialogDriver& d) {
        shown = Look(d.Dialog());
        DialogDriver::Click(d.Dialog(), IDCANCEL);
        box = DialogDriver::WaitForMessageBox(d.Dialog(), 300);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    driver.Join();
    EXPECT_FALSE(driver.LeftOpen());
    EXPECT_EQ(box, nullptr) << "nothing was edited, so nothing is asked";
    EXPECT_EQ(shown.checked, (std::array<std::int32_t, 7>{0, 0, 1, 1, 0, 0, 1}));
    EXPECT_EQ(shown.enabled, (std::array<bool, 7>{true, true, true, true, true, true, true}));

    EXPECT_EQ(Backup().KeyState(), 0) << "cancel stores nothing";
}

TEST_F(OptionDialog, ShowsTheStoredOptionsWithTheDependentBoxesSet) {
    struct Case {
        std::array<std::int32_t, 7> stored;
        std::array<bool, 7> enabled;
    };
    const Case cases[] = {
        // Feature stopped: everything that depends on it is out of reach.
        {{1, 0, 1, 1, 1, 0, 1}, {true, false, false, false, false, true, true}},
        // Feature on, automatic registration off: its two boxes are out of reach.
        {{0, 1, 0, 1, 1, 1, 0}, {true, true, true, false, false, true, true}},
        // Feature and automatic registration on: every box in reach.
        {{0, 1, 1, 0, 1, 1, 0}, {true, true, true, true, true, true, true}},
    };
    for (const Case& c : cases) {
        Backup().Write(MakeOptions(c.stored));
        Shown shown;
        COptionDlg dialog;
        DialogDriver driver(kOptionCaption, [&](DialogDriver& d) {
            shown = Look(d.Dialog());
            DialogDriver::Click(d.Dialog(), IDCANCEL);
        });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        driver.Join();
        EXPECT_FALSE(driver.LeftOpen());
        EXPECT_EQ(shown.checked, c.stored);
        EXPECT_EQ(shown.enabled, c.enabled);
    }
}

TEST_F(OptionDialog, BoxesArePlacedAtTheirScaledPlaces) {
    struct Place {
        int x, y, width;
    };
    const Place places[] = {{12, 12, 200},  {29, 64, 161},  {29, 127, 116}, {29, 149, 213},
                            {29, 170, 197}, {29, 236, 162}, {41, 270, 149}};
    std::array<RECT, 7> rects{};
    COptionDlg dialog;
    DialogDriver driver(kOptionCaption, [&](DialogDriver& d) {
        for (size_t i = 0; i < rects.size(); ++i)
            rects[i] = ChildRect(::GetDlgItem(d.Dialog(), kOptionBoxes[i]));
        DialogDriver::Click(d.Dialog(), IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    driver.Join();
    DpiScale screen;
    for (size_t i = 0; i < rects.size(); ++i) {
        SCOPED_TRACE(kOptionBoxes[i]);
        EXPECT_EQ(rects[i].left, screen.ScaleX(places[i].x));
        EXPECT_EQ(rects[i].top, screen.ScaleY(places[i].y));
        EXPECT_EQ(rects[i].right - rects[i].left, screen.ScaleX(places[i].width));
        EXPECT_EQ(rects[i].bottom - rects[i].top, screen.ScaleY(16));
    }
}

TEST_F(OptionDialog, StopAndAutoRegistrationEnableTheBoxesThatDependOnThem) {
    Backup().Write(MakeOptions({0, 0, 1, 1, 0, 0, 1}));
    Shown stopped, resumed, autoOff, stoppedAgain, resumedAutoOff;
    COptionDlg dialog;
    DialogDriver driver(kOptionCaption, [&](DialogDriver& d) {
        const HWND w = d.Dialog();
        DialogDriver::Click(w, IDC_OPTION_STOPFUNC);
        stopped = Look(w);
        DialogDriver::Click(w, IDC_OPTION_STOPFUNC);
        resumed = Look(w);
        DialogDriver::Click(w, IDC_OPTION_SETAUTO);
        autoOff = Look(w);
        DialogDriver::Click(w, IDC_OPTION_STOPFUNC);
        stoppedAgain = Look(w);
        DialogDriver::Click(w, IDC_OPTION_STOPFUNC);
        resumedAutoOff = Look(w);
        // Automatic registration is now off: an edit, so cancel asks.
        DialogDriver::Click(w, IDCANCEL);
        if (const HWND box = DialogDriver::WaitForMessageBox(w)) (void)Answer(box, IDYES);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    driver.Join();
    EXPECT_FALSE(driver.LeftOpen());

    EXPECT_EQ(stopped.enabled, (std::array<bool, 7>{true, false, false, false, false, true, true}));
    EXPECT_EQ(stopped.checked[kSetAuto], 1) << "disabling keeps the ticks";
    EXPECT_EQ(resumed.enabled, (std::array<bool, 7>{true, true, true, true, true, true, true}))
        << "with automatic registration on, its boxes come back";
    EXPECT_EQ(autoOff.enabled, (std::array<bool, 7>{true, true, true, false, false, true, true}));
    EXPECT_EQ(stoppedAgain.enabled,
              (std::array<bool, 7>{true, false, false, false, false, true, true}));
    EXPECT_EQ(resumedAutoOff.enabled,
              (std::array<bool, 7>{true, true, true, false, false, true, true}))
        << "resuming brings back only what automatic registration allows";
    EXPECT_EQ(resumedAutoOff.checked[kStop], 0);
}

TEST_F(OptionDialog, CancelAfterAnEditAsksAndNoKeepsTheDialog) {
    const CDataOption before = MakeOptions({0, 1, 1, 0, 0, 1, 1});
    Backup().Write(before);
    Question first, second;
    bool openAfterNo = false;
    bool enabledAfterNo = false;
    std::int32_t tickAfterNo = -1;
    COptionDlg dialog;
    DialogDriver driver(kOptionCaption, [&](DialogDriver& d) {
        const HWND w = d.Dialog();
        DialogDriver::Click(w, IDC_OPTION_NOMULTITEXT);
        DialogDriver::Click(w, IDCANCEL);
        const HWND box = DialogDriver::WaitForMessageBox(w);
        first = Ask(box);
        if (!box || !Answer(box, IDNO)) return;
        ::Sleep(100);
        openAfterNo = ::IsWindowVisible(w) != FALSE;
        enabledAfterNo = ::IsWindowEnabled(w) != FALSE;
        tickAfterNo = Look(w).checked[kNoMultiText];
        DialogDriver::Click(w, IDCANCEL);
        const HWND again = DialogDriver::WaitForMessageBox(w);
        second = Ask(again);
        if (again) (void)Answer(again, IDYES);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    driver.Join();
    EXPECT_FALSE(driver.LeftOpen());
    ExpectWarning(first);
    EXPECT_TRUE(openAfterNo) << "\"いいえ\" keeps the dialog";
    EXPECT_TRUE(enabledAfterNo);
    EXPECT_EQ(tickAfterNo, 0) << "and the edit";
    ExpectWarning(second);

    CDataOption stored;
    ASSERT_TRUE(Backup().Read(stored));
    EXPECT_EQ(Flags(stored), Flags(before)) << "\"はい\" drops the edit";
}

TEST_F(OptionDialog, AnEditTakenBackIsNoEdit) {
    Backup().Write(MakeOptions({0, 0, 0, 1, 1, 0, 1}));
    HWND box = nullptr;
    COptionDlg dialog;
    DialogDriver driver(kOptionCaption, [&](DialogDriver& d) {
        const HWND w = d.Dialog();
        for (const int id : {IDC_OPTION_HIDEPWD, IDC_OPTION_STOPAUTOINPUT, IDC_OPTION_HIDEPWD,
                             IDC_OPTION_STOPAUTOINPUT})
            DialogDriver::Click(w, id);
        DialogDriver::Click(w, IDCANCEL);
        box = DialogDriver::WaitForMessageBox(w, 300);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    driver.Join();
    EXPECT_EQ(box, nullptr) << "the boxes show what was loaded: nothing to lose";
    EXPECT_FALSE(driver.LeftOpen());
}

TEST_F(OptionDialog, EveryBoxAndLabelShowsItsWholeText) {
    std::vector<std::wstring> clipped, overlapping;
    COptionDlg dialog;
    DialogDriver driver(kOptionCaption, [&](DialogDriver& d) {
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
