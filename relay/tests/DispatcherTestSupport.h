// Shared pieces of the in-process dispatcher tests.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "CRequestDispatcher.h"
#include "IERelay_Common.h"
#include "RelayRecords.h"

namespace torva::relay::test {

// A pipe end whose receive buffer a test fills directly, as PipeRead would.
class LoadedRelayEnd : public IERelay_Common {
public:
    LoadedRelayEnd() : IERelay_Common(L"\\\\.\\pipe\\IERelayPipeTest@0") {}
    void Receive(const std::vector<BYTE>& message) {
        m_recvBuffer.reset(::CoTaskMemAlloc(message.size() + 2));
        std::memset(m_recvBuffer.get(), 0, message.size() + 2);
        if (!message.empty()) std::memcpy(m_recvBuffer.get(), message.data(), message.size());
        m_recvSize = static_cast<DWORD>(message.size());
    }
};

inline uint32_t ReplyType(const std::vector<BYTE>& reply) {
    return reply.size() >= 8 ? Load32(reply.data(), kOffType) : 0;
}
inline uint32_t ReplyField(const std::vector<BYTE>& reply, size_t offset) {
    return reply.size() >= offset + 4 ? Load32(reply.data(), offset) : 0xDEADBEEF;
}

// A unique key path for one test, under a parent that names the process.
inline std::wstring TestKeyPath(const wchar_t* leaf) {
    return L"RELAYTEST\\P" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
           std::to_wstring(::GetTickCount()) + L"\\" + leaf;
}

} // namespace torva::relay::test
