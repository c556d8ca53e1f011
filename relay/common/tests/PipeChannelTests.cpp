// The two pipe ends of one process talking to each other, and the client end
// against a raw server pipe that the test writes arbitrary bytes into.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cwctype>
#include <string>
#include <thread>
#include <vector>

#include "CIERelayClient.h"
#include "CIERelayServer.h"
#include "RelayLock.h"
#include "RelayRecords.h"
#include "TestNames.h"

using torva::UniqueFile;
using torva::relay::kMaxMessageSize;
using torva::relay::RelayLock;
using torva::relay::RelayTimings;
using torva::relay::Store32;

namespace {

std::vector<BYTE> Message(uint32_t size, uint32_t type) {
    std::vector<BYTE> message(size < 8 ? 8 : size);
    Store32(message.data(), 0, size);
    Store32(message.data(), 4, type);
    for (size_t i = 8; i < message.size(); ++i)
        message[i] = static_cast<BYTE>(i * 7);
    return message;
}

RelayTimings QuickTimings() {
    RelayTimings timings;
    timings.lockWait = 200;
    timings.firstReadWait = 50;
    timings.ioPollWait = 20;
    timings.ioPolls = 3;
    timings.connectWaits = 5;
    timings.openTries = 5;
    return timings;
}

// A connected server/client pair.
class PipePair : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.CreatePipe());
        client = std::make_unique<CIERelayClient>(server.GetPipeName());
        ASSERT_TRUE(client->OpenPipe());
        ASSERT_TRUE(server.ConnectPipe());
    }
    CIERelayServer server;
    std::unique_ptr<CIERelayClient> client;
};

// A synchronous raw server pipe and a client end opened on it.
class RawServer : public ::testing::Test {
protected:
    void SetUp() override {
        name = L"\\\\.\\pipe\\RelayRawTest" + UniqueTestName(L"") + L"@1";
        raw.reset(::CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT,
                                     1, 8192, 8192, 0, nullptr));
        ASSERT_TRUE(raw);
        client = std::make_unique<CIERelayClient>(name);
        client->SetTimings(QuickTimings());
        ASSERT_TRUE(client->OpenPipe());
        ::ConnectNamedPipe(raw.get(), nullptr); // already connected
    }
    void WriteRaw(const std::vector<BYTE>& bytes) {
        DWORD written = 0;
        ASSERT_TRUE(::WriteFile(raw.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                                nullptr));
        ASSERT_EQ(written, bytes.size());
    }
    std::wstring name;
    UniqueFile raw;
    std::unique_ptr<CIERelayClient> client;
};

