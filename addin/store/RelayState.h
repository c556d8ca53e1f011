// The relay state that every CExpData of one browser process shares: the
// named request and URL-list locks, the relay's server and event objects and
// the count of living stores.
//
// Threads: starting, restarting and ending the relay happen only while the
// request lock is held, so they never overlap an exchange. A thread that
// already holds the lock (an exchange re-entered through the message pump)
// is refused at once instead of waiting for itself. The last store's end of
// the relay is deferred while an exchange is in progress further up the same
// thread's stack, and done when that exchange lets go of the lock.
#pragma once

#include "CIERelayEvent.h"
#include "CIERelayServer.h"
#include "Win32Handles.h"

#include <windows.h>

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class RelayState {
public:
    static RelayState& Instance();

    // The first counted store creates the locks; returns true for it.
    bool AddStore();
    // Returns true when this was the last counted store.
    bool RemoveStore() noexcept;
    int Stores() const noexcept { return m_stores.load(); }

    // The request lock, held by this thread on success.
    [[nodiscard]] HANDLE TakeRequestLock(DWORD timeoutMs);
    void ReleaseRequestLock(HANDLE& lock) noexcept;
    bool ThisThreadHoldsLock() const noexcept;

    // A relay serves the process after a true result (see CExpData::ExecIERelay).
    [[nodiscard]] BOOL EnsureRelay(int renew);
    // One exchange under the lock the caller holds. False when no whole
    // reply came; replyWait bounds the wait for the relay's signal.
    [[nodiscard]] bool Exchange(const std::vector<BYTE>& request, DWORD replyWait,
                                std::vector<BYTE>& reply);
    // Sends TYPE_END, waits up to 1000 ms for the relay and drops the channel
    // and the request lock; deferred when this thread is inside an exchange.
    void EndRelay() noexcept;

    // Where Zentrip.exe is started from; empty = the install folder.
    void SetRelayFolder(std::wstring folder);
    // How many failed opens of the relay's Ready event a start tolerates
    // (52, about 5 s); more where 32-bit processes start slowly.
    void SetReadyOpens(int opens) noexcept { m_readyOpens = opens; }
    // How long the last store's end waits for another thread's request
    // (30000 ms, as every other wait for the lock).
    void SetEndLockWait(DWORD timeoutMs) noexcept { m_endLockWait = timeoutMs; }

    // Exchanges made since the last reset, by request type (statistics for
    // the benchmark; counted under the request lock).
    using ExchangeCounts = std::array<unsigned, 128>;
    const ExchangeCounts& Counts() const noexcept { return m_counts; }
    void ResetCounts() noexcept { m_counts.fill(0); }
    DWORD RelayProcessId() const noexcept;
    int RelayStarts() const noexcept { return m_starts; }
    const std::wstring& UrlListLockName() const noexcept { return m_urlLockName; }

private:
    RelayState() = default;
    void EndRelayLocked() noexcept;

    std::atomic<int> m_stores{0};
    std::mutex m_setupMutex; // guards creation of the lock handles
    std::wstring m_requestLockName;
    torva::UniqueHandle m_requestLock;
    std::wstring m_urlLockName;
    torva::UniqueHandle m_urlLock;
    std::unique_ptr<CIERelayServer> m_server;
    std::unique_ptr<CIERelayEvent> m_events;
    std::wstring m_folder;
    int m_starts = 0;
    int m_readyOpens = 52;
    DWORD m_endLockWait = 30000;
    ExchangeCounts m_counts{};
    std::atomic<DWORD> m_lockOwner{0}; // thread id holding the request lock, 0 none
    std::atomic<bool> m_endPending{false};
};
