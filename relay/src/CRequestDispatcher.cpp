#include "CRequestDispatcher.h"

#include <cstring>
#include <new>

#include "RecordHandlers.h"
#include "RelayRecords.h"
#include "ZentripTrace.h"

namespace torva::relay {
namespace {

constexpr DWORD kInitialRequestCapacity = 8192;

} // namespace

std::vector<BYTE> ErrorReply() {
    std::vector<BYTE> reply(sizeof(RELAY_COMMON));
    Store32(reply.data(), kOffSize, sizeof(RELAY_COMMON));
    Store32(reply.data(), kOffType, TYPE_ERROR);
    return reply;
}

CRequestDispatcher::CRequestDispatcher(const RelayLibraries& libraries) : m_libraries(libraries) {
    m_request.reset(::CoTaskMemAlloc(kInitialRequestCapacity));
    if (m_request) m_requestCapacity = kInitialRequestCapacity;
}

int CRequestDispatcher::Answer(const BYTE* message, DWORD size, std::vector<BYTE>& reply) noexcept {
    try {
        reply.clear();
        // Only whole messages are answered: the header must be there and
        // agree with what arrived.
        if (!message || size < kMinMessageSize || size > kMaxMessageSize ||
            Load32(message, kOffSize) != size) {
            reply = ErrorReply();
            return 0;
        }
        const uint32_t type = Load32(message, kOffType);
        if (type == TYPE_END) {
            ZT_TRACE_PROGRESS(L"[Zentrip]TYPE_END\n");
            return kEnd;
        }
        // A fresh copy for every request; the two zero bytes after it keep a
        // careless string read inside the block.
        if (size + 2 > m_requestCapacity) {
            m_request.reset(::CoTaskMemAlloc(size + 2));
            m_requestCapacity = m_request ? size + 2 : 0;
        }
        if (!m_request) {
            reply = ErrorReply();
            return 0;
        }
        BYTE* request = static_cast<BYTE*>(m_request.get());
        std::memcpy(request, message, size);
        request[size] = request[size + 1] = 0;

        bool answered = false;
        switch (type) {
        case TYPE_TVRCT_ENCRYPT:
        case TYPE_TVRCT_DECRYPT:
            answered = AnswerCrypt(m_libraries, type, request, size, reply);
            break;
        case TYPE_TVRDB_QUERYVALUE:
            answered = AnswerQueryValue(m_libraries, request, size, reply);
            break;
        case TYPE_TVRDB_SETVALUE:
            answered = AnswerSetValue(m_libraries, request, size, reply);
            break;
        default:
            if (FixedRecordSize(type) == 0) {
                ZT_TRACE_PROGRESS(L"case default");
                break;
            }
            answered = AnswerFixedRecord(m_libraries, type, request, size, reply);
            break;
        }
        if (!answered) reply = ErrorReply();
        return 0;
    } catch (...) {
        // Out of memory while building a reply. An empty reply is answered
        // with TYPE_ERROR by SetOutputData, which needs no heap for it.
        reply.clear();
        return 0;
    }
}

int CRequestDispatcher::SetOutputData(IERelay_Common& client) noexcept {
    ZT_TRACE_SCOPE(L"SetOutputData");
    ZT_TRACE_PROGRESS(L"[Zentrip]SetOutputData Start\n");
    std::vector<BYTE> reply;
    if (Answer(client.GetRecvData(), client.GetRecvSize(), reply) == kEnd) ZT_RETURN_INT(kEnd);
    if (reply.empty() || !client.SetSendData(reply.data(), static_cast<DWORD>(reply.size()))) {
        SetErrorData(client);
    }
    ZT_TRACE_PROGRESS(L"[Zentrip]SetOutputData End\n");
    ZT_RETURN_INT(0);
}

void CRequestDispatcher::SetErrorData(IERelay_Common& client) noexcept {
    ZT_TRACE_SCOPE(L"SetErrorData");
    ZT_TRACE_PROGRESS(L"hpclPipeClientEvent = 0x%08X",
                      static_cast<unsigned>(reinterpret_cast<uintptr_t>(&client)));
    BYTE message[sizeof(RELAY_COMMON)];
    Store32(message, kOffSize, sizeof message);
    Store32(message, kOffType, TYPE_ERROR);
    // When even this cannot be set, the send buffer is empty and nothing is
    // written: the add-in's wait for the reply fails, as for any lost reply.
    (void)client.SetSendData(message, sizeof message);
}

} // namespace torva::relay
