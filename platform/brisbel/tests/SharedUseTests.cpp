// Several users of one database at once: separate instances (as separate
// processes hold them) and threads of one process.
#include "TestFolder.h"

#include "DatabaseLock.h"
#include "DatabaseRegistry.h"

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <thread>
#include <vector>

namespace brisbel::test {
namespace {

TEST(SharedUse, EachCallSeesWritesOfOtherInstances) {
    TestFolder folder;
    auto a = OpenInstance(folder.Path(), L"shared");
    auto b = OpenInstance(folder.Path(), L"shared");
    ASSERT_TRUE(a && b);
    ASSERT_EQ(a->CreateKey(Path(L"Relay\\Page")), DWORD{TVRDB_OK});
    ASSERT_EQ(SetDword(*a, L"Relay\\Page", L"n", 1), DWORD{TVRDB_OK});
    DWORD value = 0;
    ASSERT_EQ(QueryDword(*b, L"relay\\page", L"N", value), DWORD{TVRDB_OK});
    EXPECT_EQ(value, 1u);

    ASSERT_EQ(SetDword(*b, L"Relay\\Page", L"n", 2), DWORD{TVRDB_OK});
    ASSERT_EQ(QueryDword(*a, L"Relay\\Page", L"n", value), DWORD{TVRDB_OK});
    EXPECT_EQ(value, 2u);

    ASSERT_EQ(b->DeleteKey(Path(L"Relay")), DWORD{TVRDB_OK});
    EXPECT_EQ(a->OpenKey(Path(L"Relay\\Page")), DWORD{TVRDB_E_KEY_NOT_FOUND});
    EXPECT_EQ(SetDword(*a, L"Relay\\Page", L"n", 3), DWORD{TVRDB_E_KEY_NOT_FOUND});
    EXPECT_EQ(Dump(*a), Dump(*b));
}

TEST(SharedUse, OpensOfOneDatabaseShareOneObject) {
    TestFolder folder;
    std::shared_ptr<Database> first, second, other;
    ASSERT_EQ(DatabaseRegistry::Instance().Open(folder.Path(), L"one", first), DWORD{TVRDB_OK});
    ASSERT_EQ(DatabaseRegistry::Instance().Open(folder.Path() + L"\\.", L"ONE", second),
              DWORD{TVRDB_OK});
    ASSERT_EQ(DatabaseRegistry::Instance().Open(folder.Path(), L"two", other), DWORD{TVRDB_OK});
    EXPECT_EQ(first.get(), second.get());
    EXPECT_NE(first.get(), other.get());
}

TEST(SharedUse, ThreadsWritingAtOnceLoseNothing) {
    TestFolder folder;
    auto db = OpenInstance(folder.Path(), L"threads");
    auto other = OpenInstance(folder.Path(), L"threads");
    ASSERT_TRUE(db && other);
    ASSERT_EQ(db->CreateKey(Path(L"T")), DWORD{TVRDB_OK});
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            Database& target = (t % 2) ? *db : *other;
            for (DWORD i = 0; i < 40; ++i) {
                const std::wstring name = std::to_wstring(t) + L"-" + std::to_wstring(i);
                if (SetDword(target, L"T", name.c_str(), i) != TVRDB_OK) ++failures;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(failures.load(), 0);
    auto fresh = OpenInstance(folder.Path(), L"threads");
    ASSERT_TRUE(fresh);
    for (int t = 0; t < 4; ++t) {
        for (DWORD i = 0; i < 40; ++i) {
            const std::wstring name = std::to_wstring(t) + L"-" + std::to_wstring(i);
            DWORD value = ~0u;
            EXPECT_EQ(QueryDword(*fresh, L"T", name.c_str(), value), DWORD{TVRDB_OK}) << t << i;
            EXPECT_EQ(value, i);
        }
    }
}

TEST(SharedUse, LockHeldTooLongAnswersBusy) {
    TestFolder folder;
    auto db = OpenInstance(folder.Path(), L"busy");
    ASSERT_TRUE(db);
    std::atomic<bool> held{false}, done{false};
    std::thread holder([&] {
        torva::UniqueHandle mutex(::OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE,
                                               DatabaseLock::NameFor(db->Identity()).c_str()));
        if (mutex && ::WaitForSingleObject(mutex.get(), 5000) == WAIT_OBJECT_0) {
            held = true;
            while (!done)
                ::Sleep(10);
            ::ReleaseMutex(mutex.get());
        }
        held = true;
    });
    while (!held)
        ::Sleep(1);
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(db->OpenKey(Path(L"")), DWORD{TVRDB_E_BUSY});
    EXPECT_GE(::GetTickCount() - start, 9000u);
    done = true;
    holder.join();
    EXPECT_EQ(db->OpenKey(Path(L"")), DWORD{TVRDB_OK});
}

// A process of another session (the database service in session 0, a user's
// second logon) reaches only the machine-wide namespace; the lock is there.
TEST(SharedUse, LockHeldIsTheOneEverySessionOpens) {
    TestFolder folder;
    std::wstring identity;
    ASSERT_EQ(Database::IdentityOf(folder.Path(), L"global", identity), DWORD{TVRDB_OK});
    const std::wstring name = DatabaseLock::NameFor(identity);
    const std::wstring global = L"Global\\";
    ASSERT_EQ(name.compare(0, global.size(), global), 0) << "the lock is named in a session";

    DatabaseLock lock;
    ASSERT_EQ(lock.Create(identity), DWORD{TVRDB_OK});
    std::optional<torva::MutexLock> held;
    bool abandoned = true;
    ASSERT_EQ(lock.Acquire(1000, held, abandoned), DWORD{TVRDB_OK});
    EXPECT_FALSE(abandoned);
    // Another thread, as another process would: opened by the global name,
    // the mutex is the one held here.
    DWORD waited = WAIT_FAILED;
    std::thread other([&] {
        torva::UniqueHandle mutex(::OpenMutexW(SYNCHRONIZE, FALSE, name.c_str()));
        if (mutex) waited = ::WaitForSingleObject(mutex.get(), 0);
    });
    other.join();
    EXPECT_EQ(waited, DWORD{WAIT_TIMEOUT});
}

} // namespace
} // namespace brisbel::test
