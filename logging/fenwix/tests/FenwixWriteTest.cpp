// Writing lines: date roll-over, the caller's last-error code, the lock, and
// many threads at once.
#include "LogLock.h"
#include "LoggerFixture.h"

#include <regex>
#include <thread>

namespace torva::fenwix::testing {
namespace {

class FenwixWriteTest : public LoggerFixture {
protected:
    FenwixWriteTest() { env.settings[L"LogLevel"] = 3; }
};

TEST_F(FenwixWriteTest, FirstLineAfterMidnightGoesToANewFile) {
    clock.Set(LocalTimeOf(2009, 1, 31, 23, 59, 59));
    ASSERT_EQ(logger.WriteLog(1, L".\\a.cpp", 1, L"before"), 1);
    clock.Set(LocalTimeOf(2009, 2, 1, 0, 0, 1));
    ASSERT_EQ(logger.WriteLog(1, L".\\a.cpp", 2, L"after"), 1);
    ASSERT_EQ(logger.WriteLog(1, L".\\a.cpp", 3, L"later"), 1);
    const auto january = ReadLines(Known(L"FENWIX_20090131_app.log"));
    const auto february = ReadLines(Known(L"FENWIX_20090201_app.log"));
    ASSERT_EQ(january.size(), 1u);
    ASSERT_EQ(february.size(), 2u);
    EXPECT_NE(january[0].find("before"), std::string::npos);
    EXPECT_NE(february[0].find("[2009/02/01, 00:00:01"), std::string::npos);
}

TEST_F(FenwixWriteTest, RollOverSweepsWithThirtyDaysWhateverIsConfigured) {
    env.settings[L"LogDeleteOldDays"] = 10;
    Touch(Known(L"FENWIX_20090105_app.log"));
    Touch(Known(L"FENWIX_20090112_app.log"));
    clock.Set(LocalTimeOf(2009, 1, 20, 9, 0, 0));
    ASSERT_EQ(logger.WriteLog(1, L".\\a.cpp", 1, L"day one"), 1);
    EXPECT_FALSE(Exists(Known(L"FENWIX_20090105_app.log")));
    EXPECT_TRUE(Exists(Known(L"FENWIX_20090112_app.log")));

    // Thirteen days old at the roll-over: gone with 10 days, kept with 30.
    Touch(Known(L"FENWIX_20081201_app.log"));
    clock.Set(LocalTimeOf(2009, 1, 25, 9, 0, 0));
    EXPECT_EQ(logger.Initialize(), 0);
    EXPECT_TRUE(Exists(Known(L"FENWIX_20090112_app.log")));
    EXPECT_FALSE(Exists(Known(L"FENWIX_20081201_app.log")));
    EXPECT_EQ(logger.Initialize(), 0);
}

TEST_F(FenwixWriteTest, CallersLastErrorIsKeptOnEveryPath) {
    ::SetLastError(4321);
    ASSERT_EQ(logger.WriteLog(1, L".\\a.cpp", 1, L"written"), 1);
    EXPECT_EQ(::GetLastError(), 4321u);
    ::SetLastError(4322);
    ASSERT_EQ(logger.WriteLog(9, L".\\a.cpp", 2, L"filtered"), 0);
    EXPECT_EQ(::GetLastError(), 4322u);
    logger.Terminate();
    env.knownFolder = temp.path() + L"missing\\";
    ::SetLastError(4323);
    ASSERT_EQ(logger.WriteLog(1, L".\\a.cpp", 3, L"unwritable"), 0);
    EXPECT_EQ(::GetLastError(), 4323u);
}

TEST_F(FenwixWriteTest, LineIsDroppedWhileTheLockIsHeldElsewhere) {
    FenwixLogger impatient(env, clock, 50);
    impatient.Attach();
    ASSERT_EQ(impatient.Initialize(), -1);
    {
        LogLock other(LogLock::NameFor(::GetCurrentProcessId()), 0);
        ASSERT_TRUE(other.held());
        EXPECT_EQ(impatient.WriteLog(1, L".\\a.cpp", 1, L"lost"), 0);
    }
    EXPECT_EQ(impatient.WriteLog(1, L".\\a.cpp", 2, L"kept"), 1);
    const auto lines = ReadLines(Known(L"FENWIX_20090131_app.log"));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("kept"), std::string::npos);
}

// Each thread writes numbered lines whose length varies, so that two appends
// mixing would show as a line that does not parse or has the wrong length.
// Lines stay below the 1023-character cut.
void WriteNumberedLines(FenwixLogger& logger, int thread, int count, int* written) {
    for (int i = 0; i < count; ++i) {
        const std::wstring fill(static_cast<std::size_t>(50 + (i * 37 + thread * 11) % 800), L'x');
        *written += logger.WriteLog(1, L".\\T.cpp", thread, L"thread %d line %d len %d %s", thread,
                                    i, static_cast<int>(fill.size()), fill.c_str());
    }
}

void ExpectWholeLines(const std::vector<std::string>& lines, std::vector<int>& nextLine) {
    // The fill is checked by hand: libstdc++'s regex recurses once per
    // character and would need a deep stack for these long lines.
    static const std::regex head(
        R"(^\[2009/0[12]/\d\d, \d\d:\d\d:\d\d, 00001234\]  \.\\T\.cpp: +(\d+):: thread (\d+) line (\d+) len (\d+)$)");
    for (const auto& line : lines) {
        const std::size_t fillStart = line.rfind(' ') + 1;
        const std::string fill = line.substr(fillStart);
        std::smatch match;
        const std::string text = line.substr(0, fillStart == 0 ? 0 : fillStart - 1);
        ASSERT_TRUE(std::regex_match(text, match, head)) << line.substr(0, 120);
        ASSERT_EQ(fill.find_first_not_of('x'), std::string::npos) << line.substr(0, 120);
        const int thread = std::stoi(match[2]);
        ASSERT_EQ(std::stoi(match[1]), thread);
        ASSERT_LT(thread, static_cast<int>(nextLine.size()));
        EXPECT_EQ(std::stoi(match[3]), nextLine[thread]++);
        EXPECT_EQ(static_cast<int>(fill.size()), std::stoi(match[4]));
    }
}

TEST_F(FenwixWriteTest, ManyThreadsWriteWholeLinesInOrder) {
    constexpr int kThreads = 8;
    constexpr int kLines = 150;
    std::vector<int> written(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back(WriteNumberedLines, std::ref(logger), t, kLines, &written[t]);
    for (auto& thread : threads)
        thread.join();

    const auto lines = ReadLines(Known(L"FENWIX_20090131_app.log"));
    EXPECT_EQ(lines.size(), static_cast<std::size_t>(kThreads * kLines));
    std::vector<int> nextLine(kThreads, 0);
    ExpectWholeLines(lines, nextLine);
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(written[t], kLines);
        EXPECT_EQ(nextLine[t], kLines);
    }
}

TEST_F(FenwixWriteTest, ThreadsWritingAcrossMidnightLoseAndTearNothing) {
    constexpr int kThreads = 6;
    constexpr int kLines = 120;
    clock.Set(LocalTimeOf(2009, 1, 31, 23, 59, 59));
    std::vector<int> written(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back(WriteNumberedLines, std::ref(logger), t, kLines, &written[t]);
    ::Sleep(5);
    clock.Set(LocalTimeOf(2009, 2, 1, 0, 0, 0));
    for (auto& thread : threads)
        thread.join();

    const auto january = ReadLines(Known(L"FENWIX_20090131_app.log"));
    const auto february = ReadLines(Known(L"FENWIX_20090201_app.log"));
    EXPECT_EQ(january.size() + february.size(), static_cast<std::size_t>(kThreads * kLines));
    std::vector<int> nextLine(kThreads, 0);
    ExpectWholeLines(january, nextLine);
    ExpectWholeLines(february, nextLine);
    for (int t = 0; t < kThreads; ++t)
        EXPECT_EQ(written[t], kLines);
}

} // namespace
} // namespace torva::fenwix::testing
