// A clock the test sets; safe to read from many writing threads while the
// test moves it.
#pragma once

#include "LogClock.h"

#include <mutex>

namespace torva::fenwix::testing {

inline SYSTEMTIME LocalTimeOf(WORD year, WORD month, WORD day, WORD hour = 0, WORD minute = 0,
                              WORD second = 0) {
    SYSTEMTIME time{};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    return time;
}

class FakeLogClock final : public LogClock {
public:
    void Set(const SYSTEMTIME& now, DWORD tick = 1234) {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_now = now;
        m_tick = tick;
    }
    SYSTEMTIME LocalTime() override {
        std::lock_guard<std::mutex> guard(m_mutex);
        return m_now;
    }
    DWORD TickCount() override {
        std::lock_guard<std::mutex> guard(m_mutex);
        return m_tick;
    }

private:
    std::mutex m_mutex;
    SYSTEMTIME m_now = LocalTimeOf(2009, 1, 31, 12, 34, 56);
    DWORD m_tick = 1234;
};

} // namespace torva::fenwix::testing
