// Which old log files the sweep deletes, and with how many days.
#include "LoggerFixture.h"
#include "LogFileName.h"
#include "OldLogSweeper.h"

namespace torva::fenwix::testing {
namespace {

SYSTEMTIME DaysBefore(const SYSTEMTIME& date, int days) {
    SYSTEMTIME midnight = LocalTimeOf(date.wYear, date.wMonth, date.wDay);
    FILETIME file{};
    EXPECT_TRUE(::SystemTimeToFileTime(&midnight, &file));
    ULARGE_INTEGER ticks{};
    ticks.LowPart = file.dwLowDateTime;
    ticks.HighPart = file.dwHighDateTime;
    ticks.QuadPart -= static_cast<ULONGLONG>(days) * 24 * 60 * 60 * 10'000'000;
    file.dwLowDateTime = ticks.LowPart;
    file.dwHighDateTime = ticks.HighPart;
    SYSTEMTIME result{};
    EXPECT_TRUE(::FileTimeToSystemTime(&file, &result));
    return result;
}

std::wstring PlainLogOf(const SYSTEMTIME& date) {
    return L"FENWIX_" + LogFileName::DateText(date) + L"_app.log";
}

class OldLogSweepTest : public ::testing::Test {
protected:
    std::wstring In(const std::wstring& name) const { return temp.path() + name; }
    int SweepAt(const SYSTEMTIME& now, DWORD days = 30,
                const std::optional<std::wstring>& user = std::nullopt) {
        return OldLogSweeper::Sweep(temp.path(), L"app", user, days, now);
    }
    TempFolder temp;
};

TEST_F(OldLogSweepTest, ThirtyDayOldLogGoesAtMidnightOfTheThirtyFirstDay) {
    Touch(In(L"FENWIX_20090101_app.log"));
    Touch(In(L"FENWIX__app.log"));
    EXPECT_EQ(SweepAt(LocalTimeOf(2009, 1, 30, 23, 59, 59)), 0);
    EXPECT_TRUE(Exists(In(L"FENWIX_20090101_app.log")));
    EXPECT_EQ(SweepAt(LocalTimeOf(2009, 1, 31, 0, 0, 0)), 0);
    EXPECT_TRUE(Exists(In(L"FENWIX_20090101_app.log")));
    EXPECT_EQ(SweepAt(LocalTimeOf(2009, 1, 31, 0, 0, 1)), 0);
    EXPECT_FALSE(Exists(In(L"FENWIX_20090101_app.log")));
    EXPECT_TRUE(Exists(In(L"FENWIX__app.log")));
}

TEST_F(OldLogSweepTest, OnlyThisProgramsLogsAreAged) {
    Touch(In(L"FENWIX_20080101_app.log"));
    Touch(In(L"FENWIX_20080101_other.log"));
    Touch(In(L"FENWIX_20080101_app.txt"));
    Touch(In(L"notes_20080101_app.log"));
    EXPECT_EQ(SweepAt(LocalTimeOf(2009, 1, 31)), 0);
    EXPECT_EQ(FilesIn(temp.path()),
              (std::vector<std::wstring>{L"FENWIX_20080101_app.txt", L"FENWIX_20080101_other.log",
                                         L"notes_20080101_app.log"}));
}

TEST_F(OldLogSweepTest, PerUserSweepAgesOnlyTheUsersOwnLogs) {
    Touch(In(L"FENWIX_KOBEL.alice_20080101_app.log"));
    Touch(In(L"FENWIX_KOBEL.bobby_20080101_app.log"));
    Touch(In(L"FENWIX_20080101_app.log"));
    EXPECT_EQ(SweepAt(LocalTimeOf(2009, 1, 31), 30, std::wstring(L"KOBEL.alice")), 0);
    EXPECT_EQ(FilesIn(temp.path()),
              (std::vector<std::wstring>{L"FENWIX_20080101_app.log",
                                         L"FENWIX_KOBEL.bobby_20080101_app.log"}));
}

TEST_F(OldLogSweepTest, UnreadableDatesAreKeptAndTheSweepGoesOn) {
    const std::vector<std::wstring> unreadable = {
        L"FENWIX_2008x101_app.log", L"FENWIX_20081301_app.log", L"FENWIX_20080230_app.log",
        L"FENWIX_00000000_app.log", L"FENWIX_-2008011_app.log"};
    for (const auto& name : unreadable)
        Touch(In(name));
    Touch(In(L"FENWIX_20080101_app.log"));
    EXPECT_EQ(SweepAt(LocalTimeOf(2009, 1, 31)), 0);
    auto expected = unreadable;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FilesIn(temp.path()), expected);
}

TEST_F(OldLogSweepTest, NoMatchingFileIsReportedAndZeroDaysDoesNothing) {
    EXPECT_EQ(SweepAt(LocalTimeOf(2009, 1, 31)), -1);
    Touch(In(L"FENWIX_20080101_app.log"));
    EXPECT_EQ(SweepAt(LocalTimeOf(2009, 1, 31), 0), 0);
    EXPECT_TRUE(Exists(In(L"FENWIX_20080101_app.log")));
}

TEST(OldLogSweeperDateTest, ReadsEightDigitsOfAValidDate) {
    EXPECT_TRUE(OldLogSweeper::MidnightOf(L"20090101_app.log").has_value());
    EXPECT_TRUE(OldLogSweeper::MidnightOf(L"20080229_app.log").has_value());
    EXPECT_FALSE(OldLogSweeper::MidnightOf(L"20090229_app.log").has_value());
    EXPECT_FALSE(OldLogSweeper::MidnightOf(L"2009011").has_value());
    EXPECT_FALSE(OldLogSweeper::MidnightOf(L"2009 101_app.log").has_value());
    EXPECT_LT(*OldLogSweeper::MidnightOf(L"20090101"), *OldLogSweeper::MidnightOf(L"20090102"));
}

// Days as configured (stored value) and as applied.
struct DaysCase {
    std::optional<DWORD> stored;
    int applied;
};

class ConfiguredDaysTest : public LoggerFixture, public ::testing::WithParamInterface<DaysCase> {};

TEST_P(ConfiguredDaysTest, FirstSweepUsesTheConfiguredDays) {
    const SYSTEMTIME now = LocalTimeOf(2009, 6, 30, 12, 0, 0);
    clock.Set(now);
    if (GetParam().stored) env.settings[L"LogDeleteOldDays"] = *GetParam().stored;
    const int days = GetParam().applied;
    // Half a day past the limit, and half a day before it.
    const std::wstring expired = PlainLogOf(DaysBefore(now, days));
    const std::wstring kept = PlainLogOf(DaysBefore(now, days - 1));
    Touch(Known(expired));
    Touch(Known(kept));
    EXPECT_EQ(logger.Initialize(), 0);
    EXPECT_FALSE(Exists(Known(expired)));
    EXPECT_TRUE(Exists(Known(kept)));
}

INSTANTIATE_TEST_SUITE_P(DeleteOldDays, ConfiguredDaysTest,
                         ::testing::Values(DaysCase{std::nullopt, 30}, DaysCase{0, 30},
                                           DaysCase{120, 30}, DaysCase{90, 30}, DaysCase{10, 10},
                                           DaysCase{1, 1}, DaysCase{89, 89}));

using FenwixSweepTest = LoggerFixture;

TEST_F(FenwixSweepTest, InitializeReportsTheFirstSweepAndThenNothingToDo) {
    EXPECT_EQ(logger.Initialize(), -1);
    Touch(Known(L"FENWIX_20080101_app.log"));
    EXPECT_EQ(logger.Initialize(), 0);
    EXPECT_TRUE(Exists(Known(L"FENWIX_20080101_app.log")));
}

TEST_F(FenwixSweepTest, PerUserModeWithoutAUserSkipsTheSweep) {
    logger.SetMode(nullptr, 1);
    Touch(Known(L"FENWIX_20080101_app.log"));
    EXPECT_EQ(logger.Initialize(), -1);
    EXPECT_TRUE(Exists(Known(L"FENWIX_20080101_app.log")));
}

TEST_F(FenwixSweepTest, SweepMatchesTheExecutableNotTheLogModule) {
    const auto module = reinterpret_cast<HMODULE>(0x10000000);
    env.moduleNames[module] = L"Quorvel";
    logger.SetMode(module, 2);
    Touch(Fallback(L"FENWIX_20080101_app.log"));
    Touch(Fallback(L"FENWIX_20080101_Quorvel.log"));
    EXPECT_EQ(logger.Initialize(), 0);
    EXPECT_EQ(FilesIn(env.fallbackFolder),
              std::vector<std::wstring>{L"FENWIX_20080101_Quorvel.log"});
}

} // namespace
} // namespace torva::fenwix::testing
