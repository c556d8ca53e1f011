// Every selection dialog is owned by the window active when it is asked for
// and appears centred on it.
#include "CChangeEntryDlg.h"
#include "CSelFrameDlg.h"
#include "CSelectEntry.h"

#include "DialogDriver.h"
#include "UiTestSupport.h"

#include <gtest/gtest.h>

namespace {

struct Placement {
    HWND owner = nullptr;
    RECT rect{};
    BOOL ownerEnabled = TRUE;
};

template <class Dialog> Placement ShowAndCancel(Dialog& dialog, const wchar_t* caption) {
    Placement seen;
    DialogDriver driver(caption, [&](DialogDriver& d) {
        seen.owner = ::GetWindow(d.Dialog(), GW_OWNER);
        ::GetWindowRect(d.Dialog(), &seen.rect);
        seen.ownerEnabled = ::IsWindowEnabled(seen.owner);
        DialogDriver::Click(d.Dialog(), IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    driver.Join();
    EXPECT_FALSE(driver.LeftOpen());
    return seen;
}

class ModalPlacement : public ::testing::Test {
protected:
    static void SetUpTestSuite() { UseRelayBesideTestProgram(); }
    void SetUp() override {
        m_owner = MakeActiveOwner(140, 70, 733, 519);
        ASSERT_TRUE(m_owner);
        ASSERT_EQ(::GetActiveWindow(), m_owner.get());
    }
    void Check(const Placement& seen) {
        EXPECT_EQ(seen.owner, m_owner.get());
        EXPECT_FALSE(seen.ownerEnabled) << "modal: the owner is disabled meanwhile";
        RECT owner{};
        ::GetWindowRect(m_owner.get(), &owner);
        const POINT expected = CentredOn(owner, seen.rect);
        EXPECT_EQ(seen.rect.left, expected.x);
        EXPECT_EQ(seen.rect.top, expected.y);
        EXPECT_TRUE(::IsWindowEnabled(m_owner.get())) << "and enabled again after";
    }

private:
    torva::UniqueWindow m_owner;
};

} // namespace

TEST_F(ModalPlacement, FrameDialogCentresOnTheActiveWindow) {
    CSelFrameDlg dialog({});
    Check(ShowAndCancel(dialog, L"フレーム選択"));
}

TEST_F(ModalPlacement, EntryDialogCentresOnTheActiveWindow) {
    CSelectEntry dialog;
    Check(ShowAndCancel(dialog, L"登録方法選択"));
}

TEST_F(ModalPlacement, ChangeDialogCentresOnTheActiveWindow) {
    CChangeEntryDlg dialog;
    Check(ShowAndCancel(dialog, L"再登録確認"));
}

TEST(ModalPlacementAlone, WithoutActiveWindowTheDialogCentresOnTheWorkArea) {
    ASSERT_EQ(::GetActiveWindow(), nullptr);
    RECT workArea{};
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0));
    CChangeEntryDlg dialog;
    const Placement seen = ShowAndCancel(dialog, L"再登録確認");
    EXPECT_EQ(seen.owner, nullptr);
    const POINT expected = CentredOn(workArea, seen.rect);
    EXPECT_EQ(seen.rect.left, expected.x);
    EXPECT_EQ(seen.rect.top, expected.y);
}
