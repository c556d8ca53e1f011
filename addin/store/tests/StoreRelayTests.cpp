// The relay's life as the stores of a process drive it.
#include "RelayState.h"
#include "StoreTestSupport.h"
#include "Win32Handles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace {

class StoreRelay : public ::testing::Test {
protected:
    static void SetUpTestSuite() { UseRelayBesideTestProgram(); }
};

} // namespace

TEST_F(StoreRelay, FirstStoreStartsTheRelayAndTheLastEndsItWithinASecond) {
    auto first = std::make_unique<CExpData>();
    torva::UniqueHandle relay(OpenRelayProcess());
    ASSERT_TRUE(relay) << "the first store starts the relay";
    const DWORD id = RelayState::Instance().RelayProcessId();
    {
        CExpData second;
        EXPECT_EQ(RelayState::Instance().RelayProcessId(), id) << "the second only checks it";
    }
    EXPECT_EQ(::WaitForSingleObject(relay.get(), 0), DWORD(WAIT_TIMEOUT))
        << "a store that is not the last leaves the relay running";

    const auto start = std::chrono::steady_clock::now();
    first.reset();
    EXPECT_EQ(::WaitForSingleObject(relay.get(), 1500), DWORD(WAIT_OBJECT_0));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
    EXPECT_EQ(RelayState::Instance().RelayProcessId(), 0u);
}

TEST_F(StoreRelay, UncountedStoreNeitherKeepsNorEndsTheRelay) {
    auto counted = std::make_unique<CExpData>();
    torva::UniqueHandle relay(OpenRelayProcess());
    ASSERT_TRUE(relay);
    {
        CExpData sink(false);
        EXPECT_EQ(RelayState::Instance().Stores(), 1);
    }
    EXPECT_EQ(::WaitForSingleObject(relay.get(), 200), DWORD(WAIT_TIMEOUT));
    counted.reset();
    EXPECT_EQ(::WaitForSingleObject(relay.get(), 1500), DWORD(WAIT_OBJECT_0));
}

TEST_F(StoreRelay, RelayKilledBetweenCallsIsReplaced) {
    CExpData store;
    ZentripCell* db = nullptr;
    ASSERT_EQ(store.Zentrip_OpenDB(&db), 0u);
    EXPECT_EQ(store.Zentrip_CloseDB(&db), 0u);
    const int starts = RelayState::Instance().RelayStarts();
    const DWORD oldId = RelayState::Instance().RelayProcessId();
    {
        torva::UniqueHandle relay(OpenRelayProcess());
        ASSERT_TRUE(relay);
        ASSERT_TRUE(::TerminateProcess(relay.get(), 1));
        ASSERT_EQ(::WaitForSingleObject(relay.get(), 5000), DWORD(WAIT_OBJECT_0));
    }
    ASSERT_EQ(store.Zentrip_OpenDB(&db), 0u);
    EXPECT_EQ(store.Zentrip_CloseDB(&db), 0u);
    EXPECT_EQ(RelayState::Instance().RelayStarts(), starts + 1);
    EXPECT_NE(RelayState::Instance().RelayProcessId(), oldId);
}

TEST_F(StoreRelay, RequestReenteredOnTheLockHoldingThreadFailsAtOnce) {
    CExpData store;
    HANDLE lock = store.GetSem();
    ASSERT_NE(lock, nullptr);
    ZentripCell* db = nullptr;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(store.Zentrip_OpenDB(&db), kZentripFailure);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(db, nullptr);
    store.PutSem(lock);
    EXPECT_EQ(lock, nullptr);
    ASSERT_EQ(store.Zentrip_OpenDB(&db), 0u) << "the lock is free again";
    EXPECT_EQ(store.Zentrip_CloseDB(&db), 0u);
}

TEST_F(StoreRelay, RequestAndUrlListLocksLetOneThreadInAtATime) {
    CExpData store;
    // Each lock, taken by its name as the store takes it: a successful wait
    // must be the whole take, leaving it held for nobody else.
    for (const std::wstring& name :
         {std::wstring(L"Global\\MutexIERelay_") + std::to_wstring(::GetCurrentProcessId()),
          RelayState::Instance().UrlListLockName()}) {
        SCOPED_TRACE(std::string(name.begin(), name.end()));
        torva::UniqueHandle lock(::OpenEventW(EVENT_ALL_ACCESS, FALSE, name.c_str()));
        ASSERT_TRUE(lock);
        ASSERT_EQ(::WaitForSingleObject(lock.get(), 1000), DWORD(WAIT_OBJECT_0));
        EXPECT_EQ(::WaitForSingleObject(lock.get(), 0), DWORD(WAIT_TIMEOUT))
            << "a second taker got in while the first held the lock";
        ::SetEvent(lock.get());
    }

    // Two threads (a dialog's worker and the UI thread) taking the request
    // lock over and over: never both inside.
    std::atomic<int> inside{0};
    std::atomic<int> most{0};
    const auto work = [&] {
        CExpData mine(false);
        for (int i = 0; i < 300; ++i) {
            HANDLE held = mine.GetSem();
            if (!held) continue;
            const int now = ++inside;
            int seen = most.load();
            while (now > seen && !most.compare_exchange_weak(seen, now)) {
            }
            ::Sleep(0);
            --inside;
            mine.PutSem(held);
        }
    };
    std::thread a(work);
    std::thread b(work);
    a.join();
    b.join();
    EXPECT_EQ(most.load(), 1);
}
