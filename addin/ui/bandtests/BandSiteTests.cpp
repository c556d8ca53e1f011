// Siting: the band's windows in the band site, the browser's events
// subscribed once, and everything let go again at SetSite(NULL) and OnQuit.
#include "BandFixture.h"

#include <commctrl.h>

#include <string>

namespace {

std::wstring ClassOf(HWND window) {
    wchar_t name[128] = {};
    ::GetClassNameW(window, name, 128);
    return name;
}

std::wstring TextOf(HWND window) {
    wchar_t text[128] = {};
    ::GetWindowTextW(window, text, 128);
    return text;
}

int ChildrenOfClass(HWND parent, const wchar_t* className) {
    int count = 0;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (ClassOf(child) == className) ++count;
    return count;
}

} // namespace

class BandSite : public BandFixture {};

TEST_F(BandSite, SitingBuildsTheToolbarInTheSitesWindow) {
    CreateBand();
    HWND window = nullptr;
    ASSERT_EQ(Band().GetWindow(&window), S_OK);
    ASSERT_TRUE(::IsWindow(window));
    EXPECT_EQ(::GetParent(window), Strip());
    EXPECT_EQ(Band().GetWindow(nullptr), E_INVALIDARG);

    HWND toolbar = Band().Bar().m_hWnd;
    ASSERT_TRUE(::IsWindow(toolbar));
    EXPECT_EQ(::GetParent(toolbar), window);
    EXPECT_EQ(ClassOf(toolbar), L"TORVA_IEMILTEY_TOOLBAR");
    EXPECT_EQ(TextOf(toolbar), L"TORVA");
    EXPECT_EQ(::SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0), 2);
    wchar_t text[32] = {};
    ::SendMessageW(toolbar, TB_GETBUTTONTEXTW, 102, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"TORVA");

    HWND combo = ::GetDlgItem(toolbar, 105);
    HWND input = ::GetDlgItem(toolbar, 106);
    ASSERT_TRUE(combo && input);
    EXPECT_EQ(ClassOf(combo), L"ComboBox");
    const LONG comboStyle = ::GetWindowLongW(combo, GWL_STYLE);
    EXPECT_EQ(comboStyle & CBS_OWNERDRAWFIXED, CBS_OWNERDRAWFIXED);
    EXPECT_EQ(comboStyle & 3, CBS_DROPDOWNLIST);
    EXPECT_EQ(TextOf(input), L"入力開始");
    EXPECT_NE(Band().BrowserCookie(), 0u) << "browser events subscribed";
    EXPECT_EQ(Band().Bar().Browser(), Browser());
}

TEST_F(BandSite, GetSiteAnswersFromTheSiteAndFailsWithoutOne) {
    CreateBand(false);
    IUnknown* out = reinterpret_cast<IUnknown*>(1);
    EXPECT_EQ(Band().GetSite(IID_IUnknown, reinterpret_cast<void**>(&out)), E_FAIL);
    EXPECT_EQ(out, nullptr);
    ASSERT_EQ(Band().SetSite(static_cast<IOleWindow*>(Site())), S_OK);
    CComPtr<IOleWindow> window;
    EXPECT_EQ(Band().GetSite(IID_IOleWindow, reinterpret_cast<void**>(&window)), S_OK);
    EXPECT_TRUE(window);
}

TEST_F(BandSite, ASecondSiteKeepsOneWindowAndOneSubscription) {
    CreateBand();
    const HWND first = Band().ReflectionWindow();
    const ULONG bandRefs = RefsOf(static_cast<IDeskBand*>(&Band()));
    ASSERT_EQ(bandRefs, 2u) << "the fixture's and the browser's event list";

    ASSERT_EQ(Band().SetSite(static_cast<IOleWindow*>(Site())), S_OK);

    EXPECT_EQ(Band().ReflectionWindow(), first);
    EXPECT_TRUE(::IsWindow(first));
    EXPECT_EQ(ChildrenOfClass(Strip(), L"TORVA_REFLECTION_WINDOW"), 1);
    EXPECT_EQ(RefsOf(static_cast<IDeskBand*>(&Band())), bandRefs) << "advised once";
}

TEST_F(BandSite, SetSiteNullUnsubscribesAndReleasesTheBrowser) {
    const ULONG browserRefs = RefsOf(Browser());
    CreateBand();
    ASSERT_GT(RefsOf(Browser()), browserRefs);
    ASSERT_EQ(RefsOf(static_cast<IDeskBand*>(&Band())), 2u);

    ASSERT_EQ(Band().SetSite(nullptr), S_OK);

    EXPECT_EQ(RefsOf(static_cast<IDeskBand*>(&Band())), 1u) << "the browser keeps no band";
    EXPECT_EQ(RefsOf(Browser()), browserRefs) << "the band keeps no browser";
    EXPECT_EQ(Band().Bar().Browser(), nullptr);
    EXPECT_EQ(Band().BrowserCookie(), 0u);
    // Pages shown now are no business of the band's.
    Show(L"login.html");
    EXPECT_TRUE(Band().Sinks().empty());
}

TEST_F(BandSite, QuitUnsubscribesAndReleasesTheBrowser) {
    const ULONG browserRefs = RefsOf(Browser());
    CreateBand();
    ASSERT_EQ(Browser()->Quit(), S_OK);
    EXPECT_EQ(RefsOf(static_cast<IDeskBand*>(&Band())), 1u);
    EXPECT_EQ(RefsOf(Browser()), browserRefs);
    EXPECT_EQ(Band().BrowserCookie(), 0u);
}

TEST_F(BandSite, ASiteWithoutAWindowIsRefused) {
    CreateBand(false);
    TestBandSite* lost = TestBandSite::Create(nullptr, Browser());
    EXPECT_EQ(Band().SetSite(static_cast<IOleWindow*>(lost)), E_FAIL);
    lost->Release();
}

TEST_F(BandSite, ShowAndCloseShowAndHideTheWindow) {
    CreateBand();
    HWND window = Band().ReflectionWindow();
    EXPECT_EQ(Band().ShowDW(FALSE), S_OK);
    EXPECT_FALSE(::IsWindowVisible(window));
    EXPECT_EQ(Band().ShowDW(TRUE), S_OK);
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_EQ(Band().CloseDW(0), S_OK);
    EXPECT_FALSE(::IsWindowVisible(window));
    EXPECT_EQ(Band().ResizeBorderDW(nullptr, nullptr, FALSE), E_NOTIMPL);
}

TEST_F(BandSite, KeysAreLeftToTheBrowser) {
    CreateBand();
    MSG key{Band().Bar().ComboBox(), WM_KEYDOWN, VK_DOWN, 0, 0, {}};
    EXPECT_EQ(Band().TranslateAcceleratorIO(&key), S_FALSE);
    EXPECT_EQ(Band().UIActivateIO(TRUE, nullptr), S_OK);
    ::SetFocus(Band().Bar().m_hWnd);
    EXPECT_EQ(Band().HasFocusIO(), S_OK);
    ::SetFocus(TopWindow());
    EXPECT_EQ(Band().HasFocusIO(), S_FALSE);
}
