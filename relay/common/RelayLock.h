// The named locks of the relay channel (the pipe-access lock of each process,
// the relay's lock, the add-in's request lock): named events created signalled
// with default security. They are auto-reset events, so a successful wait is
// the whole take: one release lets exactly one waiter through. Each taker opens
// the lock by name, which is why a lock only needs its creator to keep it alive.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "Win32Handles.h"

namespace torva::relay {

class RelayLock {
public:
    // Creates the lock, or opens the existing one of that name. The returned
    // handle keeps the lock in existence; null on failure.
    [[nodiscard]] static UniqueHandle Create(const std::wstring& name) noexcept;

    // Opens the lock by name and waits up to timeoutMs (INFINITE allowed) for
    // it. When abortEvent is given and becomes signalled first, the wait gives
    // up. The result is held when IsHeld() is true and is released at the end of
    // its life.
    [[nodiscard]] static RelayLock Take(const std::wstring& name, DWORD timeoutMs,
                                        HANDLE abortEvent = nullptr) noexcept;

    // Takes the lock through a handle the caller already holds open (for
    // example the one that keeps the lock alive); the handle is not closed.
    // abortEvent as for Take.
    [[nodiscard]] static RelayLock TakeOpen(HANDLE lock, DWORD timeoutMs,
                                            HANDLE abortEvent = nullptr) noexcept;

    RelayLock() noexcept = default;
    RelayLock(RelayLock&& other) noexcept
        : m_held(std::exchange(other.m_held, nullptr)), m_owned(std::move(other.m_owned)) {}
    RelayLock& operator=(RelayLock&& other) noexcept;
    RelayLock(const RelayLock&) = delete;
    RelayLock& operator=(const RelayLock&) = delete;
    ~RelayLock() { Release(); }

    bool IsHeld() const noexcept { return m_held != nullptr; }
    // Signals the lock and closes the handle; nothing when not held.
    void Release() noexcept;

private:
    RelayLock(HANDLE held, UniqueHandle owned) noexcept : m_held(held), m_owned(std::move(owned)) {}
    HANDLE m_held = nullptr;
    UniqueHandle m_owned; // the handle opened by name, if the lock opened one
};

} // namespace torva::relay
