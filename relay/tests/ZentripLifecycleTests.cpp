// The relay's life around its add-in: the end request, a relay that dies
// between or during requests, an add-in process that dies, two add-ins at
// once, a start without arguments and a reply that is never fetched.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "AddinChannel.h"
#include "ChildProcess.h"
#include "RelayCalls.h"
#include "RelayRecords.h"
#include "RelayTestEnvironment.h"
#include "RequestBuilder.h"

using namespace torva::relay;
using namespace torva::relay::test;

namespace {

// How long a relay may take to go away once it has been told to (more for
// an emulated 32-bit process).
DWORD ExitAllowance() {
    return RelayIs32Bit() ? 15000 : 5000;
}

bool OneRequestWorks(RelayCalls& calls) {
    uint64_t db = 0;
    if (calls.OpenDB(db) != 0 || db == 0) return false;
    return calls.CloseDB(db) == 0;
}

std::wstring HostCommand(int requests) {
    // No backslash before the closing quote: it would escape it.
    const std::wstring folder = RelayFolder().substr(0, RelayFolder().size() - 1);
    return L"\"" + OwnFolder() + L"relay_addin_host.exe\" --relay=\"" + folder + L"\" --requests=" +
           std::to_wstring(requests);
}

// The value of the host's next "<name> <value>" line; other lines are skipped.
std::string Field(ChildProcess& child, const char* name, DWORD timeoutMs) {
    const std::string prefix = std::string(name) + " ";
    for (;;) {
        const std::string line = child.ReadLine(timeoutMs);
        if (line.empty()) return line;
        if (line.compare(0, prefix.size(), prefix) == 0) return line.substr(prefix.size());
    }
}

} // namespace

TEST(ZentripLifecycle, TypeEndEndsTheRelayWithinASecond) {
    AddinChannel channel(RelayFolder(), RelayReadyOpens());
    RelayCalls calls(channel);
    ASSERT_TRUE(OneRequestWorks(calls)) << ToString(calls.LastStatus());
    torva::UniqueHandle relay(::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                            channel.RelayProcessId()));
    ASSERT_TRUE(relay);
    const DWORD start = ::GetTickCount();
    const bool endedInTime = channel.End(1000);
    ASSERT_EQ(::WaitForSingleObject(relay.get(), ExitAllowance()), WAIT_OBJECT_0);
    std::printf("relay ended %lu ms after TYPE_END\n", ::GetTickCount() - start);
    // An emulated 32-bit process may take longer to be torn down under load;
    // the second limit holds for it, the first for a native one.
    if (!RelayIs32Bit()) {
        EXPECT_TRUE(endedInTime);
    }
    DWORD code = 1;
    ::GetExitCodeProcess(relay.get(), &code);
    EXPECT_EQ(code, 0u);
}

TEST(ZentripLifecycle, RelayKilledBetweenRequestsIsReplacedOnANewPipe) {
    AddinChannel channel(RelayFolder(), RelayReadyOpens());
    RelayCalls calls(channel);
    ASSERT_TRUE(OneRequestWorks(calls)) << ToString(calls.LastStatus());
    const std::wstring firstPipe = channel.PipeName();
    ASSERT_TRUE(::TerminateProcess(channel.RelayProcess(), 1));
    ASSERT_EQ(::WaitForSingleObject(channel.RelayProcess(), 10000), WAIT_OBJECT_0);

    EXPECT_TRUE(OneRequestWorks(calls)) << ToString(calls.LastStatus());
    EXPECT_EQ(channel.RelayStarts(), 2);
    EXPECT_NE(channel.PipeName(), firstPipe);
    EXPECT_TRUE(OneRequestWorks(calls));
    EXPECT_EQ(channel.RelayStarts(), 2);
    channel.End();
}

