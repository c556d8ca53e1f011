// Where a record's time stamps come from. Injected so that tests can check a
// record's bytes exactly.
#pragma once

#include <windows.h>

namespace torva::garrulon {

class RecordClock {
public:
    virtual ~RecordClock() = default;
    // Called from any thread that appends: implementations must be thread-safe.
    virtual SYSTEMTIME LocalTime() = 0;
    virtual DWORD TickCount() = 0;
};

} // namespace torva::garrulon
