// Which lines the configured level lets through, and how the level is set.
#include "LoggerFixture.h"

namespace torva::fenwix::testing {
namespace {

constexpr wchar_t kTodaysFile[] = L"FENWIX_20090131_app.log";

using FenwixLevelTest = LoggerFixture;

TEST_F(FenwixLevelTest, MissingLevelWritesNothingButStillSetsUpAndSweeps) {
    Touch(Known(L"FENWIX_20081201_app.log"));
    EXPECT_EQ(logger.WriteLog(1, L".\\a.cpp", 1, L"entry"), 0);
    EXPECT_EQ(logger.WriteLog(3, L".\\a.cpp", 2, L"detail"), 0);
    EXPECT_FALSE(Exists(Known(kTodaysFile)));
    EXPECT_FALSE(Exists(Known(L"FENWIX_20081201_app.log")));
}

TEST_F(FenwixLevelTest, MissingLevelInPlainModeStillAsksForTheFallbackFolder) {
    logger.SetMode(nullptr, 2);
    EXPECT_EQ(logger.WriteLog(1, L".\\a.cpp", 1, L"entry"), 0);
    EXPECT_EQ(env.fallbackRequests, 1);
}

TEST_F(FenwixLevelTest, LevelOneWritesEntryAndErrorLinesButNoDetail) {
    env.settings[L"LogLevel"] = 1;
    EXPECT_EQ(logger.WriteLog(1, L".\\a.cpp", 1, L"[FUNC CALLED]%s()", L"C::F"), 1);
    EXPECT_EQ(logger.WriteLog(2, L".\\a.cpp", 2, L"two"), 0);
    EXPECT_EQ(logger.WriteLog(3, L".\\a.cpp", 3, L"detail"), 0);
    const auto lines = ReadLines(Known(kTodaysFile));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("[FUNC CALLED]C::F()"), std::string::npos);
}

TEST_F(FenwixLevelTest, LevelThreeWritesDetailButNotHigher) {
    env.settings[L"LogLevel"] = 3;
    EXPECT_EQ(logger.WriteLog(1, L".\\a.cpp", 1, L"one"), 1);
    EXPECT_EQ(logger.WriteLog(3, L".\\a.cpp", 3, L"three"), 1);
    EXPECT_EQ(logger.WriteLog(4, L".\\a.cpp", 4, L"four"), 0);
    EXPECT_EQ(ReadLines(Known(kTodaysFile)).size(), 2u);
}

TEST_F(FenwixLevelTest, LevelSevenIsTreatedAsOff) {
    env.settings[L"LogLevel"] = 7;
    EXPECT_EQ(logger.WriteLog(1, L".\\a.cpp", 1, L"one"), 0);
    EXPECT_EQ(logger.WriteLog(3, L".\\a.cpp", 3, L"three"), 0);
    EXPECT_FALSE(Exists(Known(kTodaysFile)));
}

TEST_F(FenwixLevelTest, NegativeMessageLevelIsNeverWritten) {
    env.settings[L"LogLevel"] = 3;
    EXPECT_EQ(logger.WriteLog(-1, L".\\a.cpp", 1, L"negative"), 0);
    EXPECT_FALSE(Exists(Known(kTodaysFile)));
}

TEST_F(FenwixLevelTest, LevelSetBeforeFirstUseIsReplacedByTheConfiguredOne) {
    env.settings[L"LogLevel"] = 1;
    EXPECT_EQ(logger.SetLogLevel(3), 3);
    EXPECT_EQ(logger.WriteLog(3, L".\\a.cpp", 1, L"detail"), 0);
    EXPECT_EQ(logger.WriteLog(1, L".\\a.cpp", 2, L"entry"), 1);
}

TEST_F(FenwixLevelTest, LevelSetAfterInitialisationHolds) {
    ASSERT_EQ(logger.Initialize(), -1);
    EXPECT_EQ(logger.SetLogLevel(3), 3);
    EXPECT_EQ(logger.WriteLog(3, L".\\a.cpp", 1, L"detail"), 1);
}

TEST_F(FenwixLevelTest, TerminateForgetsTheSetLevelAndReadsTheSettingsAgain) {
    env.settings[L"LogLevel"] = 1;
    (void)logger.Initialize();
    logger.SetLogLevel(3);
    logger.Terminate();
    EXPECT_EQ(logger.WriteLog(3, L".\\a.cpp", 1, L"detail"), 0);
    EXPECT_EQ(logger.WriteLog(1, L".\\a.cpp", 2, L"entry"), 1);
}

TEST_F(FenwixLevelTest, DetachedLoggerDoesNothing) {
    env.settings[L"LogLevel"] = 3;
    logger.Detach();
    EXPECT_EQ(logger.Initialize(), 0);
    EXPECT_EQ(logger.SetLogLevel(3), 0);
    EXPECT_EQ(logger.SetMode(nullptr, 2), 0);
    EXPECT_EQ(logger.WriteLog(1, L".\\a.cpp", 1, L"entry"), 0);
    EXPECT_TRUE(FilesIn(*env.knownFolder).empty());
    EXPECT_TRUE(FilesIn(env.fallbackFolder).empty());
}

} // namespace
} // namespace torva::fenwix::testing
