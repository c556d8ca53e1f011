// CTest's resource locks hold within one CTest run. Two runs on one Wine
// prefix (the 32-bit and the 64-bit build's, or a run by hand beside
// scripts/test.sh's) share its registry and database as well, so every test
// program also takes a machine-wide mutex for each lock CTest gave it
// (TORVA_TEST_LOCKS, set from the test's RESOURCE_LOCK), in name order so
// that two programs never wait for each other, and holds them until it ends.
// The programs it starts do not inherit the request.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class MachineTestLocks : public ::testing::Environment {
public:
    void SetUp() override {
        wchar_t names[1024] = {};
        const DWORD length =
            ::GetEnvironmentVariableW(L"TORVA_TEST_LOCKS", names, ARRAYSIZE(names));
        if (length == 0 || length >= ARRAYSIZE(names)) return;
        // The programs a test starts run under these locks already: they
        // must not wait for them again.
        ::SetEnvironmentVariableW(L"TORVA_TEST_LOCKS", nullptr);
        std::vector<std::wstring> locks;
        std::wstring current;
        for (const wchar_t* p = names;; ++p) {
            if (*p == L';' || *p == L'\0') {
                if (!current.empty()) locks.push_back(current);
                current.clear();
                if (*p == L'\0') break;
            } else {
                current += *p;
            }
        }
        std::sort(locks.begin(), locks.end());
        locks.erase(std::unique(locks.begin(), locks.end()), locks.end());
        for (const std::wstring& lock : locks) {
            HANDLE mutex =
                ::CreateMutexW(nullptr, FALSE, (L"Global\\TorvaTestLock." + lock).c_str());
            ASSERT_NE(mutex, nullptr) << "lock " << std::string(lock.begin(), lock.end());
            // Below CTest's own time-out, so a program that never gets its
            // lock fails with a message instead of being killed.
            const DWORD wait = ::WaitForSingleObject(mutex, 840000);
            if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) {
                ::CloseHandle(mutex);
                FAIL() << "the other test run held " << std::string(lock.begin(), lock.end())
                       << " too long";
            }
            m_held.push_back(mutex);
        }
    }
    void TearDown() override {
        for (auto it = m_held.rbegin(); it != m_held.rend(); ++it) {
            ::ReleaseMutex(*it);
            ::CloseHandle(*it);
        }
        m_held.clear();
    }

private:
    std::vector<HANDLE> m_held;
};

const auto* const g_locks = ::testing::AddGlobalTestEnvironment(new MachineTestLocks);

} // namespace
