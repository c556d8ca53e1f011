#include <gtest/gtest.h>

#include <atomic>

#include "Framework.h"

namespace {

struct Work {
    std::atomic<int> started{0};
    HANDLE release = nullptr; // the worker waits for it before ending
};

UINT WaitingWorker(LPVOID param) {
    auto* work = static_cast<Work*>(param);
    work->started = 1;
    ::WaitForSingleObject(work->release, 5000);
    return 42;
}

TEST(WorkerThread, CreatedSuspendedRunsOnlyWhenResumedAndIsPolledByExitCode) {
    Work work;
    work.release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(nullptr, work.release);
    CWinThread* thread =
        AfxBeginThread(WaitingWorker, &work, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, thread);
    thread->m_bAutoDelete = FALSE;
    EXPECT_NE(0u, thread->m_nThreadID);

    ::Sleep(50);
    EXPECT_EQ(0, work.started.load());
    DWORD code = 0;
    ASSERT_TRUE(::GetExitCodeThread(thread->m_hThread, &code));
    EXPECT_EQ(STILL_ACTIVE, code);

    EXPECT_EQ(1u, thread->ResumeThread()); // the previous suspend count
    for (int i = 0; i < 500 && !work.started; ++i)
        ::Sleep(10);
    EXPECT_EQ(1, work.started.load());
    ASSERT_TRUE(::GetExitCodeThread(thread->m_hThread, &code));
    EXPECT_EQ(STILL_ACTIVE, code);

    ::SetEvent(work.release);
    int polls = 0;
    do {
        ::Sleep(10);
        ASSERT_TRUE(::GetExitCodeThread(thread->m_hThread, &code));
    } while (code == STILL_ACTIVE && ++polls < 500);
    // The object outlived its thread: its handle still answers.
    EXPECT_EQ(42u, code);
    delete thread;
    ::CloseHandle(work.release);
}

class CountedThread : public CWinThread {
public:
    CountedThread(AFX_THREADPROC proc, LPVOID param, std::atomic<int>* deleted)
        : CWinThread(proc, param), m_deleted(deleted) {}
    ~CountedThread() override { ++*m_deleted; }

private:
    std::atomic<int>* m_deleted;
};

UINT QuickWorker(LPVOID) {
    return 3;
}

TEST(WorkerThread, AutoDeletingObjectDeletesItselfWhenTheFunctionReturns) {
    std::atomic<int> deleted{0};
    auto* thread = new CountedThread(QuickWorker, nullptr, &deleted);
    HANDLE copy = nullptr;
    ASSERT_TRUE(thread->CreateThread(CREATE_SUSPENDED));
    ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), thread->m_hThread, ::GetCurrentProcess(),
                                  &copy, 0, FALSE, DUPLICATE_SAME_ACCESS));
    thread->ResumeThread();
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(copy, 5000));
    DWORD code = 0;
    ASSERT_TRUE(::GetExitCodeThread(copy, &code));
    EXPECT_EQ(3u, code);
    EXPECT_EQ(1, deleted.load());
    ::CloseHandle(copy);
}

TEST(WorkerThread, NoFunctionNoThread) {
    EXPECT_EQ(nullptr, AfxBeginThread(nullptr, nullptr));
}

} // namespace
