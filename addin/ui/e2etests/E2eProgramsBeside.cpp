// Where 32-bit Windows programs only start under emulation (a minute or more
// each), the end-to-end programs run the add-in against the 64-bit builds of
// the relay, the libraries and the manager beside the test program instead of
// the installed 32-bit ones: TORVA_E2E_PROGRAMS=beside, set by the build on
// such machines, points "Location" at this program's folder for the
// program's life and puts the installed value back, byte for byte, when it
// ends. Natively the installed deliverables are used as they stand.
#include "InstallFolder.h"
#include "ProgramFolder.h"
#include "RegistryTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cwchar>
#include <optional>
#include <string>

namespace {

// The product key in the 32-bit view, where the installer writes it.
constexpr wchar_t kProductKey32[] = L"SOFTWARE\\WOW6432Node\\Kobel\\TORVA";

class ProgramsBeside : public ::testing::Environment {
public:
    void SetUp() override {
        wchar_t mode[16] = {};
        const DWORD length = ::GetEnvironmentVariableW(L"TORVA_E2E_PROGRAMS", mode, 16);
        if (length == 0 || length >= 16 || std::wcscmp(mode, L"beside") != 0) return;
        ASSERT_FALSE(torva::InstallFolder().empty()) << "the prefix names no install folder";
        m_installed = module_tests::ReadValue(HKEY_LOCAL_MACHINE, kProductKey32, L"Location");
        ASSERT_TRUE(m_installed.has_value());
        const std::wstring beside = torva::ProgramFolder(); // one trailing backslash
        module_tests::WriteValue(HKEY_LOCAL_MACHINE, kProductKey32, L"Location",
                                 module_tests::TextValue(beside.substr(0, beside.size() - 1)));
        ASSERT_EQ(torva::InstallFolder(), beside);
        std::printf("end to end against the 64-bit programs in %ls\n", beside.c_str());
    }
    void TearDown() override {
        if (!m_installed) return;
        module_tests::WriteValue(HKEY_LOCAL_MACHINE, kProductKey32, L"Location", *m_installed);
        m_installed.reset();
    }

private:
    std::optional<module_tests::StoredValue> m_installed;
};

const auto* const g_programsBeside = ::testing::AddGlobalTestEnvironment(new ProgramsBeside);

} // namespace
