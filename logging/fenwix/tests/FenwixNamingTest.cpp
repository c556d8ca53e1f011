// Which folder and file name each naming mode and machine gives.
#include "LoggerFixture.h"
#include "SystemLogEnvironment.h"

namespace torva::fenwix::testing {
namespace {

using FenwixNamingTest = LoggerFixture;

const auto kZentripModule = reinterpret_cast<HMODULE>(0x10000000);
const auto kNamelessModule = reinterpret_cast<HMODULE>(0x20000000);

TEST_F(FenwixNamingTest, PerUserModeNamesTheFileAfterTheUserInTheKnownFolder) {
    env.settings[L"LogLevel"] = 1;
    env.user = L"KOBEL.alice";
    logger.SetMode(nullptr, 1);
    ASSERT_EQ(logger.WriteLog(1, L".\\a.cpp", 1, L"x"), 1);
    EXPECT_EQ(FilesIn(*env.knownFolder),
              std::vector<std::wstring>{L"FENWIX_KOBEL.alice_20090131_app.log"});
    EXPECT_TRUE(FilesIn(env.fallbackFolder).empty());
}

TEST_F(FenwixNamingTest, PerUserModeWithoutAUserUsesThePlainName) {
    env.settings[L"LogLevel"] = 1;
    logger.SetMode(nullptr, 1);
    ASSERT_EQ(logger.WriteLog(1, L".\\a.cpp", 1, L"x"), 1);
    EXPECT_EQ(FilesIn(*env.knownFolder), std::vector<std::wstring>{L"FENWIX_20090131_app.log"});
}

TEST_F(FenwixNamingTest, UnsetModeUsesTheKnownFolderAndThePlainName) {
    env.settings[L"LogLevel"] = 1;
    env.user = L"KOBEL.alice";
    ASSERT_EQ(logger.WriteLog(1, L".\\a.cpp", 1, L"x"), 1);
    EXPECT_EQ(FilesIn(*env.knownFolder), std::vector<std::wstring>{L"FENWIX_20090131_app.log"});
}

TEST_F(FenwixNamingTest, PlainModeWritesToTheWindowsDriveFolderEvenOnNewerWindows) {
    env.settings[L"LogLevel"] = 1;
    env.user = L"KOBEL.alice";
    logger.SetMode(nullptr, 2);
    ASSERT_EQ(logger.WriteLog(1, L".\\a.cpp", 1, L"x"), 1);
    EXPECT_EQ(FilesIn(env.fallbackFolder), std::vector<std::wstring>{L"FENWIX_20090131_app.log"});
    EXPECT_TRUE(FilesIn(*env.knownFolder).empty());
}

TEST_F(FenwixNamingTest, OlderWindowsUsesTheWindowsDriveFolderWithPerUserNames) {
    env.settings[L"LogLevel"] = 1;
    env.majorVersion = 5;
    env.user = L"KOBEL.alice";
    logger.SetMode(nullptr, 1);
    ASSERT_EQ(logger.WriteLog(1, L".\\a.cpp", 1, L"x"), 1);
    EXPECT_EQ(FilesIn(env.fallbackFolder),
              std::vector<std::wstring>{L"FENWIX_KOBEL.alice_20090131_app.log"});
}

TEST_F(FenwixNamingTest, MissingKnownFolderFallsBackToTheWindowsDriveFolder) {
    env.settings[L"LogLevel"] = 1;
    const std::wstring known = *env.knownFolder;
    env.knownFolder.reset();
    ASSERT_EQ(logger.WriteLog(1, L".\\a.cpp", 1, L"x"), 1);
    EXPECT_EQ(FilesIn(env.fallbackFolder), std::vector<std::wstring>{L"FENWIX_20090131_app.log"});
    EXPECT_TRUE(FilesIn(known).empty());
}

TEST_F(FenwixNamingTest, LogModuleNamesTheFile) {
    env.settings[L"LogLevel"] = 1;
    env.moduleNames[kZentripModule] = L"Zentrip";
    EXPECT_EQ(logger.SetMode(kZentripModule, 2), 1);
    ASSERT_EQ(logger.WriteLog(1, L".\\a.cpp", 1, L"x"), 1);
    EXPECT_EQ(FilesIn(env.fallbackFolder),
              std::vector<std::wstring>{L"FENWIX_20090131_Zentrip.log"});
}

TEST_F(FenwixNamingTest, ModuleWithoutABaseNameWritesTorvaLog) {
    env.settings[L"LogLevel"] = 1;
    logger.SetMode(kNamelessModule, 2);
    ASSERT_EQ(logger.WriteLog(1, L".\\a.cpp", 1, L"x"), 1);
    EXPECT_EQ(FilesIn(env.fallbackFolder), std::vector<std::wstring>{L"FENWIX_20090131_TORVA.log"});
}

TEST_F(FenwixNamingTest, UnknownModeKeepsThePreviousModeButTakesTheModule) {
    env.settings[L"LogLevel"] = 1;
    env.moduleNames[kZentripModule] = L"Zentrip";
    logger.SetMode(nullptr, 2);
    EXPECT_EQ(logger.SetMode(kZentripModule, 5), 1);
    ASSERT_EQ(logger.WriteLog(1, L".\\a.cpp", 1, L"x"), 1);
    EXPECT_EQ(FilesIn(env.fallbackFolder),
              std::vector<std::wstring>{L"FENWIX_20090131_Zentrip.log"});
}

TEST_F(FenwixNamingTest, ModeSetAfterTheFirstLineWaitsForTerminate) {
    env.settings[L"LogLevel"] = 1;
    ASSERT_EQ(logger.WriteLog(1, L".\\a.cpp", 1, L"x"), 1);
    logger.SetMode(nullptr, 2);
    ASSERT_EQ(logger.WriteLog(1, L".\\a.cpp", 2, L"y"), 1);
    EXPECT_EQ(ReadLines(Known(L"FENWIX_20090131_app.log")).size(), 2u);
    EXPECT_TRUE(FilesIn(env.fallbackFolder).empty());
}

TEST(SystemLogEnvironmentTest, FallbackFolderIsTheRootOfTheWindowsDrive) {
    EXPECT_EQ(SystemLogEnvironment::FallbackFolderFor(std::wstring(L"D:\\WINDOWS")),
              L"D:\\TorvaLog\\");
    EXPECT_EQ(SystemLogEnvironment::FallbackFolderFor(std::nullopt), L"C:\\TorvaLog\\");
    EXPECT_EQ(SystemLogEnvironment::FallbackFolderFor(std::wstring(L"E")), L"C:\\TorvaLog\\");
}

TEST(SystemLogEnvironmentTest, BaseNameDropsFolderAndLastExtension) {
    EXPECT_EQ(SystemLogEnvironment::BaseNameOf(L"C:\\Program Files\\TORVA\\Zentrip.exe"),
              L"Zentrip");
    EXPECT_EQ(SystemLogEnvironment::BaseNameOf(L"C:\\a.b\\noext"), L"noext");
    EXPECT_EQ(SystemLogEnvironment::BaseNameOf(L"C:\\x\\my.tool.exe"), L"my.tool");
    EXPECT_EQ(SystemLogEnvironment::BaseNameOf(L""), L"");
}

TEST(SystemLogEnvironmentTest, ExecutableBaseNameIsThisTestProgram) {
    SystemLogEnvironment env;
    EXPECT_EQ(env.ModuleBaseName(nullptr), L"fenwix_tests");
}

} // namespace
} // namespace torva::fenwix::testing
