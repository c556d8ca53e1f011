// Seeded random requests through the real pipe, against one relay process
// (by default the installed 32-bit Zentrip, started once as the add-in starts
// it): the mutated requests of the in-process fuzz run, each as one whole
// exchange. Every exchange must end with a well-formed reply of the request's
// kind or TYPE_ERROR; afterwards a valid exchange of every kind still
// succeeds, the relay is still the one started at first, and it holds no more
// handles than before the run.
//
// What the pipe itself decides is not fuzzed here but in the channel's own
// tests: a message shorter than its header announces only times the read out
// (tens of seconds each with the relay's timings), so every message is sent
// with at least as many bytes as it announces; and a whole TYPE_END would end
// the relay, so none is sent.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <utility>

#include "AddinChannel.h"
#include "AutoAnswer.h"
#include "CRequestDispatcher.h"
#include "HandleCount.h"
#include "RelayCalls.h"
#include "RelayRecords.h"
#include "RelayTestEnvironment.h"
#include "RequestBuilder.h"
#include "RequestFuzzer.h"

using namespace torva::relay;
using namespace torva::relay::test;
using peltrix::test::AutoAnswer;

namespace {

constexpr uint32_t kWarmUpSeed = 20261209;
constexpr uint32_t kSeed = 20261208;
constexpr int kWarmUpRequests = 500;
constexpr int kRequests = 12000;
// Authentication case numbers of this program alone; every authentication
// request is pointed at one of them, so that no PIN dialog can ever open.
constexpr DWORD kAllowCase = 97;
constexpr DWORD kDenyCase = 98;

// The relay's handle count, as low as it gets between exchanges: its worker
// opens and closes named events and locks while it waits, so a single look
// may catch one of them open.
DWORD SettledHandleCount(HANDLE relay) {
    DWORD lowest = MAXDWORD;
    for (int look = 0; look < 10; ++look) {
        ::Sleep(30);
        DWORD count = 0;
        if (ProcessHandleCount(relay, &count)) lowest = std::min(lowest, count);
    }
    return lowest;
}

// What the relay reads of a message that is sent as `wire`: the header and
// then as many bytes as the header announces, when that is a size it accepts.
Message SeenByRelay(const Message& wire) {
    const uint32_t announced = Load32(wire.data(), kOffSize);
    if (announced < kMinMessageSize || announced > kMaxMessageSize) {
        return Message(wire.begin(), wire.begin() + sizeof(RELAY_COMMON));
    }
    return Message(wire.begin(), wire.begin() + announced);
}

class PipeFuzz : public ::testing::Test {
protected:
    PipeFuzz()
        : channel(RelayFolder(), RelayReadyOpens()), calls(channel),
          root(L"RELAYTEST\\PIPEFUZZ" + std::to_wstring(::GetCurrentProcessId())) {}

    void SetUp() override {
        ASSERT_TRUE(allow.Applied() && deny.Applied());
        OpenOwn();
    }

    // The database and key that the requests are made on. The requests may
    // close either; they are then opened again.
    void OpenOwn() {
        ASSERT_EQ(calls.OpenDB(db), 0u) << ToString(calls.LastStatus());
        opened.insert(db);
        ASSERT_EQ(calls.CreateKey(db, root + L"\\FUZZ", key), 0u) << ToString(calls.LastStatus());
    }

    // Turns a mutated request into the bytes to send; false when it would
    // end the relay.
    bool PrepareWire(Message& wire, RequestFuzzer& fuzzer) {
        if (wire.size() < sizeof(RELAY_COMMON)) wire.resize(sizeof(RELAY_COMMON), 0);
        const uint32_t announced = Load32(wire.data(), kOffSize);
        if (announced >= kMinMessageSize && announced <= kMaxMessageSize) {
            if (wire.size() < announced) wire.resize(announced, 0);
            const uint32_t type = Load32(wire.data(), kOffType);
            if (type == TYPE_END) return false;
            if (type == TYPE_TVRAUTH_AUTHENTICATEUSER && announced >= sizeof(RELAY_AUTH)) {
                Store32(wire.data(), offsetof(RELAY_AUTH, dwAuthCase),
                        fuzzer.Below(2) ? kAllowCase : kDenyCase);
            }
        }
        return true;
    }

    // Keeps track of what the answered request opened or closed.
    void Follow(const Message& seen, const Message& reply) {
        if (reply.size() < 20 || Load32(reply.data(), kOffResult) != 0) return;
        const uint32_t type = Load32(reply.data(), kOffType);
        if (type == TYPE_TVRDB_OPENDB) opened.insert(Load64(reply.data(), kOffDb));
        if (type == TYPE_TVRDB_CLOSEDB && Load64(seen.data(), kOffDb) == db) ownClosed = true;
        if (type == TYPE_TVRDB_CLOSEKEY && reply.size() >= 28 &&
            Load64(seen.data(), kOffDb) == db && Load64(seen.data(), kOffKey) == key) {
            ownClosed = true;
        }
    }

