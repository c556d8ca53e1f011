#include "OverlappedIo.h"

#include <algorithm>

namespace torva::relay {
namespace {

// Stops a pending operation and waits until the system has let go of it.
void CancelAndWait(HANDLE pipe, OVERLAPPED* ov) noexcept {
    DWORD ignored = 0;
    ::CancelIoEx(pipe, ov);
    ::GetOverlappedResult(pipe, ov, &ignored, TRUE);
}

// Waits for one started operation as the channel's timings allow, but never
// past `deadline` (a GetTickCount64 value): the budget belongs to the whole
// transfer, not to each of its operations. True and the byte count when it
// finished successfully.
bool Finish(HANDLE pipe, OVERLAPPED* ov, DWORD firstWait, const RelayTimings& timings,
            ULONGLONG deadline, DWORD* moved) noexcept {
    // Looking costs nothing; most operations are over before the first wait.
    if (::GetOverlappedResult(pipe, ov, moved, FALSE)) return true;
    if (::GetLastError() != ERROR_IO_INCOMPLETE) return false;
    DWORD slice = firstWait ? firstWait : timings.ioPollWait;
    for (;;) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) break;
        ::WaitForSingleObject(ov->hEvent,
                              static_cast<DWORD>(std::min<ULONGLONG>(slice, deadline - now)));
        if (::GetOverlappedResult(pipe, ov, moved, FALSE)) return true;
        if (::GetLastError() != ERROR_IO_INCOMPLETE) return false; // over, failed
        slice = timings.ioPollWait;
    }
    CancelAndWait(pipe, ov);
    return false;
}

} // namespace

ULONGLONG TransferBudget(DWORD firstWait, const RelayTimings& timings) noexcept {
    return ULONGLONG{firstWait} +
           ULONGLONG{timings.ioPollWait} * static_cast<ULONGLONG>(std::max(timings.ioPolls, 0));
}

bool TransferExactly(HANDLE pipe, HANDLE event, Transfer direction, BYTE* buffer, DWORD length,
                     DWORD firstWait, const RelayTimings& timings) noexcept {
    if (!event) return false;
    // One budget for all the bytes: a peer that hands them over in small
    // pieces must not start the clock again with every piece.
    const ULONGLONG deadline = ::GetTickCount64() + TransferBudget(firstWait, timings);
    DWORD done = 0;
    while (done < length) {
        OVERLAPPED ov{};
        ov.hEvent = event;
        const BOOL started = direction == Transfer::Read
                                 ? ::ReadFile(pipe, buffer + done, length - done, nullptr, &ov)
                                 : ::WriteFile(pipe, buffer + done, length - done, nullptr, &ov);
        if (!started && ::GetLastError() != ERROR_IO_PENDING) return false;
        DWORD moved = 0;
        if (!Finish(pipe, &ov, firstWait, timings, deadline, &moved)) return false;
        if (moved == 0) return false; // the peer closed its end
        done += moved;
    }
    return true;
}

ConnectResult ConnectServer(HANDLE pipe, HANDLE event, const RelayTimings& timings,
                            void (*onWait)()) noexcept {
    if (!event) return ConnectResult::Failed;
    OVERLAPPED ov{};
    ov.hEvent = event;
    if (::ConnectNamedPipe(pipe, &ov)) return ConnectResult::Connected;
    const DWORD error = ::GetLastError();
    if (error == ERROR_PIPE_CONNECTED) return ConnectResult::Connected;
    if (error != ERROR_IO_PENDING) return ConnectResult::Failed;

    for (int unsignalled = 0;; ++unsignalled) {
        if (onWait) onWait();
        // The pause after an unsignalled wait is itself a wait on the event, so
        // a client that arrives during it is taken at once.
        DWORD wait = ::WaitForSingleObject(event, timings.connectWait);
        if (wait == WAIT_TIMEOUT && unsignalled < timings.connectWaits) {
            wait = ::WaitForSingleObject(event, timings.connectWait);
        }
        if (wait == WAIT_OBJECT_0) {
            DWORD ignored = 0;
            return ::GetOverlappedResult(pipe, &ov, &ignored, FALSE) ? ConnectResult::Connected
                                                                     : ConnectResult::Failed;
        }
        if (wait != WAIT_TIMEOUT || unsignalled >= timings.connectWaits) break;
    }
    CancelAndWait(pipe, &ov);
    return ConnectResult::TimedOut;
}

} // namespace torva::relay
