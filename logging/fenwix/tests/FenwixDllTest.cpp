// The built library itself: its exports, ordinals and the contracts that hold
// whatever the machine's settings are.
#include "Fenwix.h"
#include "ProgramFolder.h"
#include "Win32Handles.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring BesideThisProgram(const wchar_t* file) {
    return torva::ProgramFolder() + file;
}

template <typename Fn> Fn Bind(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

class FenwixDllTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(library) << "Fenwix.dll beside the test program"; }
    void TearDown() override {
        if (auto terminate = Bind<FENWIX_TERMINATE_FN>(library.get(), "FENWIX_Terminate"))
            terminate();
    }
    torva::UniqueModule library{::LoadLibraryW(BesideThisProgram(L"Fenwix.dll").c_str())};
};

TEST_F(FenwixDllTest, ExportsHaveTheirFixedOrdinals) {
    const char* names[] = {"FENWIX_Initialize", "FENWIX_SetLogLevel", "FENWIX_SetMode",
                           "FENWIX_Terminate", "FENWIX_WriteLog"};
    for (WORD ordinal = 1; ordinal <= 5; ++ordinal) {
        const FARPROC byName = ::GetProcAddress(library.get(), names[ordinal - 1]);
        ASSERT_NE(byName, nullptr) << names[ordinal - 1];
        EXPECT_EQ(::GetProcAddress(library.get(), MAKEINTRESOURCEA(ordinal)), byName)
            << names[ordinal - 1];
    }
    EXPECT_EQ(::GetProcAddress(library.get(), MAKEINTRESOURCEA(6)), nullptr);
}

TEST_F(FenwixDllTest, SetModeAndSetLogLevelReportWhatTheyDid) {
    const auto setMode = Bind<FENWIX_SETMODE_FN>(library.get(), "FENWIX_SetMode");
    const auto setLogLevel = Bind<FENWIX_SETLOGLEVEL_FN>(library.get(), "FENWIX_SetLogLevel");
    const auto initialize = Bind<FENWIX_INITIALIZE_FN>(library.get(), "FENWIX_Initialize");
    EXPECT_EQ(setMode(::GetModuleHandleW(nullptr), FENWIX_MODE_PER_USER), 1);
    (void)initialize();
    EXPECT_EQ(initialize(), 0);
    EXPECT_EQ(setLogLevel(2), 2);
}

TEST_F(FenwixDllTest, WriteLogKeepsTheCallersLastError) {
    const auto setMode = Bind<FENWIX_SETMODE_FN>(library.get(), "FENWIX_SetMode");
    const auto setLogLevel = Bind<FENWIX_SETLOGLEVEL_FN>(library.get(), "FENWIX_SetLogLevel");
    const auto initialize = Bind<FENWIX_INITIALIZE_FN>(library.get(), "FENWIX_Initialize");
    const auto writeLog = Bind<FENWIX_WRITELOG_FN>(library.get(), "FENWIX_WriteLog");
    setMode(::GetModuleHandleW(nullptr), FENWIX_MODE_PER_USER);
    (void)initialize();
    setLogLevel(3);

    ::SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_EQ(writeLog(3, L".\\FenwixDllTest.cpp", __LINE__, L"%s %d", L"written", 1), 1);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(writeLog(9, L".\\FenwixDllTest.cpp", __LINE__, L"filtered"), 0);
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

} // namespace
