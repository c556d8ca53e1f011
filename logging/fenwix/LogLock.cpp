#include "LogLock.h"

#include "LogFormat.h"

#include <cstdio>

namespace torva::fenwix {

LogLock::LogLock(const std::wstring& name, DWORD timeoutMs) noexcept
    : m_event(::OpenEventW(SYNCHRONIZE | EVENT_MODIFY_STATE, FALSE, name.c_str())) {
    if (!m_event) return;
    m_held = ::WaitForSingleObject(m_event.get(), timeoutMs) == WAIT_OBJECT_0;
}

LogLock::~LogLock() {
    if (m_held) ::SetEvent(m_event.get());
}

std::wstring LogLock::NameFor(DWORD processId) {
    wchar_t name[kMaxLockNameChars + 1] = {};
    _snwprintf(name, kMaxLockNameChars, kLockNameFormat, kFilePrefix, static_cast<int>(processId));
    return name;
}

UniqueHandle LogLock::CreateLockEvent(const std::wstring& name) {
    return UniqueHandle(::CreateEventW(nullptr, FALSE, TRUE, name.c_str()));
}

} // namespace torva::fenwix
