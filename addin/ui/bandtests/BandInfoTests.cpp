// The band's size and mode as the band site asks for them, at the screen's
// DPI of the prefix and, in a child run of this program, at 144 DPI.
#include "BandFixture.h"

#include "GdiScopes.h"
#include "ProgramFolder.h"
#include "Win32Handles.h"
#include "testsupport/LogPixelsSetting.h"

#include <cstdlib>
#include <string>

namespace {

constexpr DWORD kAllMasks = DBIM_MINSIZE | DBIM_MAXSIZE | DBIM_INTEGRAL | DBIM_ACTUAL | DBIM_TITLE |
                            DBIM_MODEFLAGS | DBIM_BKCOLOR;
const wchar_t kChildVariable[] = L"TORVA_BAND_INFO_CHILD";

DESKBANDINFO AskBandInfo(IDeskBand* band, DWORD id, DWORD mode) {
    DESKBANDINFO info{};
    info.dwMask = kAllMasks;
    lstrcpyW(info.wszTitle, L"stale");
    info.dwModeFlags = 0x55;
    EXPECT_EQ(band->GetBandInfo(id, mode, &info), S_OK);
    return info;
}

int ScreenDpi(int axis) {
    const torva::WindowDC screen(nullptr);
    const int dpi = screen.get() ? ::GetDeviceCaps(screen.get(), axis) : 96;
    return dpi > 0 ? dpi : 96;
}

} // namespace

class BandInfo : public BandFixture {};

TEST_F(BandInfo, AtTheScreensDpiTheMinimumIs380By22ScaledAndTheRestFixed) {
    CreateBand(false);
    const DESKBANDINFO info = AskBandInfo(&Band(), 7, DBIF_VIEWMODE_NORMAL);
    EXPECT_EQ(info.ptMinSize.x, ::MulDiv(380, ScreenDpi(LOGPIXELSX), 96));
    EXPECT_EQ(info.ptMinSize.y, ::MulDiv(22, ScreenDpi(LOGPIXELSY), 96));
    EXPECT_EQ(info.ptMaxSize.x, -1);
    EXPECT_EQ(info.ptMaxSize.y, -1);
    EXPECT_EQ(info.ptIntegral.x, 1);
    EXPECT_EQ(info.ptIntegral.y, 1);
    EXPECT_EQ(info.ptActual.x, 0);
    EXPECT_EQ(info.ptActual.y, 0);
    EXPECT_STREQ(info.wszTitle, L"");
    EXPECT_EQ(info.dwModeFlags, static_cast<DWORD>(DBIMF_NORMAL));
    EXPECT_EQ(info.dwMask & DBIM_BKCOLOR, 0u) << "the default background";
    EXPECT_EQ(info.dwMask & DBIM_MINSIZE, static_cast<DWORD>(DBIM_MINSIZE));
}

TEST_F(BandInfo, FillsOnlyWhatTheMaskAsksFor) {
    CreateBand(false);
    DESKBANDINFO info{};
    info.dwMask = DBIM_MINSIZE;
    info.ptMaxSize = {5, 6};
    info.ptActual = {7, 8};
    ASSERT_EQ(Band().GetBandInfo(0, DBIF_VIEWMODE_NORMAL, &info), S_OK);
    EXPECT_EQ(info.ptMaxSize.x, 5);
    EXPECT_EQ(info.ptActual.y, 8);
    EXPECT_GT(info.ptMinSize.x, 0);
    EXPECT_EQ(Band().GetBandInfo(0, DBIF_VIEWMODE_NORMAL, nullptr), E_INVALIDARG);
}

// Run only as the child of the next test: reports the minimum size in its
// exit code (width * 1000 + height).
TEST(BandInfoChild, ReportsTheMinimumSize) {
    if (!_wgetenv(kChildVariable)) GTEST_SKIP() << "child run only";
    CComPtr<IDeskBand> band;
    ASSERT_EQ(CreateStockBar(IID_IDeskBand, reinterpret_cast<void**>(&band)), S_OK);
    DESKBANDINFO info{};
    info.dwMask = DBIM_MINSIZE;
    ASSERT_EQ(band->GetBandInfo(0, DBIF_VIEWMODE_NORMAL, &info), S_OK);
    band.Release();
    std::fflush(nullptr);
    ::ExitProcess(static_cast<UINT>(info.ptMinSize.x * 1000 + info.ptMinSize.y));
}

TEST_F(BandInfo, At144DpiTheMinimumIs570By33) {
    const torva::test::LogPixelsSetting dpi(144);
    ASSERT_TRUE(dpi.Set());
    const std::wstring program = torva::ProgramFolder() + L"addin_band_tests.exe";
    std::wstring command = L"\"" + program + L"\" --gtest_filter=BandInfoChild.*";
    ASSERT_TRUE(::SetEnvironmentVariableW(kChildVariable, L"1"));
    // The child's report is its exit code; its own test output goes nowhere.
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const torva::UniqueFile nul(::CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit,
                                              OPEN_EXISTING, 0, nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = nul.get();
    startup.hStdError = nul.get();
    PROCESS_INFORMATION process{};
    const BOOL started = ::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE,
                                          0, nullptr, nullptr, &startup, &process);
    ::SetEnvironmentVariableW(kChildVariable, nullptr);
    ASSERT_TRUE(started);
    const torva::UniqueHandle thread(process.hThread);
    const torva::UniqueHandle child(process.hProcess);
    ASSERT_EQ(::WaitForSingleObject(child.get(), 60000), WAIT_OBJECT_0);
    DWORD code = 0;
    ASSERT_TRUE(::GetExitCodeProcess(child.get(), &code));
    EXPECT_EQ(code / 1000, 570u);
    EXPECT_EQ(code % 1000, 33u);
}