    // Sends `count` requests of `seed`; stops at the first bad answer.
    void Run(uint32_t seed, int count) {
        RequestFuzzer fuzzer(seed, root + L"\\");
        Message reply;
        for (int sent = 0, drawn = 0; sent < count; ++drawn) {
            if (ownClosed) {
                (void)calls.CloseDB(db);
                OpenOwn();
                ownClosed = false;
            }
            Message wire = fuzzer.Seed(db, key);
            if (drawn % 10 != 0) fuzzer.Mutate(wire);
            if (!PrepareWire(wire, fuzzer)) continue;
            const Message seen = SeenByRelay(wire);
            const ExchangeStatus status =
                channel.Exchange(wire, AddinChannel::kDatabaseReplyWait, reply);
            ASSERT_EQ(status, ExchangeStatus::Ok)
                << ToString(status) << ": request " << drawn << " of seed " << seed;
            ASSERT_EQ(ReplyVerdict(seen, 0, reply), "")
                << "request " << drawn << " of seed " << seed;
            ++sent;
            if (MessageType(reply) == TYPE_ERROR) {
                ++errors;
            } else {
                ++replies;
            }
            Follow(seen, reply);
        }
    }

    // Closes every database the requests opened, and with them their keys.
    void CloseAll() {
        for (uint64_t handle : opened)
            (void)calls.CloseDB(handle);
        opened.clear();
    }

    // One valid exchange of every kind, on a database of its own.
    void ValidExchangesSucceed() {
        uint64_t ownDb = 0, ownKey = 0;
        ASSERT_EQ(calls.OpenDB(ownDb), 0u) << ToString(calls.LastStatus());
        ASSERT_EQ(calls.CreateKey(ownDb, root + L"\\CHECK", ownKey), 0u);
        EXPECT_EQ(calls.SetValue(ownDb, ownKey, L"URL", 2, TextBytes(L"https://example.test/")),
                  0u);
        uint32_t type = 0, size = 0;
        std::vector<BYTE> buffer(128);
        ASSERT_EQ(calls.QueryValue(ownDb, ownKey, L"URL", type, &buffer, size), 0u);
        EXPECT_EQ(BytesText(buffer.data(), size), L"https://example.test/");
        std::wstring name;
        uint32_t length = 0;
        uint64_t parent = 0;
        ASSERT_EQ(calls.OpenKey(ownDb, root, parent), 0u);
        EXPECT_EQ(calls.EnumKey(ownDb, parent, 0, name, length), 0u);
        EXPECT_EQ(calls.CloseKey(ownDb, parent), 0u);
        EXPECT_EQ(calls.DeleteValue(ownDb, ownKey, L"URL"), 0u);
        EXPECT_EQ(calls.CloseKey(ownDb, ownKey), 0u);
        EXPECT_EQ(calls.DeleteKey(ownDb, 0, root), 0u);
        EXPECT_EQ(calls.CloseDB(ownDb), 0u);

        const std::vector<BYTE> secret = TextBytes(L"s3cr3t");
        std::vector<BYTE> sealed, unsealed;
        ASSERT_EQ(calls.Crypt(1, secret, 256, sealed), 0u);
        ASSERT_EQ(calls.Crypt(2, sealed, 256, unsealed), 0u);
        EXPECT_EQ(unsealed, secret);
        EXPECT_TRUE(calls.IsAuthent(kAllowCase));
        EXPECT_FALSE(calls.IsAuthent(kDenyCase));
    }

    const AutoAnswer allow{kAllowCase, AutoAnswer::kAllow};
    const AutoAnswer deny{kDenyCase, AutoAnswer::kDeny};
    AddinChannel channel;
    RelayCalls calls;
    const std::wstring root;
    uint64_t db = 0, key = 0;
    bool ownClosed = false;
    std::set<uint64_t> opened;
    int replies = 0, errors = 0;
};

} // namespace

TEST_F(PipeFuzz, RelaySurvivesMutatedRequestsAndStillServesWithoutLeakingHandles) {
    std::printf("relay process %lu\n", channel.RelayProcessId());
    // The first run of each path may set up what the libraries keep for the
    // life of the process; that is not a leak, so it comes before the count.
    Run(kWarmUpSeed, kWarmUpRequests);
    ASSERT_FALSE(HasFatalFailure());
    CloseAll();
    ValidExchangesSucceed();
    ASSERT_FALSE(HasFatalFailure());
    const DWORD before = SettledHandleCount(channel.RelayProcess());
    ASSERT_NE(before, MAXDWORD) << "no handle count of the relay";

    replies = errors = 0;
    const DWORD start = ::GetTickCount();
    OpenOwn();
    Run(kSeed, kRequests);
    ASSERT_FALSE(HasFatalFailure());
    std::printf("seed %u: %d requests in %lu ms, %d replies, %d errors\n", kSeed, kRequests,
                ::GetTickCount() - start, replies, errors);
    // The mix must reach both the libraries and the refusals.
    EXPECT_GT(replies, kRequests / 10);
    EXPECT_GT(errors, kRequests / 10);

    CloseAll();
    ValidExchangesSucceed();
    const DWORD after = SettledHandleCount(channel.RelayProcess());
    std::printf("relay handles: %lu before, %lu after\n", before, after);
    EXPECT_LE(after, before);
    EXPECT_EQ(::WaitForSingleObject(channel.RelayProcess(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(channel.RelayStarts(), 1);
    EXPECT_TRUE(channel.End(RelayIs32Bit() ? 15000 : 5000));
}
