// The dialog's window: its size and layout, folding, the alive answer and
// the keys that reach the copy.
#include "RegistDlgFixture.h"

#include "RegistLayout.h"
#include "UiTestSupport.h"

namespace {

constexpr size_t kLoginControls = 8;

RECT WindowRect(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

int Width(const RECT& rect) {
    return rect.right - rect.left;
}

const RegistPlacement* PlaceOf(const std::vector<RegistPlacement>& places, int id) {
    for (const auto& place : places)
        if (place.id == id) return &place;
    return nullptr;
}

} // namespace

TEST(RegistLayoutTest, At144DpiTheDialogIsScaledAndTheListSits45PixelsIn) {
    DpiScale scale(144, 144);
    const SIZE size = RegistDialogSize(scale);
    EXPECT_EQ(size.cx, 1212);
    EXPECT_EQ(size.cy, 638);
    const RECT client{0, 0, 1200, 600};
    const auto places = RegistLayout(scale, client, true);
    const RegistPlacement* list = PlaceOf(places, IDC_REGIST_LIST);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->rect.left, 45);
    EXPECT_EQ(list->rect.right, 600 - 60);
    EXPECT_EQ(list->rect.bottom, 600 - 210);
    // The item pane starts in the middle; the OK button hangs from the bottom.
    EXPECT_EQ(PlaceOf(places, IDC_REGIST_NAMELABEL)->rect.left, 600 + 30);
    EXPECT_EQ(PlaceOf(places, IDOK)->rect.bottom, 600 - 15);
    EXPECT_FALSE(PlaceOf(places, IDC_REGIST_HIDEPWD)->shown);
}

TEST(RegistLayoutTest, FoldedTheItemPaneIsHiddenAndTheBrowserShrunk) {
    DpiScale scale(96, 96);
    const RECT client{0, 0, 800, 400};
    const auto places = RegistLayout(scale, client, false);
    for (int id : {IDC_REGIST_NAME, IDC_REGIST_ITEMGROUP, IDC_REGIST_CLEAR, IDC_REGIST_AUTOINPUT})
        EXPECT_FALSE(PlaceOf(places, id)->shown) << id;
    const RegistPlacement* browser = PlaceOf(places, IDC_REGIST_BROWSER);
    EXPECT_TRUE(browser->shown);
    EXPECT_TRUE(::IsRectEmpty(&browser->rect));
    // The page pane takes the whole width.
    EXPECT_EQ(PlaceOf(places, IDC_REGIST_LIST)->rect.right, 800 - 40);
}

TEST_F(RegistDlgTest, FoldingHalvesTheWindowAndUnfoldingRestoresIt) {
    CRegistDlg dialog(Page(), 0, CRegistDlg::STATE_NEW);
    RECT opened{}, folded{}, unfolded{};
    bool nameShownFolded = true, nameShownUnfolded = false;
    std::wstring foldText;
    LRESULT alive = 0;
    Run(dialog, [&](DialogDriver& driver) {
        const HWND dlg = driver.Dialog();
        alive = ::SendMessageW(dlg, WM_USER + 401, 0, 0);
        opened = WindowRect(dlg);
        DialogDriver::Click(dlg, IDC_REGIST_FOLD);
        folded = WindowRect(dlg);
        nameShownFolded = ::IsWindowVisible(::GetDlgItem(dlg, IDC_REGIST_NAME)) != FALSE;
        foldText = BoxText(dlg, IDC_REGIST_FOLD);
        DialogDriver::Click(dlg, IDC_REGIST_FOLD);
        unfolded = WindowRect(dlg);
        nameShownUnfolded = ::IsWindowVisible(::GetDlgItem(dlg, IDC_REGIST_NAME)) != FALSE;
        DialogDriver::Click(dlg, IDCANCEL);
    });
    EXPECT_EQ(alive, 1);
    DpiScale scale;
    EXPECT_EQ(Width(opened), RegistDialogSize(scale).cx);
    EXPECT_EQ(Width(folded), Width(opened) / 2);
    EXPECT_FALSE(nameShownFolded);
    EXPECT_EQ(foldText, L"アイテム情報(&O)>>");
    EXPECT_TRUE(nameShownUnfolded);
    const int screen = ::GetSystemMetrics(SM_CXSCREEN);
    EXPECT_TRUE(Width(unfolded) == 2 * Width(folded) || Width(unfolded) == screen);
}

