#include "DllTestSupport.h"
#include "RegistryTestSupport.h"

#include <ProgramFolder.h>

#include <gtest/gtest.h>

using namespace module_tests;

namespace {

// The add-in in a folder of its own with a 64-bit trace library beside it,
// and the stand-in host copied under a chosen name into another folder that
// holds a second trace library: the add-in must bind its own.
class HostProcessTest : public ::testing::Test {
protected:
    HostProcessTest() : m_root(L"Host") {
        m_addinFolder = m_root.MakeSub(L"addin");
        m_hostFolder = m_root.MakeSub(L"host");
        m_addin = m_addinFolder + L"\\Quorvel.dll";
        const std::wstring fenwix = torva::ProgramFolder() + L"Fenwix.dll";
        EXPECT_TRUE(::CopyFileW(InstalledQuorvel().c_str(), m_addin.c_str(), FALSE));
        EXPECT_TRUE(::CopyFileW(fenwix.c_str(), (m_addinFolder + L"\\Fenwix.dll").c_str(), FALSE));
        EXPECT_TRUE(::CopyFileW(fenwix.c_str(), (m_hostFolder + L"\\Fenwix.dll").c_str(), FALSE));
    }

    // Runs the host under name; its exit code and its result lines.
    DWORD RunHostNamed(const std::wstring& name, std::map<std::wstring, std::wstring>& result) {
        const std::wstring host = m_hostFolder + L"\\" + name;
        EXPECT_TRUE(::CopyFileW((torva::ProgramFolder() + L"quorvel_test_host.exe").c_str(),
                                host.c_str(), FALSE));
        const std::wstring resultFile = m_root.Path() + L"\\" + name + L".txt";
        const DWORD code =
            RunProcess(L"\"" + host + L"\" \"" + m_addin + L"\" \"" + resultFile + L"\"");
        result = ReadResultFile(resultFile);
        return code;
    }

    TempFolder m_root;
    std::wstring m_addinFolder, m_hostFolder, m_addin;
};

} // namespace

TEST_F(HostProcessTest, BrowserInCapitalsIsAcceptedAndBindsTheAddinsOwnTraceLibrary) {
    std::map<std::wstring, std::wstring> result;
    ASSERT_EQ(RunHostNamed(L"IEXPLORE.EXE", result), 0u);
    EXPECT_EQ(result[L"loaded"], L"1");
    EXPECT_TRUE(SamePath(result[L"fenwix"], m_addinFolder + L"\\Fenwix.dll")) << result[L"fenwix"];
    EXPECT_EQ(result[L"axhost"], L"1");
    // The band object comes from the class factory as the browser asks for it,
    // and holds the module while it lives.
    EXPECT_EQ(result[L"classobject"], L"0x00000000");
    EXPECT_EQ(result[L"band"], L"0x00000000");
    EXPECT_EQ(result[L"canunloadwithband"], L"0x00000001"); // S_FALSE
    EXPECT_EQ(result[L"canunload"], L"0x00000000");
    // Unloading the add-in unloads the library it bound.
    EXPECT_EQ(result[L"fenwixafterfree"], L"none");
}

TEST_F(HostProcessTest, OtherProgramIsRefusedAndKeepsNothingLoaded) {
    std::map<std::wstring, std::wstring> result;
    ASSERT_EQ(RunHostNamed(L"notepad.exe", result), 1u);
    EXPECT_EQ(result[L"loaded"], L"0");
    EXPECT_EQ(result[L"fenwix"], L"none");
}
