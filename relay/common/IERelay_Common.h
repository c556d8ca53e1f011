// What both ends of the relay pipe share: the pipe handle, the last message
// sent and the last one received, and the process's pipe-access lock that
// makes each buffer or pipe operation exclusive within the process.
//
// Threads: one object is used by one thread at a time for its pipe; the lock
// only orders operations of different objects of the same process. Buffers
// are owned by the object and replaced whole; GetRecvData/GetSendData pointers
// stay valid until the next operation that replaces that buffer.
#pragma once

#include <windows.h>

#include <string>

#include "RelayTimings.h"
#include "Win32Handles.h"

class IERelay_Common {
public:
    virtual ~IERelay_Common();
    IERelay_Common(const IERelay_Common&) = delete;
    IERelay_Common& operator=(const IERelay_Common&) = delete;

    // Replaces the send buffer by a copy of `length` bytes. On failure (lock
    // not taken, no memory) the send buffer is emptied, so that no earlier
    // message can be sent in place of this one.
    [[nodiscard]] BOOL SetSendData(const void* bytes, DWORD length);
    // Reads one whole message into the receive buffer. FALSE - and an empty
    // receive buffer - when the header announces fewer than 8 or more than
    // kMaxMessageSize bytes, or when fewer bytes than announced arrive in time.
    // The header and the rest each have one read budget (firstReadWait plus
    // the polls), however many pieces the peer sends them in, so the whole
    // read ends within two budgets.
    [[nodiscard]] BOOL PipeRead();
    // Writes the whole send buffer; TRUE only when every byte was written.
    [[nodiscard]] BOOL PipeWrite();

    const BYTE* GetRecvData() const noexcept {
        return static_cast<const BYTE*>(m_recvBuffer.get());
    }
    DWORD GetRecvSize() const noexcept { return m_recvSize; }
    const BYTE* GetSendData() const noexcept {
        return static_cast<const BYTE*>(m_sendBuffer.get());
    }
    DWORD GetSendSize() const noexcept { return m_sendSize; }
    std::wstring GetPipeName() const { return m_pipeName; }

    // Waits for the named event; see WaitNamedEvent. abortEvent (optional)
    // ends the wait early with FALSE; `seen` (optional) receives the opened
    // event after a successful wait, for the caller to close later.
    [[nodiscard]] static BOOL WaitEvent(const wchar_t* name, DWORD timeoutMs,
                                        HANDLE abortEvent = nullptr,
                                        torva::UniqueHandle* seen = nullptr);

    // For tests: shorter waits for the time-out paths.
    void SetTimings(const torva::relay::RelayTimings& timings) noexcept { m_timings = timings; }
    const torva::relay::RelayTimings& Timings() const noexcept { return m_timings; }

protected:
    explicit IERelay_Common(std::wstring pipeName);

    std::wstring m_pipeName;
    torva::UniqueCoTaskMem m_sendBuffer; // message + two zero bytes
    torva::UniqueCoTaskMem m_recvBuffer; // message + two zero bytes
    DWORD m_sendSize = 0;
    DWORD m_unused = 0;
    DWORD m_recvSize = 0;
    SECURITY_ATTRIBUTES* m_security = nullptr; // process-wide null-DACL attributes
    torva::UniqueHandle m_pipeAccessLock;      // keeps the lock alive; takers open it by name
    std::wstring m_pipeAccessLockName;
    torva::UniqueFile m_pipe;
    // Auto-reset; signals the end of this object's overlapped operations.
    torva::UniqueHandle m_ioEvent;
    torva::relay::RelayTimings m_timings;

private:
    [[nodiscard]] static torva::UniqueCoTaskMem AllocateMessage(DWORD length) noexcept;
    void DropRecv() noexcept;
};
