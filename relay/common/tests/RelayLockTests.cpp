#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "RelayLock.h"
#include "TestNames.h"

using torva::UniqueHandle;
using torva::relay::RelayLock;

TEST(RelayLock, OneReleaseLetsExactlyOneWaiterThrough) {
    const std::wstring name = UniqueTestName(L"RelayLockTest");
    const UniqueHandle lock = RelayLock::Create(name);
    ASSERT_TRUE(lock);
    std::atomic<int> inside{0};
    std::atomic<int> worst{0};
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 200; ++i) {
                const RelayLock held = RelayLock::Take(name, 10000);
                if (!held.IsHeld()) {
                    ++failures;
                    continue;
                }
                const int now = ++inside;
                int seen = worst.load();
                while (now > seen && !worst.compare_exchange_weak(seen, now)) {
                }
                std::this_thread::yield();
                --inside;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(worst.load(), 1);
}

TEST(RelayLock, TakeTimesOutWhileAnotherHolderKeepsIt) {
    const std::wstring name = UniqueTestName(L"RelayLockTest");
    const UniqueHandle lock = RelayLock::Create(name);
    RelayLock first = RelayLock::Take(name, 1000);
    ASSERT_TRUE(first.IsHeld());
    const DWORD start = ::GetTickCount();
    EXPECT_FALSE(RelayLock::Take(name, 200).IsHeld());
    EXPECT_GE(::GetTickCount() - start, 150u);
    first.Release();
    EXPECT_TRUE(RelayLock::Take(name, 200).IsHeld());
}

TEST(RelayLock, MissingLockFailsAtOnce) {
    const DWORD start = ::GetTickCount();
    EXPECT_FALSE(RelayLock::Take(UniqueTestName(L"RelayLockMissing"), 5000).IsHeld());
    EXPECT_LT(::GetTickCount() - start, 1000u);
}

TEST(RelayLock, AbortEventEndsTheWaitWithoutTakingTheLock) {
    const std::wstring name = UniqueTestName(L"RelayLockTest");
    const UniqueHandle lock = RelayLock::Create(name);
    RelayLock first = RelayLock::Take(name, 1000);
    ASSERT_TRUE(first.IsHeld());
    UniqueHandle abort(::CreateEventW(nullptr, TRUE, TRUE, nullptr));
    EXPECT_FALSE(RelayLock::Take(name, INFINITE, abort.get()).IsHeld());
    first.Release();
    // The abort did not consume the lock's signal.
    EXPECT_TRUE(RelayLock::Take(name, 0, abort.get()).IsHeld());
}

TEST(RelayLock, CreatingAgainKeepsTheCurrentHolder) {
    const std::wstring name = UniqueTestName(L"RelayLockTest");
    const UniqueHandle lock = RelayLock::Create(name);
    const RelayLock held = RelayLock::Take(name, 1000);
    ASSERT_TRUE(held.IsHeld());
    const UniqueHandle again = RelayLock::Create(name);
    ASSERT_TRUE(again);
    EXPECT_FALSE(RelayLock::Take(name, 50).IsHeld());
}

TEST(RelayLock, TakenThroughAnOpenHandleItHonoursTheAbortEventAndKeepsTheHandle) {
    const std::wstring name = UniqueTestName(L"RelayLockTest");
    const UniqueHandle lock = RelayLock::Create(name);
    RelayLock first = RelayLock::TakeOpen(lock.get(), 1000);
    ASSERT_TRUE(first.IsHeld());
    UniqueHandle abort(::CreateEventW(nullptr, TRUE, TRUE, nullptr));
    EXPECT_FALSE(RelayLock::TakeOpen(lock.get(), INFINITE, abort.get()).IsHeld());
    first.Release();
    {
        const RelayLock second = RelayLock::TakeOpen(lock.get(), 0, abort.get());
        EXPECT_TRUE(second.IsHeld());
        EXPECT_FALSE(RelayLock::Take(name, 0).IsHeld());
    }
    // Released, and the handle that keeps the lock is still open.
    EXPECT_TRUE(RelayLock::TakeOpen(lock.get(), 0).IsHeld());
}
