#include "RelayLock.h"

namespace torva::relay {

UniqueHandle RelayLock::Create(const std::wstring& name) noexcept {
    return UniqueHandle(::CreateEventW(nullptr, FALSE, TRUE, name.c_str()));
}

namespace {

// Waits for the lock, or for abortEvent when one is given. The lock comes
// first so that a lock and an abort signalled together still hand the lock
// over to be released properly.
bool WaitForLock(HANDLE lock, DWORD timeoutMs, HANDLE abortEvent) noexcept {
    if (!abortEvent) return ::WaitForSingleObject(lock, timeoutMs) == WAIT_OBJECT_0;
    const HANDLE handles[2] = {lock, abortEvent};
    return ::WaitForMultipleObjects(2, handles, FALSE, timeoutMs) == WAIT_OBJECT_0;
}

} // namespace

RelayLock RelayLock::Take(const std::wstring& name, DWORD timeoutMs, HANDLE abortEvent) noexcept {
    UniqueHandle event(::OpenEventW(EVENT_ALL_ACCESS, FALSE, name.c_str()));
    if (!event || !WaitForLock(event.get(), timeoutMs, abortEvent)) return RelayLock();
    const HANDLE held = event.get();
    return RelayLock(held, std::move(event));
}

RelayLock RelayLock::TakeOpen(HANDLE lock, DWORD timeoutMs, HANDLE abortEvent) noexcept {
    if (!lock || !WaitForLock(lock, timeoutMs, abortEvent)) return RelayLock();
    return RelayLock(lock, UniqueHandle());
}

RelayLock& RelayLock::operator=(RelayLock&& other) noexcept {
    if (this != &other) {
        Release();
        m_held = std::exchange(other.m_held, nullptr);
        m_owned = std::move(other.m_owned);
    }
    return *this;
}

void RelayLock::Release() noexcept {
    if (!m_held) return;
    ::SetEvent(m_held);
    m_held = nullptr;
    m_owned.reset();
}

} // namespace torva::relay
