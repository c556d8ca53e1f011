// The pipe client against a scripted service in this process: the bytes it
// sends, and every way a reply can fail to be one.
#include "FakeService.h"

#include "CDbServicePipe.h"
#include "DbServiceRecord.h"

#include <gtest/gtest.h>

#include <cstring>

namespace ostravo::test {
namespace {

// A record built by offset, independent of the structures in the code.
std::vector<uint8_t> Golden(uint32_t pid, uint32_t code, const std::wstring& folder,
                            const std::wstring& name) {
    const bool named = code == 14 || code == 16;
    std::vector<uint8_t> bytes(named ? 2068 : 20, 0);
    auto put = [&](size_t at, uint32_t value) { std::memcpy(&bytes[at], &value, 4); };
    put(0, pid);
    put(4, code);
    put(12, named ? 2052 : 4);
    for (size_t i = 0; named && i < folder.size(); ++i) {
        bytes[16 + 2 * i] = static_cast<uint8_t>(folder[i]);
        bytes[17 + 2 * i] = static_cast<uint8_t>(folder[i] >> 8);
    }
    for (size_t i = 0; named && i < name.size(); ++i) {
        bytes[1040 + 2 * i] = static_cast<uint8_t>(name[i]);
        bytes[1041 + 2 * i] = static_cast<uint8_t>(name[i] >> 8);
    }
    return bytes;
}

class PipeClient : public ::testing::Test {
protected:
    PipeClient() {
        m_settings.SetPipeName(m_pipe);
        m_settings.SetRetry(50, 100);
    }
    // The reply of the real service: the request with status and state.
    static FakeService::Responder Reply(uint32_t status, uint32_t state) {
        return [=](HANDLE pipe, const std::vector<uint8_t>& request) {
            FakeService::WriteBytes(pipe, FakeService::Answer(request, status, state));
        };
    }
    static FakeService::Responder
    Bytes(std::function<std::vector<uint8_t>(std::vector<uint8_t>)> f) {
        return [=](HANDLE pipe, const std::vector<uint8_t>& request) {
            FakeService::WriteBytes(pipe, f(request));
        };
    }

