// A clock that stands still until the test moves it.
#pragma once

#include "RecordClock.h"

namespace torva::garrulon::testing {

class FakeRecordClock final : public RecordClock {
public:
    SYSTEMTIME now{2009, 1, 6, 31, 12, 34, 56, 789};
    DWORD tick = 0x01020304;

    SYSTEMTIME LocalTime() override { return now; }
    DWORD TickCount() override { return tick; }
};

} // namespace torva::garrulon::testing
