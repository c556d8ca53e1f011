// The manager's start-up and close pieces: the caller's window from the
// toolbar's command line, the single-instance event and the close notice.
#include "InstanceGuard.h"
#include "MablixShell.h"

#include <gtest/gtest.h>

namespace {

TEST(MablixShell, CallerWindowFromCommandLine) {
    EXPECT_EQ(1234, mablix::ParseCallerWindow(L"IEWND=1234"));
    // Anywhere on the line, in any case, after leading blanks.
    EXPECT_EQ(1234, mablix::ParseCallerWindow(L"  \"C:\\x\\Mablix.exe\" iewnd=1234"));
    EXPECT_EQ(77, mablix::ParseCallerWindow(L"Mablix.exe /a IeWnd=77 tail"));
    EXPECT_EQ(-5, mablix::ParseCallerWindow(L"IEWND=-5"));
    // No key, no number, no "=".
    EXPECT_EQ(0, mablix::ParseCallerWindow(L"Mablix.exe"));
    EXPECT_EQ(0, mablix::ParseCallerWindow(L"IEWND="));
    EXPECT_EQ(0, mablix::ParseCallerWindow(L"IEWND 12"));
    EXPECT_EQ(0, mablix::ParseCallerWindow(L""));
    EXPECT_EQ(0, mablix::ParseCallerWindow(nullptr));
}

TEST(MablixShell, SecondInstanceEventIsRefused) {
    using torva::InstanceGuard;
    using torva::InstanceState;
    InstanceGuard first(InstanceGuard::Kind::Event, mablix::kInstanceEvent);
    ASSERT_EQ(InstanceState::First, first.Acquire());
    InstanceGuard second(InstanceGuard::Kind::Event, mablix::kInstanceEvent);
    EXPECT_EQ(InstanceState::AlreadyRunning, second.Acquire());
    first.Release();
    // Once the owner is gone a new start owns it again.
    InstanceGuard again(InstanceGuard::Kind::Event, mablix::kInstanceEvent);
    EXPECT_EQ(InstanceState::First, again.Acquire());
}

HWND MakeCallerWindow() {
    return ::CreateWindowExW(0, L"STATIC", L"caller", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr,
                             nullptr, nullptr);
}

TEST(MablixShell, CloseNoticeGoesToLiveCallerOnly) {
    const HWND caller = MakeCallerWindow();
    ASSERT_NE(nullptr, caller);
    const int number = static_cast<int>(reinterpret_cast<INT_PTR>(caller));
    ASSERT_TRUE(mablix::NotifyCaller(number));
    MSG message{};
    ASSERT_TRUE(
        ::PeekMessageW(&message, caller, mablix::kCloseNotice, mablix::kCloseNotice, PM_REMOVE));
    EXPECT_EQ(0x590u, message.message);
    EXPECT_EQ(2u, message.wParam);
    EXPECT_EQ(0, message.lParam);

    ::DestroyWindow(caller);
    EXPECT_FALSE(mablix::NotifyCaller(number));
    EXPECT_FALSE(mablix::NotifyCaller(0));
    EXPECT_FALSE(
        ::PeekMessageW(&message, nullptr, mablix::kCloseNotice, mablix::kCloseNotice, PM_REMOVE));
}

} // namespace
