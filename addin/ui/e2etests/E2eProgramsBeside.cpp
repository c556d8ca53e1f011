// Where 32-bit Windows programs only start under emulation (a minute or more
// each), the end-to-end programs run the add-in against the 64-bit builds of
// the relay, the libraries and the manager beside the test program instead of
// the installed 32-bit ones: TORVA_E2E_PROGRAMS=beside, set by the build on
// such machines, points "Location" at this program's folder for the
// program's life and puts the installed folder back when it ends. Natively
// the installed deliverables are used as they stand.
#include "InstallFolder.h"
#include "ProgramFolder.h"
#include "Win32Handles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cwchar>
#include <string>

namespace {

constexpr wchar_t kProductKey[] = L"SOFTWARE\\Kobel\\TORVA";

bool WriteLocation(const std::wstring& folder) {
    torva::UniqueRegKey key;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kProductKey, 0, nullptr, 0,
                          KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, key.put(),
                          nullptr) != ERROR_SUCCESS) {
        return false;
    }
    return ::RegSetValueExW(key.get(), L"Location", 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(folder.c_str()),
                            static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t))) ==
           ERROR_SUCCESS;
}

class ProgramsBeside : public ::testing::Environment {
public:
    void SetUp() override {
        wchar_t mode[16] = {};
        const DWORD length = ::GetEnvironmentVariableW(L"TORVA_E2E_PROGRAMS", mode, 16);
        if (length == 0 || length >= 16 || std::wcscmp(mode, L"beside") != 0) return;
        m_installed = torva::InstallFolder();
        std::wstring beside = torva::ProgramFolder();
        while (!beside.empty() && beside.back() == L'\\') beside.pop_back();
        ASSERT_FALSE(m_installed.empty()) << "the prefix names no install folder";
        ASSERT_TRUE(WriteLocation(beside));
        m_swapped = true;
        std::printf("end to end against the 64-bit programs in %ls\n", beside.c_str());
    }
    void TearDown() override {
        if (!m_swapped) return;
        std::wstring folder = m_installed;
        while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
        WriteLocation(folder);
        m_swapped = false;
    }

private:
    std::wstring m_installed;
    bool m_swapped = false;
};

const auto* const g_programsBeside = ::testing::AddGlobalTestEnvironment(new ProgramsBeside);

} // namespace
