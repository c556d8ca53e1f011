// Serves one connected pipe instance: one request, one reply, then waits
// for the client to let go. Runs on a thread of its own; nothing thrown
// leaves Serve.
#pragma once

#include "ExchangeLog.h"
#include "RequestHandler.h"
#include "ServiceOptions.h"
#include "Win32Handles.h"

namespace dbservice {

class Connection {
public:
    Connection(torva::UniqueFile pipe, const ServiceOptions& options, const RequestHandler& handler,
               ExchangeLog& log, HANDLE stop) noexcept;
    void Serve() noexcept;

private:
    void ServeRequest();

    torva::UniqueFile m_pipe;
    const ServiceOptions& m_options;
    const RequestHandler& m_handler;
    ExchangeLog& m_log;
    HANDLE m_stop;
};

} // namespace dbservice