TEST(ZentripLifecycle, RelayKilledDuringARequestFailsItInBoundedTimeAndTheNextSucceeds) {
    AddinChannel channel(RelayFolder(), RelayReadyOpens());
    RelayCalls calls(channel);
    ASSERT_TRUE(OneRequestWorks(calls)) << ToString(calls.LastStatus());

    AddinChannel::Hooks hooks;
    hooks.afterWrite = [&] {
        ::TerminateProcess(channel.RelayProcess(), 1);
        ::WaitForSingleObject(channel.RelayProcess(), 10000);
    };
    std::vector<BYTE> reply;
    const DWORD start = ::GetTickCount();
    const ExchangeStatus status =
        channel.Exchange(MakeOpenDb(), AddinChannel::kDatabaseReplyWait, reply, hooks);
    const DWORD took = ::GetTickCount() - start;
    EXPECT_NE(status, ExchangeStatus::Ok);
    EXPECT_LT(took, 12000u) << ToString(status);

    EXPECT_TRUE(OneRequestWorks(calls)) << ToString(calls.LastStatus());
    EXPECT_EQ(channel.RelayStarts(), 2);
    channel.End();
}

TEST(ZentripLifecycle, RelayEndsWhenTheAddinProcessEnds) {
    ChildProcess host(HostCommand(2));
    ASSERT_TRUE(host.Started());
    const DWORD startWait = RelayIs32Bit() ? 300000 : 30000;
    const std::string pipe = Field(host, "pipe", startWait);
    const DWORD relayId = std::strtoul(Field(host, "relay", 5000).c_str(), nullptr, 10);
    EXPECT_EQ(Field(host, "ok", 5000), "2");
    ASSERT_NE(relayId, 0u) << "pipe " << pipe;
    torva::UniqueHandle relay(::OpenProcess(SYNCHRONIZE, FALSE, relayId));
    ASSERT_TRUE(relay);
    EXPECT_EQ(::WaitForSingleObject(relay.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

    host.Kill();
    EXPECT_EQ(::WaitForSingleObject(relay.get(), ExitAllowance()), WAIT_OBJECT_0);
}

TEST(ZentripLifecycle, TwoAddinProcessesRunTwoRelaysAtOnce) {
    ChildProcess host(HostCommand(20));
    ASSERT_TRUE(host.Started());
    AddinChannel channel(RelayFolder(), RelayReadyOpens());
    RelayCalls calls(channel);
    int ok = 0;
    for (int i = 0; i < 20; ++i)
        ok += OneRequestWorks(calls) ? 1 : 0;
    EXPECT_EQ(ok, 20);

    const DWORD startWait = RelayIs32Bit() ? 300000 : 30000;
    const std::string pipe = Field(host, "pipe", startWait);
    const DWORD relayId = std::strtoul(Field(host, "relay", 5000).c_str(), nullptr, 10);
    EXPECT_EQ(Field(host, "ok", 5000), "20");
    EXPECT_FALSE(pipe.empty());
    EXPECT_NE(std::wstring(pipe.begin(), pipe.end()), channel.PipeName());
    EXPECT_NE(relayId, channel.RelayProcessId());
    channel.End();
}

TEST(ZentripLifecycle, WithoutArgumentTheRelayExitsAtOnce) {
    ChildProcess relay(L"\"" + RelayFolder() + L"Zentrip.exe\"");
    ASSERT_TRUE(relay.Started());
    const DWORD start = ::GetTickCount();
    ASSERT_EQ(::WaitForSingleObject(relay.Process(), RelayIs32Bit() ? 300000 : 10000),
              WAIT_OBJECT_0);
    DWORD code = 1;
    ::GetExitCodeProcess(relay.Process(), &code);
    EXPECT_EQ(code, 0u);
    if (!RelayIs32Bit()) {
        EXPECT_LT(::GetTickCount() - start, 5000u);
    }
}

TEST(ZentripLifecycle, ReplyNeverFetchedIsDroppedAndTheNextRequestIsServed) {
    AddinChannel channel(RelayFolder(), RelayReadyOpens());
    RelayCalls calls(channel);
    ASSERT_TRUE(OneRequestWorks(calls)) << ToString(calls.LastStatus());
    AddinChannel::Hooks hooks;
    hooks.fetchReply = false;
    std::vector<BYTE> reply;
    ASSERT_EQ(channel.Exchange(MakeOpenDb(), AddinChannel::kDatabaseReplyWait, reply, hooks),
              ExchangeStatus::Ok);
    // The relay waits 30 s for the fetch before it closes its end.
    ::Sleep(31000);
    EXPECT_TRUE(OneRequestWorks(calls)) << ToString(calls.LastStatus());
    EXPECT_EQ(channel.RelayStarts(), 1);
    channel.End();
}

// The add-in's first exchange follows the relay's Ready at once; the relay
// must not miss its short SERVER_WriteDataFinished signal however its worker
// thread happens to be scheduled.
TEST(ZentripLifecycle, FirstRequestAfterEveryStartIsServed) {
    for (int start = 0; start < 15; ++start) {
        AddinChannel channel(RelayFolder(), RelayReadyOpens());
        RelayCalls calls(channel);
        const DWORD begin = ::GetTickCount();
        ASSERT_TRUE(OneRequestWorks(calls))
            << "start " << start << ": " << ToString(calls.LastStatus());
        EXPECT_LT(::GetTickCount() - begin, 10000u);
        EXPECT_TRUE(channel.End(1000));
    }
}

// A peer that hands its request over a byte at a time, each byte in time for
// the relay's next wait, must not hold the relay's worker for longer than
// its read budget (about 33 s): it gets the error reply, and the next
// request is served.
TEST(ZentripLifecycle, RequestTrickledInPiecesIsCutOffAndTheRelayGoesOn) {
    AddinChannel channel(RelayFolder(), RelayReadyOpens());
    RelayCalls calls(channel);
    ASSERT_TRUE(OneRequestWorks(calls)) << ToString(calls.LastStatus());
    const std::wstring answered = L"Global\\Zentrip_GetDataFinished_ind" + [&] {
        std::wstring x = channel.PipeName();
        for (wchar_t& c : x) {
            if (c == L'\\') c = L'_';
        }
        return x;
    }();

    // 2076 bytes, one every 40 ms after the header: about 83 s in all.
    const Message request = MakeKeyRequest(TYPE_TVRDB_OPENKEY, 0, 0, L"RELAYTEST\\TRICKLE");
    AddinChannel::Hooks hooks;
    hooks.writeRequest = [&](CIERelayServer& server) {
        for (size_t done = 0; done < request.size();) {
            const size_t piece = done == 0 ? 8 : 1;
            if (!server.SetSendData(request.data() + done, static_cast<DWORD>(piece)) ||
                !server.PipeWrite()) {
                return false;
            }
            done += piece;
            // Once the relay has answered, the rest would only fill the pipe.
            const torva::UniqueHandle signal(::OpenEventW(SYNCHRONIZE, FALSE, answered.c_str()));
            if (signal && ::WaitForSingleObject(signal.get(), 40) == WAIT_OBJECT_0) break;
        }
        return true;
    };
    std::vector<BYTE> reply;
    const DWORD start = ::GetTickCount();
    ASSERT_EQ(channel.Exchange(request, AddinChannel::kDatabaseReplyWait, reply, hooks),
              ExchangeStatus::Ok);
    const DWORD took = ::GetTickCount() - start;
    std::printf("trickled request answered after %lu ms\n", took);
    EXPECT_EQ(MessageType(reply), static_cast<uint32_t>(TYPE_ERROR));
    EXPECT_LT(took, 60000u);

    EXPECT_TRUE(OneRequestWorks(calls)) << ToString(calls.LastStatus());
    EXPECT_EQ(channel.RelayStarts(), 1);
    channel.End();
}
