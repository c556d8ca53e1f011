#include "IERelay_Common.h"

#include <cstdio>
#include <cstring>

#include "EventWait.h"
#include "NullDaclSecurity.h"
#include "OverlappedIo.h"
#include "RelayLock.h"
#include "RelayRecords.h"
#include "RelayTrace.h"

using torva::relay::RelayLock;
using torva::relay::Transfer;

IERelay_Common::IERelay_Common(std::wstring pipeName) : m_pipeName(std::move(pipeName)) {
    wchar_t name[64];
    std::swprintf(name, 64, L"IERelayCommon_%lu", ::GetCurrentProcessId());
    m_pipeAccessLockName = name;
    m_pipeAccessLock = RelayLock::Create(m_pipeAccessLockName);
    m_security = torva::relay::NullDaclAttributes();
    m_ioEvent.reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
}

IERelay_Common::~IERelay_Common() = default;

torva::UniqueCoTaskMem IERelay_Common::AllocateMessage(DWORD length) noexcept {
    // Two zero bytes after the message let a reader treat trailing text as
    // terminated.
    const size_t bytes = static_cast<size_t>(length) + 2;
    torva::UniqueCoTaskMem block(::CoTaskMemAlloc(bytes));
    if (block) std::memset(block.get(), 0, bytes);
    return block;
}

void IERelay_Common::DropRecv() noexcept {
    m_recvBuffer.reset();
    m_recvSize = 0;
}

BOOL IERelay_Common::SetSendData(const void* bytes, DWORD length) {
    const RelayLock lock = RelayLock::TakeOpen(m_pipeAccessLock.get(), m_timings.lockWait);
    m_sendBuffer.reset();
    m_sendSize = 0;
    if (!lock.IsHeld()) return FALSE;
    if (length > torva::relay::kMaxMessageSize || (length && !bytes)) return FALSE;
    torva::UniqueCoTaskMem block = AllocateMessage(length);
    if (!block) return FALSE;
    if (length) std::memcpy(block.get(), bytes, length);
    m_sendBuffer = std::move(block);
    m_sendSize = length;
    return TRUE;
}

BOOL IERelay_Common::PipeRead() {
    RELAY_TRACE_PROGRESS(L"[IERelayCtrl] PipeRead() Start\n");
    const RelayLock lock = RelayLock::TakeOpen(m_pipeAccessLock.get(), m_timings.lockWait);
    if (!lock.IsHeld()) return FALSE;
    RELAY_TRACE_PROGRESS(L"[IERelayCtrl] PipeRead() GetSem \n");
    // Whatever happens below, the previous message is gone: a failed read
    // must never leave an older request to be answered again.
    DropRecv();

    BYTE header[sizeof(RELAY_COMMON)];
    RELAY_TRACE_PROGRESS(L"[IERelayCtrl] PipeRead() ReadFile(RELAY_COMMON) Start \n");
    if (!torva::relay::TransferExactly(m_pipe.get(), m_ioEvent.get(), Transfer::Read, header,
                                       sizeof header, m_timings.firstReadWait, m_timings)) {
        return FALSE;
    }
    RELAY_TRACE_PROGRESS(L"[IERelayCtrl] PipeRead() ReadFile(RELAY_COMMON) End \n");
    const uint32_t size = torva::relay::Load32(header, torva::relay::kOffSize);
    if (size < torva::relay::kMinMessageSize || size > torva::relay::kMaxMessageSize) return FALSE;

    torva::UniqueCoTaskMem block = AllocateMessage(size);
    if (!block) return FALSE;
    BYTE* bytes = static_cast<BYTE*>(block.get());
    std::memcpy(bytes, header, sizeof header);
    if (size > sizeof header) {
        RELAY_TRACE_PROGRESS(L"[IERelayCtrl] PipeRead() ReadFile(ALL) Start \n");
        if (!torva::relay::TransferExactly(
                m_pipe.get(), m_ioEvent.get(), Transfer::Read, bytes + sizeof header,
                size - static_cast<DWORD>(sizeof header), m_timings.firstReadWait, m_timings)) {
            return FALSE;
        }
        RELAY_TRACE_PROGRESS(L"[IERelayCtrl] PipeRead() ReadFile(ALL) End \n");
    }
    m_recvBuffer = std::move(block);
    m_recvSize = size;
    RELAY_TRACE_PROGRESS(L"[IERelayCtrl] PipeRead() End \n");
    return TRUE;
}

BOOL IERelay_Common::PipeWrite() {
    RELAY_TRACE_PROGRESS(L"[IERelayCtrl] PipeWrite() Start\n");
    const RelayLock lock = RelayLock::TakeOpen(m_pipeAccessLock.get(), m_timings.lockWait);
    if (!lock.IsHeld()) return FALSE;
    RELAY_TRACE_PROGRESS(L"[IERelayCtrl] PipeWrite() GetSem\n");
    if (!m_sendBuffer || m_sendSize == 0) return FALSE;
    RELAY_TRACE_PROGRESS(L"[IERelayCtrl] PipeWrite() WriteFile Start\n");
    const bool written = torva::relay::TransferExactly(
        m_pipe.get(), m_ioEvent.get(), Transfer::Write, static_cast<BYTE*>(m_sendBuffer.get()),
        m_sendSize, 0, m_timings);
    RELAY_TRACE_PROGRESS(L"[IERelayCtrl] PipeWrite() WriteFile End\n");
    RELAY_TRACE_PROGRESS(L"[IERelayCtrl] PipeWrite() End\n");
    return written ? TRUE : FALSE;
}

BOOL IERelay_Common::WaitEvent(const wchar_t* name, DWORD timeoutMs, HANDLE abortEvent,
                               torva::UniqueHandle* seen) {
    return torva::relay::WaitNamedEvent(name, timeoutMs, abortEvent,
                                        torva::relay::EventWaitOptions(), seen);
}
