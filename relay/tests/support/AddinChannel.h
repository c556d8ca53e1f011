// The add-in's side of the relay channel as tests, the benchmark and the demo
// drive it: starts the relay, performs whole exchanges under the request lock
// and ends the relay, step by step as the browser add-in does.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "CIERelayEvent.h"
#include "CIERelayServer.h"
#include "Win32Handles.h"

namespace torva::relay::test {

enum class ExchangeStatus {
    Ok,
    LockFailed,    // the request lock was not had in time
    RelayFailed,   // no relay could be started
    SendFailed,    // the request could not be put in the send buffer
    ConnectFailed, // the relay did not open the pipe
    WriteFailed,
    NoReplySignal, // the relay did not signal its reply in time
    ReadFailed,    // no whole reply arrived
};

const char* ToString(ExchangeStatus status);

class AddinChannel {
public:
    static constexpr DWORD kDatabaseReplyWait = 30000;

    // `relayFolder` holds Zentrip.exe and ends in a backslash. readyOpens is
    // how many failed opens of the Ready event the start tolerates: 52 as in
    // the add-in; more where starting a 32-bit process is slow.
    explicit AddinChannel(std::wstring relayFolder, int readyOpens = 52);
    ~AddinChannel();
    AddinChannel(const AddinChannel&) = delete;
    AddinChannel& operator=(const AddinChannel&) = delete;

    // Makes sure a relay serves this channel: resets the two server events of
    // a running one, or starts a new one (new pipe, events, process) and waits
    // for its Ready.
    [[nodiscard]] bool EnsureRelay();
    // Test hooks of one exchange: afterWrite runs once the request is written
    // and before the wait for the reply's signal; without fetchReply the
    // exchange ends after that signal, as if the add-in had gone away.
    // stepDone, when given, is called with the number of each add-in step
    // (1 to 12) as it ends, for timing.
    // writeRequest, when given, replaces the write of the request (step 7)
    // and tells whether it was written.
    struct Hooks {
        std::function<bool(CIERelayServer&)> writeRequest;
        std::function<void()> afterWrite;
        bool fetchReply = true;
        std::function<void(int)> stepDone;
    };
    // One whole exchange. replyWait bounds the wait for the relay's signal
    // (INFINITE for crypto and authentication).
    [[nodiscard]] ExchangeStatus Exchange(const std::vector<BYTE>& request, DWORD replyWait,
                                          std::vector<BYTE>& reply, const Hooks& hooks);
    [[nodiscard]] ExchangeStatus Exchange(const std::vector<BYTE>& request, DWORD replyWait,
                                          std::vector<BYTE>& reply) {
        return Exchange(request, replyWait, reply, Hooks());
    }
    // Sends TYPE_END without the request lock, waits up to endWait ms for the
    // relay to end and drops the channel. True when the relay ended.
    bool End(DWORD endWait = 1000);

    bool HasRelay() const noexcept { return m_server != nullptr; }
    HANDLE RelayProcess() const noexcept { return m_server ? m_server->RelayProcess() : nullptr; }
    DWORD RelayProcessId() const noexcept { return m_server ? m_server->RelayProcessId() : 0; }
    std::wstring PipeName() const { return m_server ? m_server->GetPipeName() : std::wstring(); }
    int RelayStarts() const noexcept { return m_starts; }

private:
    [[nodiscard]] bool StartRelay();

    std::wstring m_folder;
    int m_readyOpens;
    std::wstring m_requestLockName;
    UniqueHandle m_requestLock;
    std::unique_ptr<CIERelayServer> m_server;
    std::unique_ptr<CIERelayEvent> m_events;
    int m_starts = 0;
};

} // namespace torva::relay::test
