// A session's records on their way to the reader: what a record holds, and
// which records flush, clear and close send, keep or drop. Records are
// numbered; the number is the data's first four bytes.
#include "FakeLogEndpoint.h"
#include "FakeRecordClock.h"
#include "LogSession.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace torva::garrulon::testing {
namespace {

using Numbers = std::vector<std::uint32_t>;

Numbers Range(std::uint32_t first, std::uint32_t last) {
    Numbers numbers;
    for (std::uint32_t n = first; n <= last; ++n)
        numbers.push_back(n);
    return numbers;
}

std::uint32_t NumberOf(const LogRecord& record) {
    std::uint32_t n = 0;
    std::memcpy(&n, record.data, sizeof(n));
    return n;
}

class Session : public ::testing::Test {
protected:
    void Log(std::uint32_t first, std::uint32_t last) {
        for (std::uint32_t n = first; n <= last; ++n)
            ASSERT_EQ(session.Append(&n, sizeof(n)), TVRLOG_OK);
    }
    // Records 1..kept logged, then a flush that cannot reach the reader.
    void FailFlushAfter(std::uint32_t kept) {
        reader.present = false;
        Log(1, kept);
        ASSERT_EQ(session.Flush(), TVRLOG_E_MAILSLOT);
        reader.present = true;
        reader.opens = 0;
    }
    Numbers Delivered() const {
        Numbers numbers;
        for (const MailslotMessage& message : reader.delivered)
            numbers.push_back(NumberOf(message.record));
        return numbers;
    }
    Numbers Held() const {
        Numbers numbers;
        for (const LogRecord& record : session.Buffer().Records())
            numbers.push_back(NumberOf(record));
        return numbers;
    }

