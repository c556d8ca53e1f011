#include "CNotifyMsg.h"

#include "UiTestSupport.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

HINSTANCE ThisModule() {
    return ::GetModuleHandleW(nullptr);
}

RECT WindowRect(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

torva::UniqueWindow MakeParent() {
    return torva::UniqueWindow(::CreateWindowExW(0, L"STATIC", L"parent",
                                                 WS_OVERLAPPEDWINDOW | WS_VISIBLE, 130, 90, 617,
                                                 411, nullptr, nullptr, nullptr, nullptr));
}

} // namespace

TEST(NotifyMsg, ShowsCentredOnItsParentAndCarriesItsProperty) {
    torva::UniqueWindow parent = MakeParent();
    ASSERT_TRUE(parent);
    CNotifyMsg notice;
    const HWND window = notice.Create(parent.get(), ThisModule());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(notice.Window(), window);
    EXPECT_TRUE(notice.IsShowWindow());
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_EQ(::GetPropW(window, CNotifyMsg::kPropName), &notice);
    EXPECT_EQ(::GetParent(window), parent.get());

    const RECT own = WindowRect(window);
    const POINT expected = CentredOn(WindowRect(parent.get()), own);
    EXPECT_EQ(own.left, expected.x);
    EXPECT_EQ(own.top, expected.y);

    notice.Terminate();
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_FALSE(notice.IsShowWindow());
    EXPECT_EQ(notice.Window(), nullptr);
}

TEST(NotifyMsg, WithoutParentCentresOnTheWorkArea) {
    RECT workArea{};
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0));
    CNotifyMsg notice;
    const HWND window = notice.Create(nullptr, ThisModule());
    ASSERT_NE(window, nullptr);
    const RECT own = WindowRect(window);
    const POINT expected = CentredOn(workArea, own);
    EXPECT_EQ(own.left, expected.x);
    EXPECT_EQ(own.top, expected.y);
    notice.Terminate();
}

TEST(NotifyMsg, CenterWindowMovesAnyWindowKeepingItsSize) {
    torva::UniqueWindow parent = MakeParent();
    torva::UniqueWindow child(::CreateWindowExW(0, L"STATIC", L"c", WS_POPUP, 3, 4, 101, 51,
                                                parent.get(), nullptr, nullptr, nullptr));
    ASSERT_TRUE(child);
    ASSERT_TRUE(CNotifyMsg::CenterWindow(child.get()));
    const RECT own = WindowRect(child.get());
    EXPECT_EQ(own.right - own.left, 101);
    EXPECT_EQ(own.bottom - own.top, 51);
    const POINT expected = CentredOn(WindowRect(parent.get()), own);
    EXPECT_EQ(own.left, expected.x);
    EXPECT_EQ(own.top, expected.y);
}

TEST(NotifyMsg, TerminateWithoutWindowOrTwiceIsHarmless) {
    CNotifyMsg notice;
    notice.Terminate();
    EXPECT_FALSE(notice.IsShowWindow());

    const HWND window = notice.Create(nullptr, ThisModule());
    ASSERT_NE(window, nullptr);
    notice.Terminate();
    notice.Terminate();
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_FALSE(notice.IsShowWindow());
}

TEST(NotifyMsg, ClosedFromOutsideAnswersNotShowingAndTerminateIsHarmless) {
    CNotifyMsg notice;
    const HWND window = notice.Create(nullptr, ThisModule());
    ASSERT_NE(window, nullptr);
    ::SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(notice.Window(), window) << "the handle is still held";
    EXPECT_FALSE(notice.IsShowWindow());
    notice.Terminate();
    EXPECT_EQ(notice.Window(), nullptr);

    // A new notice after that works as the first did.
    ASSERT_NE(notice.Create(nullptr, ThisModule()), nullptr);
    EXPECT_TRUE(notice.IsShowWindow());
    notice.Terminate();
}

TEST(NotifyMsg, TerminateLeavesAWindowThatIsNoLongerItsOwn) {
    // The held handle names a living window that does not carry this object's
    // property, as when the notice died and its handle went to another window.
    CNotifyMsg notice;
    CNotifyMsg other;
    const HWND taken = notice.Create(nullptr, ThisModule());
    ASSERT_NE(taken, nullptr);
    ASSERT_TRUE(::SetPropW(taken, CNotifyMsg::kPropName, &other));
    notice.Terminate();
    EXPECT_TRUE(::IsWindow(taken));
    EXPECT_TRUE(::IsWindowVisible(taken)) << "not even hidden";
    EXPECT_EQ(notice.Window(), nullptr);

    const HWND bare = notice.Create(nullptr, ThisModule());
    ASSERT_NE(bare, nullptr);
    ASSERT_TRUE(::RemovePropW(bare, CNotifyMsg::kPropName));
    notice.Terminate();
    EXPECT_TRUE(::IsWindow(bare));
    EXPECT_EQ(notice.Window(), nullptr);

    ::DestroyWindow(taken);
    ::DestroyWindow(bare);
}

TEST(NotifyMsg, InstanceWithoutTheTemplateGivesNoWindow) {
    const HINSTANCE kernel = ::GetModuleHandleW(L"kernel32.dll");
    ASSERT_NE(kernel, nullptr);
    ASSERT_EQ(::FindResourceW(kernel, MAKEINTRESOURCEW(IDD_NOTIFYMSG), RT_DIALOG), nullptr);
    CNotifyMsg notice;
    EXPECT_EQ(notice.Create(nullptr, kernel), nullptr);
    EXPECT_FALSE(notice.IsShowWindow());
    EXPECT_EQ(notice.Window(), nullptr);
    notice.Terminate();
}

TEST(NotifyMsg, WorkerThreadSeesTheWindowComeAndGo) {
    CNotifyMsg notice;
    ASSERT_NE(notice.Create(nullptr, ThisModule()), nullptr);
    BOOL seen = FALSE;
    std::thread([&] { seen = notice.IsShowWindow(); }).join();
    EXPECT_TRUE(seen);
    notice.Terminate();
    std::thread([&] { seen = notice.IsShowWindow(); }).join();
    EXPECT_FALSE(seen);
}
