// Overlapped reads and writes on a pipe with a bounded wait that a stop
// event cuts short. An operation that does not finish in time is cancelled
// and waited for before its buffer and OVERLAPPED go out of scope.
#pragma once

#include <windows.h>

#include <cstddef>

namespace dbservice {

class PipeIo {
public:
    // Reads exactly size bytes. False on failure, timeout or stop.
    [[nodiscard]] static bool ReadAll(HANDLE pipe, void* buffer, size_t size, DWORD timeoutMs,
                                      HANDLE stop);
    // Writes exactly size bytes.
    [[nodiscard]] static bool WriteAll(HANDLE pipe, const void* data, size_t size, DWORD timeoutMs,
                                       HANDLE stop);
    // Waits until the client closes its end (or sends something), up to timeoutMs.
    static void WaitForClose(HANDLE pipe, DWORD timeoutMs, HANDLE stop);
    // Sleeps up to ms, less when stop is set. True when it slept the whole time.
    static bool Pause(DWORD ms, HANDLE stop);
};

} // namespace dbservice
