// The layout and encoding of a written line.
#include "LogFileAppender.h"
#include "LogLine.h"
#include "LoggerFixture.h"

#include <clocale>

namespace torva::fenwix::testing {
namespace {

class LogLineTest : public LoggerFixture {
protected:
    LogLineTest() {
        env.settings[L"LogLevel"] = 3;
        clock.Set(LocalTimeOf(2009, 1, 31, 12, 34, 56), 1234);
    }
    std::vector<std::string> Lines() { return ReadLines(Known(L"FENWIX_20090131_app.log")); }
};

TEST_F(LogLineTest, LineCarriesTimeStampSourceLineNumberAndMessage) {
    ASSERT_EQ(logger.WriteLog(1, L".\\Foo.cpp", 42, L"%s() return (%d)", L"CFoo::Bar", -7), 1);
    ASSERT_EQ(logger.WriteLog(3, L".\\Foo.cpp", 7, L"p = 0x%08X", 0xBEEFu), 1);
    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           "[2009/01/31, 12:34:56, 00001234]  .\\Foo.cpp:   42:: CFoo::Bar() "
                           "return (-7)",
                           "[2009/01/31, 12:34:56, 00001234]  .\\Foo.cpp:    7:: p = 0x0000BEEF"}));
}

TEST_F(LogLineTest, WideLineNumbersAndLargeTickCountsArePrintedWhole) {
    clock.Set(LocalTimeOf(2010, 12, 5, 3, 4, 5), 0xFFFFFFFF);
    ASSERT_EQ(logger.WriteLog(1, L"x.cpp", 123456, L"m"), 1);
    EXPECT_EQ(ReadLines(Known(L"FENWIX_20101205_app.log")),
              std::vector<std::string>{"[2010/12/05, 03:04:05, -0000001]  x.cpp:123456:: m"});
}

TEST_F(LogLineTest, MissingSourceAndFormatWriteAnEmptyField) {
    ASSERT_EQ(logger.WriteLog(1, nullptr, 1, nullptr), 1);
    EXPECT_EQ(Lines(), std::vector<std::string>{"[2009/01/31, 12:34:56, 00001234]  :    1:: "});
}

TEST_F(LogLineTest, LongMessageIsCutTo1023Characters) {
    const std::wstring message(2000, L'x');
    ASSERT_EQ(logger.WriteLog(1, L".\\a.cpp", 1, L"%s", message.c_str()), 1);
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].size(), 1023u);
    EXPECT_EQ(lines[0].substr(0, 50), "[2009/01/31, 12:34:56, 00001234]  .\\a.cpp:    1:: ");
    EXPECT_EQ(lines[0].find_first_not_of('x', 50), std::string::npos);
}

TEST_F(LogLineTest, PercentSignsInArgumentsAreNotFormattedAgain) {
    ASSERT_EQ(logger.WriteLog(1, L"%s", 1, L"%s", L"100%d %s"), 1);
    EXPECT_EQ(Lines(),
              std::vector<std::string>{"[2009/01/31, 12:34:56, 00001234]  %s:    1:: 100%d %s"});
}

TEST_F(LogLineTest, JapaneseTextIsWrittenInCodePage932WithoutTouchingTheLocale) {
    const std::string localeBefore = std::setlocale(LC_ALL, nullptr);
    ASSERT_EQ(logger.WriteLog(1, L".\\a.cpp", 1, L"%s", L"日本"), 1);
    EXPECT_EQ(std::setlocale(LC_ALL, nullptr), localeBefore);
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(lines[0].size() - 4), "\x93\xFA\x96\x7B");
}

TEST(LogLineCutTest, CutNeverSplitsASurrogatePair) {
    const SYSTEMTIME now = LocalTimeOf(2009, 1, 31, 12, 34, 56);
    // The time stamp and " f:    1:: " take 44 characters; the pair starts at 1022.
    std::wstring message(1022 - 44, L'a');
    message += L"\xD83D\xDE00";
    const std::wstring line = LogLine::Compose(now, 1234, L"f", 1, message);
    EXPECT_EQ(line.size(), 1022u);
    EXPECT_EQ(line.back(), L'a');
}

TEST(LogFileAppenderTest, LinesEndInCarriageReturnLineFeed) {
    EXPECT_EQ(LogFileAppender::Encode(L"ab"), "ab\r\n");
    EXPECT_EQ(LogFileAppender::Encode(L""), "\r\n");
    EXPECT_EQ(LogFileAppender::Encode(L"\x00E9"), "?\r\n");
}

} // namespace
} // namespace torva::fenwix::testing