TEST_F(RegistDlgTest, DeleteReachesTheCopyOnceTheForwardingIsInstalled) {
    CRegistDlg dialog(Page(), 0, CRegistDlg::STATE_NEW);
    std::wstring before, after;
    Run(dialog, [&](DialogDriver& driver) {
        const HWND dlg = driver.Dialog();
        if (!WaitForCopy(dlg, kLoginControls)) return;
        HWND user = CopyControls(dlg, L"Edit")[0];
        TypeInto(user, L"abc");
        // The user's click makes the box the active one in the copy.
        ::SendMessageW(user, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        ::SendMessageW(user, WM_LBUTTONUP, 0, 0);
        ::SendMessageW(user, EM_SETSEL, 0, 0);
        const HWND server = CopyServer(dlg);
        // Without the forwarding the copy ignores Delete, as the browser does.
        ::PostMessageW(server, WM_KEYDOWN, VK_DELETE, 0);
        ::PostMessageW(server, WM_KEYUP, VK_DELETE, 0);
        ::Sleep(300);
        before = DialogDriver::Text(user);
        // Folding and unfolding installs it. The copy lays itself out
        // again, with new control windows.
        DialogDriver::Click(dlg, IDC_REGIST_FOLD);
        DialogDriver::Click(dlg, IDC_REGIST_FOLD);
        if (!WaitFor([&] { return CopyControls(dlg, L"Edit").size() == 3; })) return;
        user = CopyControls(dlg, L"Edit")[0];
        ::SendMessageW(user, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        ::SendMessageW(user, WM_LBUTTONUP, 0, 0);
        ::SendMessageW(user, EM_SETSEL, 0, 0);
        ::PostMessageW(server, WM_KEYDOWN, VK_DELETE, 0);
        ::PostMessageW(server, WM_KEYUP, VK_DELETE, 0);
        WaitFor([&] { return DialogDriver::Text(user) != L"abc"; }, 2000);
        after = DialogDriver::Text(user);
        DialogDriver::Click(dlg, IDCANCEL);
        if (HWND box = DialogDriver::WaitForMessageBox(dlg, 2000)) Answer(box, IDYES);
    });
    EXPECT_EQ(before, L"abc");
    EXPECT_EQ(after, L"bc");
}

TEST_F(RegistDlgTest, EnterInTheCopyDoesNotCloseTheDialogNorSave) {
    CRegistDlg dialog(Page(), 0, CRegistDlg::STATE_NEW);
    bool stillOpen = false;
    const INT_PTR result = Run(dialog, [&](DialogDriver& driver) {
        const HWND dlg = driver.Dialog();
        if (!WaitForCopy(dlg, kLoginControls)) return;
        const HWND user = CopyControls(dlg, L"Edit")[0];
        ::SendMessageW(user, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        ::SendMessageW(user, WM_LBUTTONUP, 0, 0);
        const HWND server = CopyServer(dlg);
        ::PostMessageW(server, WM_KEYDOWN, VK_RETURN, 0);
        ::PostMessageW(server, WM_KEYUP, VK_RETURN, 0);
        stillOpen = !DialogDriver::WaitUntilGone(dlg, 1500);
        DialogDriver::Click(dlg, IDCANCEL);
        if (HWND box = DialogDriver::WaitForMessageBox(dlg, 2000)) Answer(box, IDYES);
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(Stored(), nullptr);
}

TEST_F(RegistDlgTest, EveryLabelShowsItsWholeTextAndNoControlOverlapsAnother) {
    CRegistDlg dialog(Page(), 0, CRegistDlg::STATE_NEW);
    std::vector<std::wstring> clipped, overlapping;
    RECT title{}, frame{};
    Run(dialog, [&](DialogDriver& driver) {
        const HWND dlg = driver.Dialog();
        // The URL, the date and the form's name are the page's data.
        clipped = ClippedLabels(dlg, {IDC_REGIST_URL, IDC_REGIST_DATE, IDC_REGIST_FORMNAME});
        overlapping = OverlappingControls(dlg);
        title = ChildRect(::GetDlgItem(dlg, IDC_REGIST_TITLE));
        frame = ChildRect(::GetDlgItem(dlg, IDC_REGIST_PAGEGROUP));
        DialogDriver::Click(dlg, IDCANCEL);
    });
    for (const auto& label : clipped)
        ADD_FAILURE() << "cut: " << ::testing::PrintToString(label);
    for (const auto& pair : overlapping)
        ADD_FAILURE() << "overlap: " << ::testing::PrintToString(pair);
    // The title box belongs to the page's frame.
    EXPECT_GT(title.top, frame.top);
    EXPECT_LT(title.right, frame.right);
}
