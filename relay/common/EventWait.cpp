#include "EventWait.h"

#include <algorithm>
#include <utility>

#include "Win32Handles.h"

namespace torva::relay {
namespace {

// Dispatches every message waiting for this thread. Returns true and the exit
// code when a WM_QUIT was among them; it is not dispatched.
bool PumpMessages(WPARAM* quitCode) noexcept {
    bool sawQuit = false;
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            sawQuit = true;
            *quitCode = msg.wParam;
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return sawQuit;
}

class QuitReposter {
public:
    ~QuitReposter() {
        if (m_pending) ::PostQuitMessage(static_cast<int>(m_code));
    }
    void Remember(WPARAM code) noexcept {
        m_pending = true;
        m_code = code;
    }

private:
    bool m_pending = false;
    WPARAM m_code = 0;
};

} // namespace

BOOL WaitNamedEvent(const wchar_t* name, DWORD timeoutMs, HANDLE abortEvent,
                    const EventWaitOptions& options, UniqueHandle* seen) noexcept {
    const bool limited = timeoutMs != INFINITE;
    const DWORD slice = limited ? std::min(options.slice, timeoutMs) : options.slice;
    // Signed: a slice may overshoot what is left.
    long long remaining = limited ? static_cast<long long>(timeoutMs) : 0;
    int failedOpens = 0;
    QuitReposter quit;

    for (;;) {
        UniqueHandle event(::OpenEventW(SYNCHRONIZE, FALSE, name));
        long long spent;
        if (event) {
            const DWORD wait =
                limited ? static_cast<DWORD>(std::min<long long>(slice, remaining)) : slice;
            const HANDLE handles[2] = {event.get(), abortEvent};
            const DWORD result = ::WaitForMultipleObjects(abortEvent ? 2 : 1, handles, FALSE, wait);
            if (result == WAIT_OBJECT_0) {
                if (seen) *seen = std::move(event);
                return TRUE;
            }
            if (result != WAIT_TIMEOUT) return FALSE; // aborted, or the wait itself failed
            WPARAM code = 0;
            if (PumpMessages(&code)) quit.Remember(code);
            spent = wait;
        } else {
            if (abortEvent) {
                if (::WaitForSingleObject(abortEvent, options.openRetryWait) == WAIT_OBJECT_0) {
                    return FALSE;
                }
            } else {
                ::Sleep(options.openRetryWait);
            }
            if (++failedOpens >= options.maxFailedOpens) return FALSE;
            // A name that does not open costs a whole slice: a peer that is gone
            // is given up on after a few tries, not after the full time-out.
            spent = slice;
        }
        if (limited) {
            remaining -= spent;
            if (remaining <= 0) return FALSE;
        }
    }
}

} // namespace torva::relay
