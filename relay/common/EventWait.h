// Waits for a named event that the other side of the channel creates, while
// the calling thread's window messages keep flowing (the add-in waits on its
// browser's user-interface thread).
#pragma once

#include <windows.h>

#include "Win32Handles.h"

namespace torva::relay {

struct EventWaitOptions {
    DWORD slice = 5000;        // longest single wait before messages are dispatched
    DWORD openRetryWait = 100; // after a failed open of the name
    int maxFailedOpens = 52;
};

// TRUE when the event named `name` was seen signalled within timeoutMs
// (INFINITE: no limit). The event is opened anew for every slice, because the
// peer may create it late or end and take it away; each failed open counts a
// whole slice against a finite time-out, and 52 failed opens give up in any
// case. The waiter never resets the event. When abortEvent is signalled the
// wait gives up at once. A WM_QUIT removed while dispatching is posted again
// before returning, so the caller's message loop still ends.
//
// With `seen` given, a successful wait hands over the handle it opened
// instead of closing it: the caller closes it after its next step, so that
// closing costs no time between seeing the signal and answering it.
[[nodiscard]] BOOL WaitNamedEvent(const wchar_t* name, DWORD timeoutMs, HANDLE abortEvent = nullptr,
                                  const EventWaitOptions& options = EventWaitOptions(),
                                  UniqueHandle* seen = nullptr) noexcept;

} // namespace torva::relay