    FakeRecordClock clock;
    FakeLogEndpoint reader;
    LogSession session{L"Audit", reader, clock};
};

TEST(SessionName, LongestNameIsKeptAndOthersFallBackToTheDefault) {
    FakeRecordClock clock;
    FakeLogEndpoint reader;
    const std::wstring twenty = L"ABCDEFGHIJKLMNOPQRST";
    EXPECT_EQ(std::wstring(LogSession(twenty.c_str(), reader, clock).Name()), twenty);
    for (const std::wstring& refused : {twenty + L"U", std::wstring()})
        EXPECT_EQ(std::wstring(LogSession(refused.c_str(), reader, clock).Name()),
                  L"Default_LogFile");
}

TEST_F(Session, RecordKeepsTheFirst24BytesZeroPaddedAndTheClocksStamps) {
    std::uint8_t forty[40];
    for (std::uint8_t i = 0; i < 40; ++i)
        forty[i] = static_cast<std::uint8_t>(i + 1);
    const std::uint8_t three[3] = {0xAA, 0xBB, 0xCC};
    ASSERT_EQ(session.Append(forty, sizeof(forty)), TVRLOG_OK);
    ASSERT_EQ(session.Append(three, sizeof(three)), TVRLOG_OK);

    const LogRecord& longer = session.Buffer().Records().front();
    const LogRecord& shorter = session.Buffer().Records().back();
    EXPECT_EQ(std::memcmp(longer.data, forty, 24), 0);
    std::uint8_t padded[24] = {0xAA, 0xBB, 0xCC};
    EXPECT_EQ(std::memcmp(shorter.data, padded, 24), 0);
    EXPECT_EQ(std::memcmp(&shorter.localTime, &clock.now, sizeof(SYSTEMTIME)), 0);
    EXPECT_EQ(shorter.tickCount, clock.tick);
    EXPECT_EQ(shorter.reserved, 0u);
}

TEST_F(Session, NullEmptyAndOverlongDataAreRefusedUnbuffered) {
    std::uint32_t value = 7;
    EXPECT_EQ(session.Append(nullptr, 4), TVRLOG_E_INVALID_ARG);
    EXPECT_EQ(session.Append(&value, 0), TVRLOG_E_INVALID_ARG);
    // A block claiming more bytes than the caller owns: the end of the only
    // committed page of a reservation.
    auto* base =
        static_cast<std::uint8_t*>(::VirtualAlloc(nullptr, 65536, MEM_RESERVE, PAGE_NOACCESS));
    ASSERT_NE(base, nullptr);
    ASSERT_NE(::VirtualAlloc(base, 4096, MEM_COMMIT, PAGE_READWRITE), nullptr);
    EXPECT_EQ(session.Append(base + 4096 - 8, 9), TVRLOG_E_UNREADABLE);
    EXPECT_EQ(session.Append(base + 4096 - 8, 8), TVRLOG_OK);
    ::VirtualFree(base, 0, MEM_RELEASE);
    EXPECT_EQ(session.Buffer().Count(), 1u);
}

TEST_F(Session, CapKeepsTheNewestThousandAndOneAndFlushSendsThemInOrder) {
    Log(1, 1005);
    EXPECT_EQ(Held(), Range(5, 1005));
    ASSERT_EQ(session.Flush(), TVRLOG_OK);
    EXPECT_EQ(Delivered(), Range(5, 1005));
    EXPECT_EQ(std::wstring(reader.delivered.front().sessionName), L"Audit");
    EXPECT_EQ(reader.delivered.front().processId, ::GetCurrentProcessId());
    EXPECT_TRUE(session.Buffer().Empty());
}

TEST_F(Session, CapDroppingTheMarkedRecordLeavesNothingToResend) {
    LogSession small(L"Small", reader, clock, 3);
    reader.present = false;
    for (std::uint32_t n = 1; n <= 4; ++n) {
        ASSERT_EQ(small.Append(&n, sizeof(n)), TVRLOG_OK);
        if (n == 1) {
            ASSERT_EQ(small.Flush(), TVRLOG_E_MAILSLOT);
        }
    }
    EXPECT_FALSE(small.Buffer().HasMark());
    EXPECT_EQ(small.ClearBuffer(), TVRLOG_OK);
    EXPECT_TRUE(small.Buffer().Empty());
}

TEST_F(Session, FailedFlushKeepsEveryUnsentRecordAndMarksTheNewest) {
    FailFlushAfter(3);
    EXPECT_EQ(Held(), Range(1, 3));
    EXPECT_TRUE(session.Buffer().HasMark());

    Log(4, 5);
    reader.writesAccepted = 2;
    EXPECT_EQ(session.Flush(), TVRLOG_E_MAILSLOT);
    EXPECT_EQ(Held(), Range(3, 5));
    // The reader recovers: nothing is sent twice, nothing is lost.
    reader.writesAccepted = -1;
    ASSERT_EQ(session.Flush(), TVRLOG_OK);
    EXPECT_EQ(Delivered(), Range(1, 5));
    EXPECT_FALSE(session.Buffer().HasMark());
}

TEST_F(Session, ClearResendsUpToTheMarkAndDropsLaterRecords) {
    FailFlushAfter(3);
    Log(4, 5);
    EXPECT_EQ(session.ClearBuffer(), TVRLOG_OK);
    EXPECT_EQ(Delivered(), Range(1, 3));
    EXPECT_TRUE(session.Buffer().Empty());

    Log(6, 7);
    EXPECT_EQ(session.ClearBuffer(), TVRLOG_OK) << "no failed flush: nothing is sent";
    EXPECT_EQ(Delivered(), Range(1, 3));
    EXPECT_TRUE(session.Buffer().Empty());
}

TEST_F(Session, ClearThatCannotResendReportsItAndKeepsTheMarkedRecords) {
    FailFlushAfter(3);
    Log(4, 4);
    reader.present = false;
    EXPECT_EQ(session.ClearBuffer(), TVRLOG_E_MAILSLOT);
    EXPECT_EQ(Held(), Range(1, 3));

    reader.present = true;
    reader.writesAccepted = 1;
    EXPECT_EQ(session.ClearBuffer(), TVRLOG_E_MAILSLOT);
    EXPECT_EQ(Held(), Range(2, 3));
    reader.writesAccepted = -1;
    EXPECT_EQ(session.ClearBuffer(), TVRLOG_OK);
    EXPECT_EQ(Delivered(), Range(1, 3));
}

TEST_F(Session, ShutdownResendsOnlyAfterAFailedFlush) {
    Log(1, 3);
    EXPECT_EQ(session.Shutdown(), TVRLOG_OK);
    EXPECT_EQ(reader.opens, 0);
    EXPECT_TRUE(session.Buffer().Empty());
}

TEST_F(Session, ShutdownTriesTheReaderFourTimesThenReportsTheLoss) {
    FailFlushAfter(3);
    reader.present = false;
    EXPECT_EQ(session.Shutdown(), TVRLOG_E_MAILSLOT);
    EXPECT_EQ(reader.opens, 4);
    EXPECT_EQ(reader.pauses, (std::vector<DWORD>{100, 100, 100}));
    EXPECT_TRUE(session.Buffer().Empty());
}

TEST_F(Session, ShutdownReachingTheReaderLateStillSendsTheMarkedRecords) {
    FailFlushAfter(3);
    Log(4, 6);
    reader.failingOpens = 3;
    EXPECT_EQ(session.Shutdown(), TVRLOG_OK);
    EXPECT_EQ(reader.opens, 4);
    EXPECT_EQ(Delivered(), Range(1, 3));
    EXPECT_TRUE(session.Buffer().Empty());
}

} // namespace
} // namespace torva::garrulon::testing