// Writes `message` to the raw server in pieces of `piece` bytes, `pause` ms
// apart, on a thread of its own, until it is all written or Stop() is called.
class PieceWriter {
public:
    PieceWriter(HANDLE pipe, std::vector<BYTE> message, size_t headWhole, size_t piece, DWORD pause)
        : m_thread([this, pipe, message = std::move(message), headWhole, piece, pause] {
              size_t done = 0;
              while (done < message.size() && !m_stop) {
                  const size_t count =
                      done == 0 && headWhole ? headWhole : std::min(piece, message.size() - done);
                  DWORD written = 0;
                  if (!::WriteFile(pipe, message.data() + done, static_cast<DWORD>(count), &written,
                                   nullptr)) {
                      return;
                  }
                  done += written;
                  if (done < message.size()) ::Sleep(pause);
              }
          }) {}
    ~PieceWriter() { Stop(); }
    void Stop() {
        m_stop = true;
        if (m_thread.joinable()) m_thread.join();
    }

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace

TEST(PipeName, CarriesTickCountAndOwnProcessId) {
    CIERelayServer server;
    ASSERT_TRUE(server.CreatePipe());
    const std::wstring name = server.GetPipeName();
    const std::wstring stem = L"\\\\.\\pipe\\IERelayPipe";
    ASSERT_EQ(name.compare(0, stem.size(), stem), 0) << std::string(name.begin(), name.end());
    const size_t at = name.rfind(L'@');
    ASSERT_NE(at, std::wstring::npos);
    for (size_t i = stem.size(); i < at; ++i) {
        EXPECT_TRUE(std::iswdigit(name[i]) || (i == stem.size() && name[i] == L'-'));
    }
    EXPECT_EQ(CIERelayClient(name).GetServerPid(), ::GetCurrentProcessId());
}

TEST(PipeName, TwoServersMadeAtOnceGetTwoPipes) {
    CIERelayServer first, second;
    ASSERT_TRUE(first.CreatePipe());
    ASSERT_TRUE(second.CreatePipe());
    EXPECT_NE(first.GetPipeName(), second.GetPipeName());
}

TEST(PipeName, ServerPidIsTheNumberAfterTheLastAt) {
    EXPECT_EQ(CIERelayClient(L"\\\\.\\pipe\\IERelayPipe77@123").GetServerPid(), 123u);
    EXPECT_EQ(CIERelayClient(L"\\\\.\\pipe\\a@1@4567").GetServerPid(), 4567u);
    EXPECT_EQ(CIERelayClient(L"\\\\.\\pipe\\IERelayPipe77").GetServerPid(), 0u);
    EXPECT_EQ(CIERelayClient(L"\\\\.\\pipe\\x@").GetServerPid(), 0u);
    EXPECT_EQ(CIERelayClient(L"\\\\.\\pipe\\x@12ab").GetServerPid(), 0u);
    EXPECT_EQ(CIERelayClient(L"\\\\.\\pipe\\x@99999999999").GetServerPid(), 0u);
}

TEST_F(PipePair, MessageRoundTripsBothWaysWithTwoZeroBytesAfterIt) {
    const std::vector<BYTE> request = Message(2088, 11);
    ASSERT_TRUE(server.SetSendData(request.data(), static_cast<DWORD>(request.size())));
    ASSERT_TRUE(server.PipeWrite());
    ASSERT_TRUE(client->PipeRead());
    ASSERT_EQ(client->GetRecvSize(), request.size());
    EXPECT_EQ(std::vector<BYTE>(client->GetRecvData(), client->GetRecvData() + request.size()),
              request);
    EXPECT_EQ(client->GetRecvData()[request.size()], 0);
    EXPECT_EQ(client->GetRecvData()[request.size() + 1], 0);

    const std::vector<BYTE> reply = Message(34, 16);
    ASSERT_TRUE(client->SetSendData(reply.data(), static_cast<DWORD>(reply.size())));
    ASSERT_TRUE(client->PipeWrite());
    ASSERT_TRUE(server.PipeRead());
    EXPECT_EQ(std::vector<BYTE>(server.GetRecvData(), server.GetRecvData() + server.GetRecvSize()),
              reply);
}

TEST_F(PipePair, EightByteMessageIsReadWithTheHeaderAlone) {
    const std::vector<BYTE> end = Message(8, TYPE_END);
    ASSERT_TRUE(server.SetSendData(end.data(), 8));
    ASSERT_TRUE(server.PipeWrite());
    ASSERT_TRUE(client->PipeRead());
    ASSERT_EQ(client->GetRecvSize(), 8u);
    EXPECT_EQ(torva::relay::Load32(client->GetRecvData(), 4), static_cast<uint32_t>(TYPE_END));
    EXPECT_EQ(client->GetRecvData()[8], 0);
    EXPECT_EQ(client->GetRecvData()[9], 0);
}

TEST_F(PipePair, NextClientConnectsAfterDisconnect) {
    client->ClosePipe();
    server.DisconnectPipe();
    std::thread opener([&] { EXPECT_TRUE(client->OpenPipe()); });
    EXPECT_TRUE(server.ConnectPipe());
    opener.join();
    const std::vector<BYTE> request = Message(20, 4);
    ASSERT_TRUE(server.SetSendData(request.data(), 20));
    ASSERT_TRUE(server.PipeWrite());
    ASSERT_TRUE(client->PipeRead());
    EXPECT_EQ(client->GetRecvSize(), 20u);
}

TEST_F(PipePair, WriteWithoutSendDataFails) {
    EXPECT_FALSE(server.PipeWrite());
}

TEST_F(PipePair, SetSendDataThatCannotTakeTheLockLeavesNothingToSend) {
    const std::vector<BYTE> first = Message(20, 4);
    ASSERT_TRUE(server.SetSendData(first.data(), 20));
    server.SetTimings(QuickTimings());
    wchar_t lockName[64];
    std::swprintf(lockName, 64, L"IERelayCommon_%lu", ::GetCurrentProcessId());
    RelayLock held = RelayLock::Take(lockName, 1000);
    ASSERT_TRUE(held.IsHeld());
    const std::vector<BYTE> second = Message(28, 8);
    EXPECT_FALSE(server.SetSendData(second.data(), 28));
    held.Release();
    EXPECT_EQ(server.GetSendSize(), 0u);
    EXPECT_EQ(server.GetSendData(), nullptr);
    EXPECT_FALSE(server.PipeWrite()); // never the stale first message
}

TEST_F(PipePair, WriteToAClosedPeerReportsFailure) {
    client->ClosePipe();
    const std::vector<BYTE> request = Message(2088, 11);
    ASSERT_TRUE(server.SetSendData(request.data(), 2088));
    EXPECT_FALSE(server.PipeWrite());
}

TEST(PipeConnect, TimesOutWithoutAClient) {
    CIERelayServer server;
    server.SetTimings(QuickTimings());
    ASSERT_TRUE(server.CreatePipe());
    const DWORD start = ::GetTickCount();
    EXPECT_FALSE(server.ConnectPipe());
    EXPECT_LT(::GetTickCount() - start, 2000u);
    // The cancelled connect left the instance usable.
    CIERelayClient client(server.GetPipeName());
    std::thread opener([&] { EXPECT_TRUE(client.OpenPipe()); });
    server.SetTimings(RelayTimings());
    EXPECT_TRUE(server.ConnectPipe());
    opener.join();
}

TEST(PipeConnect, ClientThatOpenedAndLeftIsNotAConnection) {
    CIERelayServer server;
    server.SetTimings(QuickTimings());
    ASSERT_TRUE(server.CreatePipe());
    {
        CIERelayClient client(server.GetPipeName());
        ASSERT_TRUE(client.OpenPipe());
    }
    EXPECT_FALSE(server.ConnectPipe());
}

TEST(PipeOpen, GivesUpWithoutAServer) {
    CIERelayClient client(L"\\\\.\\pipe\\RelayNoSuchPipe" + UniqueTestName(L""));
    client.SetTimings(QuickTimings());
    const DWORD start = ::GetTickCount();
    EXPECT_FALSE(client.OpenPipe());
    EXPECT_FALSE(client.IsPipeOpen());
    EXPECT_LT(::GetTickCount() - start, 2000u);
}

TEST_F(RawServer, MessageLargerThanThePipeBufferArrivesWhole) {
    const std::vector<BYTE> big = Message(1u << 20, 12);
    std::thread writer([&] { WriteRaw(big); });
    client->SetTimings(RelayTimings());
    ASSERT_TRUE(client->PipeRead());
    writer.join();
    ASSERT_EQ(client->GetRecvSize(), big.size());
    EXPECT_EQ(std::vector<BYTE>(client->GetRecvData(), client->GetRecvData() + big.size()), big);
}

TEST_F(RawServer, HeaderSizesBelowEightOrAboveTheCapAreRefused) {
    for (uint32_t size : {0u, 4u, 7u, kMaxMessageSize + 1, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        std::vector<BYTE> header(8);
        Store32(header.data(), 0, size);
        Store32(header.data(), 4, 11);
        WriteRaw(header);
        EXPECT_FALSE(client->PipeRead()) << size;
        EXPECT_EQ(client->GetRecvSize(), 0u);
        EXPECT_EQ(client->GetRecvData(), nullptr);
    }
}

TEST_F(RawServer, ShortMessageIsAFailureNotZeros) {
    const std::vector<BYTE> whole = Message(100, 12);
    WriteRaw(std::vector<BYTE>(whole.begin(), whole.begin() + 50));
    // The rest never comes: the read times out instead of filling zeros.
    EXPECT_FALSE(client->PipeRead());
    EXPECT_EQ(client->GetRecvSize(), 0u);
}

TEST_F(RawServer, StalledReadIsCancelledAndLaterBytesGoToTheNextRead) {
    const DWORD start = ::GetTickCount();
    EXPECT_FALSE(client->PipeRead());
    EXPECT_LT(::GetTickCount() - start, 3000u);
    const std::vector<BYTE> message = Message(300, 6);
    WriteRaw(message);
    ASSERT_TRUE(client->PipeRead());
    ASSERT_EQ(client->GetRecvSize(), 300u);
    EXPECT_EQ(std::vector<BYTE>(client->GetRecvData(), client->GetRecvData() + 300), message);
}

TEST_F(RawServer, FailedReadDropsThePreviousMessage) {
    WriteRaw(Message(20, 4));
    ASSERT_TRUE(client->PipeRead());
    ASSERT_EQ(client->GetRecvSize(), 20u);
    WriteRaw(Message(3, 4));
    EXPECT_FALSE(client->PipeRead());
    EXPECT_EQ(client->GetRecvSize(), 0u);
    EXPECT_EQ(client->GetRecvData(), nullptr);
}

// A peer that trickles its message must not hold the reader for longer than
// the read budget, whatever the number of pieces: each piece that arrives in
// time used to start the budget again.
TEST_F(RawServer, MessageTrickledInSmallPiecesIsGivenUpOnWithinTheBudget) {
    // QuickTimings: 50 ms first wait and 3 polls of 20 ms, 110 ms per read.
    // The body comes one byte every 15 ms, always in time for the next wait,
    // and would take about 4.5 s in all.
    const std::vector<BYTE> message = Message(308, 12);
    PieceWriter writer(raw.get(), message, 8, 1, 15);
    const DWORD start = ::GetTickCount();
    EXPECT_FALSE(client->PipeRead());
    const DWORD took = ::GetTickCount() - start;
    writer.Stop();
    EXPECT_LT(took, 1500u);
    EXPECT_EQ(client->GetRecvSize(), 0u);
    EXPECT_EQ(client->GetRecvData(), nullptr);
}

TEST_F(RawServer, HeaderTrickledInSmallPiecesIsGivenUpOnWithinTheBudget) {
    // One byte every 30 ms: the 8 header bytes take 210 ms, the budget is 110.
    const std::vector<BYTE> message = Message(20, 4);
    PieceWriter writer(raw.get(), message, 0, 1, 30);
    const DWORD start = ::GetTickCount();
    EXPECT_FALSE(client->PipeRead());
    const DWORD took = ::GetTickCount() - start;
    writer.Stop();
    EXPECT_LT(took, 1000u);
    EXPECT_EQ(client->GetRecvSize(), 0u);
}

TEST_F(RawServer, MessageInPiecesWithinTheBudgetArrivesWhole) {
    // Ten pieces, 5 ms apart: well inside one budget.
    const std::vector<BYTE> message = Message(300, 6);
    PieceWriter writer(raw.get(), message, 8, 30, 5);
    ASSERT_TRUE(client->PipeRead());
    writer.Stop();
    ASSERT_EQ(client->GetRecvSize(), 300u);
    EXPECT_EQ(std::vector<BYTE>(client->GetRecvData(), client->GetRecvData() + 300), message);
}
