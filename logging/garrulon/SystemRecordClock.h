// The machine's clock: local time and the tick counter.
#pragma once

#include "RecordClock.h"

namespace torva::garrulon {

class SystemRecordClock final : public RecordClock {
public:
    SYSTEMTIME LocalTime() override;
    DWORD TickCount() override;
};

} // namespace torva::garrulon
