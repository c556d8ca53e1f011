// The registration tests write the same class, ProgID and type-library keys
// in both bitnesses, and the 32-bit and 64-bit test programs run at the same
// time in one prefix: each program holds one machine-wide lock while it runs.
#include <windows.h>

#include <gtest/gtest.h>

namespace {

class RegistryTestLock : public ::testing::Environment {
public:
    void SetUp() override {
        m_mutex = ::CreateMutexW(nullptr, FALSE, L"Global\\TorvaComtlRegistryTests");
        ASSERT_NE(m_mutex, nullptr);
        const DWORD wait = ::WaitForSingleObject(m_mutex, 120000);
        ASSERT_TRUE(wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) << wait;
        m_held = true;
    }
    void TearDown() override {
        if (m_held) ::ReleaseMutex(m_mutex);
        if (m_mutex) ::CloseHandle(m_mutex);
        m_held = false;
        m_mutex = nullptr;
    }

private:
    HANDLE m_mutex = nullptr;
    bool m_held = false;
};

const auto* const g_lock = ::testing::AddGlobalTestEnvironment(new RegistryTestLock);

} // namespace
