// The last store going away while a request of another store is under way,
// on another thread or further up this thread's stack.
#include "RelayState.h"
#include "StoreTestSupport.h"
#include "Win32Handles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

class StoreTeardown : public ::testing::Test {
protected:
    static void SetUpTestSuite() { UseRelayBesideTestProgram(); }
};

} // namespace

TEST_F(StoreTeardown, LastStoreEndedFurtherDownTheStackOfARequestIsDeferredPastIt) {
    // A request's waits dispatch messages, so a window procedure may destroy
    // the last store while this thread holds the request lock further up its
    // stack: the end must neither wait for this thread's own lock nor pull
    // the channel from under the request.
    auto owner = std::make_unique<CExpData>();
    CExpData sink(false); // a submit sink's store: not counted
    torva::UniqueHandle relay(OpenRelayProcess());
    ASSERT_TRUE(relay);
    HANDLE lock = sink.GetSem();
    ASSERT_NE(lock, nullptr);

    const auto start = Clock::now();
    owner.reset();
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(1)) << "no wait for its own lock";
    EXPECT_EQ(::WaitForSingleObject(relay.get(), 300), DWORD(WAIT_TIMEOUT))
        << "the relay serves the request under way";
    EXPECT_NE(RelayState::Instance().RelayProcessId(), 0u);

    sink.PutSem(lock);
    EXPECT_EQ(::WaitForSingleObject(relay.get(), 1500), DWORD(WAIT_OBJECT_0))
        << "the relay ends as soon as the request lets go of the lock";
    EXPECT_EQ(RelayState::Instance().RelayProcessId(), 0u);
}

TEST_F(StoreTeardown, LastStoreEndedWhileAnotherThreadHoldsTheRequestWaitsForIt) {
    auto owner = std::make_unique<CExpData>();
    torva::UniqueHandle relay(OpenRelayProcess());
    ASSERT_TRUE(relay);

    torva::UniqueHandle holding(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    constexpr auto kHold = std::chrono::milliseconds(800);
    Clock::time_point released;
    std::thread worker([&] {
        CExpData store(false);
        HANDLE lock = store.GetSem();
        ::SetEvent(holding.get());
        if (!lock) return;
        std::this_thread::sleep_for(kHold);
        released = Clock::now();
        store.PutSem(lock);
    });
    ASSERT_EQ(::WaitForSingleObject(holding.get(), 10000), DWORD(WAIT_OBJECT_0));
    const auto start = Clock::now();
    owner.reset();
    const auto ended = Clock::now();
    worker.join();

    EXPECT_GE(ended - start, kHold - std::chrono::milliseconds(100))
        << "the end of the relay waited for the other thread's request";
    EXPECT_GE(ended, released);
    EXPECT_EQ(::WaitForSingleObject(relay.get(), 1500), DWORD(WAIT_OBJECT_0));
    EXPECT_EQ(RelayState::Instance().RelayProcessId(), 0u);

    // The next first store starts a new relay.
    CExpData next;
    ZentripCell* db = nullptr;
    ASSERT_EQ(next.Zentrip_OpenDB(&db), 0u);
    EXPECT_EQ(next.Zentrip_CloseDB(&db), 0u);
}

TEST_F(StoreTeardown, LastStoreGivesUpWaitingForAnotherThreadsRequestAfterTheLimit) {
    // Closing the browser must never hang on a request that does not end
    // (an authentication nobody answers): the end waits as long as any
    // other wait for the lock, then leaves the relay to end after it.
    RelayState::Instance().SetEndLockWait(1000);
    auto owner = std::make_unique<CExpData>();
    torva::UniqueHandle relay(OpenRelayProcess());
    ASSERT_TRUE(relay);
    torva::UniqueHandle holding(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    torva::UniqueHandle letGo(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::thread worker([&] {
        CExpData store(false);
        HANDLE lock = store.GetSem();
        ::SetEvent(holding.get());
        if (!lock) return;
        ::WaitForSingleObject(letGo.get(), 20000);
        store.PutSem(lock);
    });
    ASSERT_EQ(::WaitForSingleObject(holding.get(), 10000), DWORD(WAIT_OBJECT_0));
    const auto start = Clock::now();
    owner.reset();
    const auto took = Clock::now() - start;
    ::SetEvent(letGo.get());
    worker.join();
    RelayState::Instance().SetEndLockWait(30000);

    EXPECT_LT(took, std::chrono::seconds(4)) << "the end waited past its limit";
    EXPECT_GE(took, std::chrono::milliseconds(900));
    EXPECT_EQ(::WaitForSingleObject(relay.get(), 1500), DWORD(WAIT_OBJECT_0))
        << "the relay ends once the other request lets go";
    EXPECT_EQ(RelayState::Instance().RelayProcessId(), 0u);
}
