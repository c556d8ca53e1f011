#include <HostCheck.h>

#include <gtest/gtest.h>

TEST(HostCheck, BrowserAndRegsvr32InAnyCaseAreAccepted) {
    EXPECT_TRUE(IsAcceptedHostPath(L"C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE"));
    EXPECT_TRUE(IsAcceptedHostPath(L"C:\\Program Files\\Internet Explorer\\iexplore.exe"));
    EXPECT_TRUE(IsAcceptedHostPath(L"c:\\windows\\system32\\RegSvr32.Exe"));
}

TEST(HostCheck, OtherProgramsAreRefused) {
    EXPECT_FALSE(IsAcceptedHostPath(L"C:\\windows\\notepad.exe"));
    EXPECT_FALSE(IsAcceptedHostPath(L"C:\\Program Files\\Internet Explorer\\iexplore.ex"));
    EXPECT_FALSE(IsAcceptedHostPath(L""));
    // The test program itself is no host.
    EXPECT_FALSE(IsAcceptedHost());
}
