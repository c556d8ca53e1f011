// Restores the thread's last-error code when the scope ends, so that logging
// never disturbs the GetLastError() that the logging caller is about to read.
#pragma once

#include <windows.h>

namespace torva {

class LastErrorKeeper {
public:
    LastErrorKeeper() noexcept : m_error(::GetLastError()) {}
    LastErrorKeeper(const LastErrorKeeper&) = delete;
    LastErrorKeeper& operator=(const LastErrorKeeper&) = delete;
    ~LastErrorKeeper() { ::SetLastError(m_error); }

private:
    DWORD m_error;
};

} // namespace torva