    std::wstring m_pipe = UniquePipe();
    COstravoSettings m_settings;
};

TEST_F(PipeClient, RequestsOfAllFourKindsHaveTheirExactBytes) {
    const std::wstring folder = L"C:\\TORVA\\Storage";
    const uint32_t pid = ::GetCurrentProcessId();
    FakeService service(m_pipe, Reply(0, 0), false, 4);
    CDbServicePipe client(m_settings);
    DWORD state = 99;
    EXPECT_EQ(client.CheckUserDb(state), 0u);
    EXPECT_EQ(client.CheckDb(state, folder, L"TORVA_SYSTEMDEFINED"), 0u);
    EXPECT_EQ(client.InitUserDb(), 0u);
    EXPECT_EQ(client.InitDb(folder, L"TORVA_GINA"), 0u);
    const auto requests = service.Requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[0], Golden(pid, 13, L"", L""));
    EXPECT_EQ(requests[1], Golden(pid, 14, folder, L"TORVA_SYSTEMDEFINED"));
    EXPECT_EQ(requests[2], Golden(pid, 15, L"", L""));
    EXPECT_EQ(requests[3], Golden(pid, 16, folder, L"TORVA_GINA"));
}

TEST_F(PipeClient, StatusAndStateComeFromTheReply) {
    {
        FakeService service(m_pipe, Reply(0, 26));
        DWORD state = 0;
        EXPECT_EQ(CDbServicePipe(m_settings).CheckUserDb(state), 0u);
        EXPECT_EQ(state, 26u);
    }
    {
        FakeService service(m_pipe, Reply(0, 0));
        DWORD state = 1;
        EXPECT_EQ(CDbServicePipe(m_settings).CheckDb(state, L"C:\\x", L"TORVA_ADMIN"), 0u);
        EXPECT_EQ(state, 0u);
    }
    // A failure reply with state 0 still shows the database as damaged.
    {
        FakeService service(m_pipe, Reply(4, 0));
        DWORD state = 0;
        EXPECT_EQ(CDbServicePipe(m_settings).CheckUserDb(state), 4u);
        EXPECT_EQ(state, 3u);
    }
    {
        FakeService service(m_pipe, Reply(1, 0));
        DWORD state = 0;
        EXPECT_EQ(CDbServicePipe(m_settings).CheckDb(state, L"C:\\x", L"TORVA_ADMIN"), 1u);
        EXPECT_EQ(state, 3u);
    }
}

// The request's own state field is 0, the intact state: nothing of it may
// pass for an answer.
TEST_F(PipeClient, ShortMissingOrMismatchedRepliesAreNoAnswer) {
    m_settings.SetRetry(5, 100); // a missing reply is given up on after 500 ms
    struct Case {
        const char* what;
        FakeService::Responder responder;
    } cases[] = {
        {"closed without reply", [](HANDLE, const std::vector<uint8_t>&) {}},
        {"short reply", Bytes([](std::vector<uint8_t> r) {
             r = FakeService::Answer(r, 0, 0);
             r.resize(12);
             return r;
         })},
        {"other code", Bytes([](std::vector<uint8_t> r) {
             r = FakeService::Answer(r, 0, 0);
             r[4] = 15;
             return r;
         })},
        {"other size", Bytes([](std::vector<uint8_t> r) {
             r = FakeService::Answer(r, 0, 0);
             r[12] = 8;
             return r;
         })},
    };
    for (const auto& c : cases) {
        FakeService service(m_pipe, c.responder);
        DWORD state = 0;
        const DWORD start = ::GetTickCount();
        EXPECT_EQ(CDbServicePipe(m_settings).CheckUserDb(state), 3u) << c.what;
        EXPECT_EQ(state, 3u) << c.what;
        EXPECT_LT(::GetTickCount() - start, 3000u) << c.what;
    }
    // Closed by the service right after the request.
    {
        auto service = std::make_unique<FakeService>(
            m_pipe, [](HANDLE pipe, const std::vector<uint8_t>&) { ::DisconnectNamedPipe(pipe); });
        DWORD state = 0;
        EXPECT_EQ(CDbServicePipe(m_settings).CheckDb(state, L"C:\\x", L"TORVA_ADMIN"), 3u);
        EXPECT_EQ(state, 3u);
    }
}

TEST_F(PipeClient, LateReplyIsNoAnswerUnlessTheRetriesAllowForIt) {
    auto late = [](HANDLE pipe, const std::vector<uint8_t>& request) {
        ::Sleep(800);
        FakeService::WriteBytes(pipe, FakeService::Answer(request, 0, 0));
    };
    {
        FakeService service(m_pipe, late);
        m_settings.SetRetry(3, 100); // 300 ms
        DWORD state = 0;
        const DWORD start = ::GetTickCount();
        EXPECT_EQ(CDbServicePipe(m_settings).CheckUserDb(state), 3u);
        EXPECT_EQ(state, 3u);
        EXPECT_LT(::GetTickCount() - start, 2000u);
    }
    {
        FakeService service(m_pipe, late);
        m_settings.SetRetry(20, 100); // 2000 ms
        DWORD state = 7;
        EXPECT_EQ(CDbServicePipe(m_settings).CheckUserDb(state), 0u);
        EXPECT_EQ(state, 0u);
    }
}

TEST_F(PipeClient, NoPipeIsNoAnswerAtOnce) {
    DWORD state = 0;
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(CDbServicePipe(m_settings).CheckUserDb(state), 3u);
    EXPECT_EQ(state, 3u);
    EXPECT_EQ(CDbServicePipe(m_settings).InitDb(L"C:\\x", L"TORVA_ADMIN"), 3u);
    EXPECT_LT(::GetTickCount() - start, 1000u);
}

class NoEventPipe : public CDbServicePipe {
public:
    using CDbServicePipe::CDbServicePipe;

protected:
    torva::UniqueHandle CreateReadEvent() const override { return torva::UniqueHandle(); }
};

TEST_F(PipeClient, EventThatCannotBeMadeIsNoAnswer) {
    FakeService service(m_pipe, Reply(0, 0));
    DWORD state = 0;
    EXPECT_EQ(NoEventPipe(m_settings).CheckUserDb(state), 3u);
    EXPECT_EQ(state, 3u);
    EXPECT_EQ(NoEventPipe(m_settings).InitUserDb(), 3u);
    EXPECT_TRUE(service.Requests().empty());
}

TEST_F(PipeClient, MessageLongerThanTheRecordFailsTheRead) {
    FakeService service(
        m_pipe,
        [](HANDLE pipe, const std::vector<uint8_t>& request) {
            auto reply = FakeService::Answer(request, 0, 0);
            reply.resize(40, 0);
            FakeService::WriteBytes(pipe, reply);
        },
        true);
    CDbServicePipe client(m_settings);
    torva::UniqueFile pipe = client.Open();
    ASSERT_TRUE(pipe);
    DWORD mode = PIPE_READMODE_MESSAGE;
    ASSERT_TRUE(::SetNamedPipeHandleState(pipe.get(), &mode, nullptr, nullptr));
    auto request = Golden(1, 13, L"", L"");
    DWORD written = 0;
    ASSERT_TRUE(client.Write(pipe.get(), request.data(), 20, written));
    EXPECT_EQ(written, 20u);
    std::vector<BYTE> reply(20, 0);
    torva::UniqueHandle event(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    OVERLAPPED overlapped{};
    overlapped.hEvent = event.get();
    DWORD read = 0;
    EXPECT_FALSE(client.Read(pipe.get(), reply.data(), 20, read, overlapped));
}

// The system may write into a pending read's buffer until it is through
// with it: a read given up on must be over when Read returns.
TEST_F(PipeClient, ReadGivenUpOnIsOverBeforeReadReturns) {
    FakeService service(m_pipe, [](HANDLE, const std::vector<uint8_t>&) {});
    m_settings.SetRetry(2, 50);
    CDbServicePipe client(m_settings);
    torva::UniqueFile pipe = client.Open();
    ASSERT_TRUE(pipe);
    auto request = Golden(1, 13, L"", L"");
    DWORD written = 0;
    ASSERT_TRUE(client.Write(pipe.get(), request.data(), 20, written));
    std::vector<BYTE> reply(20, 0);
    torva::UniqueHandle event(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
    OVERLAPPED overlapped{};
    overlapped.hEvent = event.get();
    DWORD read = 0;
    EXPECT_FALSE(client.Read(pipe.get(), reply.data(), 20, read, overlapped));
    EXPECT_TRUE(HasOverlappedIoCompleted(&overlapped));
    EXPECT_NE(overlapped.Internal, static_cast<ULONG_PTR>(STATUS_PENDING));
}

// A reader that takes nothing in: the write gives up after its bounded wait
// instead of hanging the tool.
TEST_F(PipeClient, WriteToAPipeNobodyReadsEndsInTime) {
    const std::wstring path = L"\\\\.\\pipe\\" + m_pipe;
    torva::UniqueFile server(::CreateNamedPipeW(path.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 1,
                                                16, 16, 0, nullptr));
    ASSERT_TRUE(server);
    CDbServicePipe client(m_settings);
    torva::UniqueFile pipe = client.Open();
    ASSERT_TRUE(pipe);
    std::vector<BYTE> bytes(1 << 20, 0x5A);
    DWORD written = 0;
    const DWORD start = ::GetTickCount();
    EXPECT_FALSE(client.Write(pipe.get(), bytes.data(), static_cast<DWORD>(bytes.size()), written));
    EXPECT_LT(written, bytes.size());
    EXPECT_LT(::GetTickCount() - start, CDbServicePipe::kWriteTimeoutMs + 2000);
}

TEST_F(PipeClient, PipeIsClosedAfterEveryExchange) {
    m_settings.SetRetry(5, 100); // a missing reply is given up on after 500 ms
    struct Case {
        const char* what;
        FakeService::Responder responder;
    } cases[] = {
        {"reply", Reply(0, 0)},
        {"mismatched reply", Bytes([](std::vector<uint8_t> r) {
             r = FakeService::Answer(r, 0, 0);
             r[4] = 99;
             return r;
         })},
        {"no reply", [](HANDLE, const std::vector<uint8_t>&) {}},
    };
    for (const auto& c : cases) {
        {
            FakeService service(m_pipe, c.responder);
            DWORD state = 0;
            (void)CDbServicePipe(m_settings).CheckUserDb(state);
            // The service sees the client's end close, not its own time-out.
            const DWORD start = ::GetTickCount();
            while (!service.ClientClosed() && ::GetTickCount() - start < 3000)
                ::Sleep(10);
            EXPECT_TRUE(service.ClientClosed()) << c.what;
        }
    }
}

TEST_F(PipeClient, FolderThatDoesNotFitItsFieldIsNotSent) {
    FakeService service(m_pipe, Reply(0, 0));
    DWORD state = 0;
    EXPECT_EQ(CDbServicePipe(m_settings)
                  .CheckDb(state, L"C:\\" + std::wstring(600, L'a'), L"TORVA_ADMIN"),
              3u);
    EXPECT_EQ(state, 3u);
    EXPECT_TRUE(service.Requests().empty());
}

} // namespace
} // namespace ostravo::test
