// Where the logger takes the time from. Injected so that date roll-over and
// old-log ages can be tested without waiting for midnight.
#pragma once

#include <windows.h>

namespace torva::fenwix {

class LogClock {
public:
    virtual ~LogClock() = default;
    // Local wall-clock time; names files, stamps lines and ages old logs.
    // Called from any writing thread at once: implementations must be thread-safe.
    virtual SYSTEMTIME LocalTime() = 0;
    // Milliseconds since system start, as the line's third time-stamp field.
    virtual DWORD TickCount() = 0;
};

} // namespace torva::fenwix
