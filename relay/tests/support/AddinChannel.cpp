#include "AddinChannel.h"

#include <cstdio>

#include "EventWait.h"
#include "RelayLock.h"
#include "RequestBuilder.h"

namespace torva::relay::test {

const char* ToString(ExchangeStatus status) {
    switch (status) {
    case ExchangeStatus::Ok:
        return "Ok";
    case ExchangeStatus::LockFailed:
        return "LockFailed";
    case ExchangeStatus::RelayFailed:
        return "RelayFailed";
    case ExchangeStatus::SendFailed:
        return "SendFailed";
    case ExchangeStatus::ConnectFailed:
        return "ConnectFailed";
    case ExchangeStatus::WriteFailed:
        return "WriteFailed";
    case ExchangeStatus::NoReplySignal:
        return "NoReplySignal";
    case ExchangeStatus::ReadFailed:
        return "ReadFailed";
    }
    return "?";
}

AddinChannel::AddinChannel(std::wstring relayFolder, int readyOpens)
    : m_folder(std::move(relayFolder)), m_readyOpens(readyOpens) {
    wchar_t name[64];
    std::swprintf(name, 64, L"Global\\MutexIERelay_%lu", ::GetCurrentProcessId());
    m_requestLockName = name;
    m_requestLock = RelayLock::Create(m_requestLockName);
}

AddinChannel::~AddinChannel() {
    if (m_server && m_server->IsRelayAlive()) End();
}

bool AddinChannel::StartRelay() {
    m_server.reset();
    auto server = std::make_unique<CIERelayServer>();
    if (!server->CreatePipe()) return false;
    auto events = std::make_unique<CIERelayEvent>();
    if (!events->CreateServerEvents(server->GetPipeName())) return false;
    if (!server->StartRelayProcess(m_folder)) return false;
    ++m_starts;
    m_server = std::move(server);
    m_events = std::move(events);
    EventWaitOptions options;
    options.maxFailedOpens = m_readyOpens;
    return WaitNamedEvent(m_events->ReadyName().c_str(), INFINITE, nullptr, options) != FALSE;
}

bool AddinChannel::EnsureRelay() {
    if (m_server && m_server->IsRelayAlive() && m_events) {
        ::ResetEvent(m_events->WriteDataFinished());
        ::ResetEvent(m_events->ReadDataReady());
        return true;
    }
    return StartRelay();
}

ExchangeStatus AddinChannel::Exchange(const std::vector<BYTE>& request, DWORD replyWait,
                                      std::vector<BYTE>& reply, const Hooks& hooks) {
    const auto step = [&](int number) {
        if (hooks.stepDone) hooks.stepDone(number);
    };
    reply.clear();
    // Through the handle that keeps the lock alive, as the add-in's own
    // relay state could: opening it by name for every exchange adds two
    // round trips to the system for nothing.
    const RelayLock lock = RelayLock::TakeOpen(m_requestLock.get(), 30000);
    if (!lock.IsHeld()) return ExchangeStatus::LockFailed;
    step(1);
    if (!EnsureRelay()) return ExchangeStatus::RelayFailed;
    step(2);
    CIERelayServer& server = *m_server;
    if (!server.SetSendData(request.data(), static_cast<DWORD>(request.size()))) {
        return ExchangeStatus::SendFailed;
    }
    step(3);
    ::SetEvent(m_events->WriteDataFinished());
    step(4);
    if (!server.ConnectPipe()) {
        ::ResetEvent(m_events->WriteDataFinished());
        return ExchangeStatus::ConnectFailed;
    }
    step(5);
    ::ResetEvent(m_events->WriteDataFinished());
    step(6);
    const bool written =
        hooks.writeRequest ? hooks.writeRequest(server) : server.PipeWrite() != FALSE;
    if (!written) {
        server.DisconnectPipe();
        return ExchangeStatus::WriteFailed;
    }
    step(7);
    if (hooks.afterWrite) hooks.afterWrite();
    // The relay's signal is closed only once it has been answered.
    UniqueHandle seen;
    if (!IERelay_Common::WaitEvent(m_events->GetDataFinishedName().c_str(), replyWait, nullptr,
                                   &seen)) {
        server.DisconnectPipe();
        return ExchangeStatus::NoReplySignal;
    }
    step(8);
    if (!hooks.fetchReply) {
        server.DisconnectPipe();
        return ExchangeStatus::Ok;
    }
    ::SetEvent(m_events->ReadDataReady());
    seen.reset();
    step(9);
    const bool read = server.PipeRead() != FALSE;
    if (read) reply.assign(server.GetRecvData(), server.GetRecvData() + server.GetRecvSize());
    step(10);
    ::ResetEvent(m_events->ReadDataReady());
    server.DisconnectPipe();
    step(12);
    return read ? ExchangeStatus::Ok : ExchangeStatus::ReadFailed;
}

bool AddinChannel::End(DWORD endWait) {
    if (!m_server || !m_events) return false;
    bool ended = false;
    if (m_server->IsRelayAlive()) {
        const Message end = MakeEnd();
        if (m_server->SetSendData(end.data(), static_cast<DWORD>(end.size()))) {
            ::SetEvent(m_events->WriteDataFinished());
            if (m_server->ConnectPipe()) (void)m_server->PipeWrite();
            ::ResetEvent(m_events->WriteDataFinished());
        }
        ended = ::WaitForSingleObject(m_server->RelayProcess(), endWait) == WAIT_OBJECT_0;
    }
    m_server.reset();
    m_events.reset();
    return ended;
}

} // namespace torva::relay::test
