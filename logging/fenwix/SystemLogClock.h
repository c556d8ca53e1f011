// The machine's clock: local time and the tick counter.
#pragma once

#include "LogClock.h"

namespace torva::fenwix {

class SystemLogClock final : public LogClock {
public:
    SYSTEMTIME LocalTime() override;
    DWORD TickCount() override;
};

} // namespace torva::fenwix
