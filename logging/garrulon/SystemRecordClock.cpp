#include "SystemRecordClock.h"

namespace torva::garrulon {

SYSTEMTIME SystemRecordClock::LocalTime() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return now;
}

DWORD SystemRecordClock::TickCount() {
    return ::GetTickCount();
}

} // namespace torva::garrulon
