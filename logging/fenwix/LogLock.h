// The per-process lock that keeps lines from different threads whole: a named
// auto-reset event, created signalled, so that taking it is the wait itself.
// Its name carries the process id, so it never serialises other processes.
#pragma once

#include "Win32Handles.h"

#include <string>

namespace torva::fenwix {

class LogLock {
public:
    // Opens the event by name and waits up to timeoutMs for it. held() is
    // false when the event does not exist or the wait timed out; the caller
    // then drops its line.
    LogLock(const std::wstring& name, DWORD timeoutMs) noexcept;
    LogLock(const LogLock&) = delete;
    LogLock& operator=(const LogLock&) = delete;
    // Releases the lock when held.
    ~LogLock();

    bool held() const noexcept { return m_held; }

    // "Global\FENWIX<process id>".
    static std::wstring NameFor(DWORD processId);
    // Creates the event signalled, or opens it when this process already has
    // one (its state is then left alone). The owner keeps it alive for as
    // long as lines may be written.
    [[nodiscard]] static UniqueHandle CreateLockEvent(const std::wstring& name);

private:
    UniqueHandle m_event;
    bool m_held = false;
};

} // namespace torva::fenwix
