#include "CSelectEntry.h"

#include "DialogDriver.h"
#include "RelayState.h"
#include "UiTestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr wchar_t kCaption[] = L"登録方法選択";

struct Seen {
    UINT addChecked = BST_UNCHECKED;
    UINT overwriteChecked = BST_UNCHECKED;
    int stores = -1;
    DWORD relay = 0;
};

Seen Look(HWND dialog) {
    return {::IsDlgButtonChecked(dialog, IDC_SELECTENTRY_ADD),
            ::IsDlgButtonChecked(dialog, IDC_SELECTENTRY_OVERWRITE),
            RelayState::Instance().Stores(), RelayState::Instance().RelayProcessId()};
}

class SelectEntry : public ::testing::Test {
protected:
    static void SetUpTestSuite() { UseRelayBesideTestProgram(); }
};

} // namespace

TEST_F(SelectEntry, OkUntouchedMeansAdd) {
    Seen seen;
    {
        CSelectEntry dialog;
        DialogDriver driver(kCaption, [&](DialogDriver& d) {
            seen = Look(d.Dialog());
            DialogDriver::Click(d.Dialog(), IDOK);
        });
        EXPECT_EQ(dialog.DoModal(), IDOK);
        driver.Join();
        EXPECT_FALSE(driver.LeftOpen());
        EXPECT_EQ(dialog.Result(), 1);
        EXPECT_EQ(dialog.Overwrite(), 0);
    }
    EXPECT_EQ(seen.addChecked, static_cast<UINT>(BST_CHECKED)) << "add is the default";
    EXPECT_EQ(seen.overwriteChecked, static_cast<UINT>(BST_UNCHECKED));
}

TEST_F(SelectEntry, ChoosingOverwriteMeansOverwrite) {
    Seen seen;
    CSelectEntry dialog;
    DialogDriver driver(kCaption, [&](DialogDriver& d) {
        DialogDriver::Click(d.Dialog(), IDC_SELECTENTRY_OVERWRITE);
        seen = Look(d.Dialog());
        DialogDriver::Click(d.Dialog(), IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    driver.Join();
    EXPECT_EQ(seen.overwriteChecked, static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(seen.addChecked, static_cast<UINT>(BST_UNCHECKED))
        << "the two choices exclude each other";
    EXPECT_EQ(dialog.Result(), 1);
    EXPECT_EQ(dialog.Overwrite(), 1);
}

TEST_F(SelectEntry, ChoosingAddAgainAfterOverwriteMeansAdd) {
    CSelectEntry dialog;
    DialogDriver driver(kCaption, [&](DialogDriver& d) {
        DialogDriver::Click(d.Dialog(), IDC_SELECTENTRY_OVERWRITE);
        DialogDriver::Click(d.Dialog(), IDC_SELECTENTRY_ADD);
        DialogDriver::Click(d.Dialog(), IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    driver.Join();
    EXPECT_EQ(dialog.Overwrite(), 0);
}

TEST_F(SelectEntry, CancelGivesResultZero) {
    CSelectEntry dialog;
    DialogDriver driver(kCaption, [&](DialogDriver& d) {
        DialogDriver::Click(d.Dialog(), IDC_SELECTENTRY_OVERWRITE);
        DialogDriver::Click(d.Dialog(), IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    driver.Join();
    EXPECT_FALSE(driver.LeftOpen());
    EXPECT_EQ(dialog.Result(), 0);
}

TEST_F(SelectEntry, HoldsItsOwnStoreAndSoTheRelayForItsLife) {
    ASSERT_EQ(RelayState::Instance().Stores(), 0);
    Seen seen;
    {
        CSelectEntry dialog;
        DialogDriver driver(kCaption, [&](DialogDriver& d) {
            seen = Look(d.Dialog());
            DialogDriver::Click(d.Dialog(), IDCANCEL);
        });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        driver.Join();
        EXPECT_EQ(RelayState::Instance().Stores(), 1) << "the store outlives the modal run";
    }
    EXPECT_EQ(seen.stores, 1);
    EXPECT_NE(seen.relay, 0u) << "the dialog's store started the relay";
    EXPECT_EQ(RelayState::Instance().Stores(), 0);
    EXPECT_EQ(RelayState::Instance().RelayProcessId(), 0u) << "the last store ended it";
}

TEST_F(SelectEntry, QuestionTextIsFittedAtItsScaledPlace) {
    RECT text{};
    DpiScale screen;
    CSelectEntry dialog;
    DialogDriver driver(kCaption, [&](DialogDriver& d) {
        text = ChildRect(::GetDlgItem(d.Dialog(), IDC_SELECTENTRY_TEXT));
        DialogDriver::Click(d.Dialog(), IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    driver.Join();
    EXPECT_EQ(text.left, screen.ScaleX(32));
    EXPECT_EQ(text.top, screen.ScaleY(22));
}
