#include "SystemLogClock.h"

namespace torva::fenwix {

SYSTEMTIME SystemLogClock::LocalTime() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return now;
}

DWORD SystemLogClock::TickCount() {
    return ::GetTickCount();
}

} // namespace torva::fenwix
