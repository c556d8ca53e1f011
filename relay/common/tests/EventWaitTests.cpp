#include <gtest/gtest.h>

#include <thread>

#include "EventWait.h"
#include "NullDaclSecurity.h"
#include "TestNames.h"
#include "Win32Handles.h"

using torva::UniqueHandle;
using torva::relay::EventWaitOptions;
using torva::relay::WaitNamedEvent;

namespace {

UniqueHandle MakeEvent(const std::wstring& name) {
    return UniqueHandle(
        ::CreateEventW(torva::relay::NullDaclAttributes(), TRUE, FALSE, name.c_str()));
}

std::thread SetLater(HANDLE event, DWORD delayMs) {
    return std::thread([event, delayMs] {
        ::Sleep(delayMs);
        ::SetEvent(event);
    });
}

} // namespace

TEST(WaitEvent, SeesAnEventSetLaterAndLeavesItSet) {
    const std::wstring name = UniqueTestName(L"Local\\WaitEventTest");
    UniqueHandle event = MakeEvent(name);
    std::thread setter = SetLater(event.get(), 200);
    EXPECT_TRUE(WaitNamedEvent(name.c_str(), 30000));
    setter.join();
    EXPECT_EQ(::WaitForSingleObject(event.get(), 0), WAIT_OBJECT_0);
}

TEST(WaitEvent, EventCreatedAfterTheWaitBeganIsFound) {
    const std::wstring name = UniqueTestName(L"Local\\WaitEventTest");
    UniqueHandle event;
    std::thread creator([&] {
        ::Sleep(300);
        event = MakeEvent(name);
        ::SetEvent(event.get());
    });
    EXPECT_TRUE(WaitNamedEvent(name.c_str(), INFINITE));
    creator.join();
}

TEST(WaitEvent, MissingEventEndsAThirtySecondWaitAfterSixOpens) {
    const DWORD start = ::GetTickCount();
    EXPECT_FALSE(WaitNamedEvent(UniqueTestName(L"Local\\WaitEventMissing").c_str(), 30000));
    const DWORD took = ::GetTickCount() - start;
    EXPECT_GE(took, 500u);
    EXPECT_LT(took, 3000u);
}

TEST(WaitEvent, MissingEventEndsAWaitWithoutLimitAfterFiftyTwoOpens) {
    EventWaitOptions options;
    options.openRetryWait = 10;
    const DWORD start = ::GetTickCount();
    EXPECT_FALSE(WaitNamedEvent(UniqueTestName(L"Local\\WaitEventMissing").c_str(), INFINITE,
                                nullptr, options));
    const DWORD took = ::GetTickCount() - start;
    EXPECT_GE(took, 400u);
    EXPECT_LT(took, 5000u);
}

TEST(WaitEvent, TimeOutLongerThanOneSliceStillEnds) {
    const std::wstring name = UniqueTestName(L"Local\\WaitEventTest");
    UniqueHandle event = MakeEvent(name);
    EventWaitOptions options;
    options.slice = 50;
    const DWORD start = ::GetTickCount();
    // 170 is not a multiple of the slice: the remaining time goes below zero.
    EXPECT_FALSE(WaitNamedEvent(name.c_str(), 170, nullptr, options));
    const DWORD took = ::GetTickCount() - start;
    EXPECT_GE(took, 150u);
    EXPECT_LT(took, 2000u);
}

TEST(WaitEvent, AbortEventEndsTheWait) {
    const std::wstring name = UniqueTestName(L"Local\\WaitEventTest");
    UniqueHandle event = MakeEvent(name);
    UniqueHandle abort(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::thread aborter = SetLater(abort.get(), 100);
    const DWORD start = ::GetTickCount();
    EXPECT_FALSE(WaitNamedEvent(name.c_str(), INFINITE, abort.get()));
    EXPECT_LT(::GetTickCount() - start, 3000u);
    aborter.join();
}

namespace {

int g_dispatched = 0;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP + 1) {
        ++g_dispatched;
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

TEST(WaitEvent, WindowMessagesAreDispatchedWhileWaiting) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &CountingProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"RelayWaitEventTestWindow";
    ::RegisterClassW(&wc);
    torva::UniqueWindow window(::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0,
                                                 HWND_MESSAGE, nullptr, wc.hInstance, nullptr));
    ASSERT_TRUE(window);
    g_dispatched = 0;
    ::PostMessageW(window.get(), WM_APP + 1, 0, 0);

    const std::wstring name = UniqueTestName(L"Local\\WaitEventTest");
    UniqueHandle event = MakeEvent(name);
    std::thread setter = SetLater(event.get(), 400);
    EventWaitOptions options;
    options.slice = 50;
    EXPECT_TRUE(WaitNamedEvent(name.c_str(), 30000, nullptr, options));
    setter.join();
    EXPECT_EQ(g_dispatched, 1);
}

TEST(WaitEvent, RemovedQuitMessageIsPostedAgain) {
    ::PostQuitMessage(7);
    const std::wstring name = UniqueTestName(L"Local\\WaitEventTest");
    UniqueHandle event = MakeEvent(name);
    std::thread setter = SetLater(event.get(), 300);
    EventWaitOptions options;
    options.slice = 50;
    EXPECT_TRUE(WaitNamedEvent(name.c_str(), 30000, nullptr, options));
    setter.join();
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST(WaitEvent, SeenEventIsHandedOverOpenOnlyWhenSignalled) {
    const std::wstring name = UniqueTestName(L"Local\\WaitEventTest");
    UniqueHandle event = MakeEvent(name);
    UniqueHandle seen;
    EventWaitOptions quick;
    quick.slice = 50;
    EXPECT_FALSE(WaitNamedEvent(name.c_str(), 100, nullptr, quick, &seen));
    EXPECT_FALSE(seen);

    ::SetEvent(event.get());
    ASSERT_TRUE(WaitNamedEvent(name.c_str(), 1000, nullptr, quick, &seen));
    ASSERT_TRUE(seen);
    // The handed-over handle is the same event, still open after the wait.
    event.reset();
    ::ResetEvent(seen.get());
    UniqueHandle again(::OpenEventW(EVENT_MODIFY_STATE, FALSE, name.c_str()));
    ASSERT_TRUE(again);
    ::SetEvent(again.get());
    EXPECT_EQ(::WaitForSingleObject(seen.get(), 0), WAIT_OBJECT_0);
}
