#include "Connection.h"

#include "Caller.h"
#include "PipeIo.h"
#include "RequestFrame.h"

#include "DbServiceRecord.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace dbservice {
namespace {

// A client writes its whole request at once; one that takes longer is gone.
constexpr DWORD kRequestTimeoutMs = 5000;
constexpr DWORD kReplyTimeoutMs = 5000;
// The reply stays readable this long; a client that reads nothing by then
// has given up.
constexpr DWORD kCloseTimeoutMs = 30000;

} // namespace

Connection::Connection(torva::UniqueFile pipe, const ServiceOptions& options,
                       const RequestHandler& handler, ExchangeLog& log, HANDLE stop) noexcept
    : m_pipe(std::move(pipe)), m_options(options), m_handler(handler), m_log(log), m_stop(stop) {}

void Connection::Serve() noexcept {
    try {
        ServeRequest();
    } catch (...) {
        m_log.Write(L"failed: out of memory");
    }
    ::DisconnectNamedPipe(m_pipe.get());
}

void Connection::ServeRequest() {
    std::vector<uint8_t> request(sizeof(ostravo::DbsvcHeader));
    if (!PipeIo::ReadAll(m_pipe.get(), request.data(), request.size(), kRequestTimeoutMs, m_stop)) {
        m_log.Write(L"malformed no whole header");
        return;
    }
    ostravo::DbsvcHeader header;
    std::memcpy(&header, request.data(), sizeof(header));
    std::wstring why;
    const size_t size = RequestFrame::RecordSize(header, why);
    if (size == 0) {
        m_log.Write(L"malformed " + why);
        return;
    }
    request.resize(size);
    if (!PipeIo::ReadAll(m_pipe.get(), request.data() + sizeof(header), size - sizeof(header),
                         kRequestTimeoutMs, m_stop)) {
        m_log.Write(L"malformed cut short");
        return;
    }
    if (size == sizeof(ostravo::DbsvcNamedRecord)) {
        ostravo::DbsvcNamedRecord record;
        std::memcpy(&record, request.data(), sizeof(record));
        if (!RequestFrame::TextsTerminated(record, why)) {
            m_log.Write(L"malformed " + why);
            return;
        }
    }

    const Caller caller = Caller::FromPipe(m_pipe.get());
    std::vector<uint8_t> reply;
    std::wstring line;
    m_handler.Handle(request, caller, reply, line);
    m_log.Write(line);

    if (m_options.delayMs && !PipeIo::Pause(m_options.delayMs, m_stop)) return;
    if (!m_options.noReply) {
        const size_t bytes = m_options.shortReply
                                 ? std::min<size_t>(m_options.shortBytes, reply.size())
                                 : reply.size();
        if (bytes &&
            !PipeIo::WriteAll(m_pipe.get(), reply.data(), bytes, kReplyTimeoutMs, m_stop)) {
            return;
        }
    }
    // Closing now could drop a reply the client has not read yet.
    PipeIo::WaitForClose(m_pipe.get(), kCloseTimeoutMs, m_stop);
}

} // namespace dbservice
