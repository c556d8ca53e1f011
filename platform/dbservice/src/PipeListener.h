// Accepts clients on the service's pipe until the stop event is set.
//
// One instance always listens: as soon as a client connects to it, the next
// instance is created, before the connected one is served, so a client
// never finds the pipe missing between two connections (at worst busy, for
// which it waits). Each connection is served on a thread of its own.
#pragma once

#include "ExchangeLog.h"
#include "RequestHandler.h"
#include "ServiceOptions.h"

#include <windows.h>

#include <condition_variable>
#include <mutex>

namespace dbservice {

class PipeListener {
public:
    PipeListener(const ServiceOptions& options, const RequestHandler& handler, ExchangeLog& log,
                 HANDLE stop) noexcept;

    // 0 when stopped, else a Win32 error (another process owns the pipe
    // name, or no instance could be made). ready is set once listening.
    [[nodiscard]] DWORD Run(HANDLE ready);

private:
    void StartConnection(torva::UniqueFile pipe);
    void WaitForConnections(DWORD timeoutMs);

    const ServiceOptions& m_options;
    const RequestHandler& m_handler;
    ExchangeLog& m_log;
    HANDLE m_stop;
    std::mutex m_mutex;
    std::condition_variable m_idle;
    unsigned m_active = 0;
};

} // namespace dbservice
