// The single-instance guard of a program: a named kernel object that the
// first instance makes and holds until it ends (or releases the guard). A
// later start finds the name taken and ends as its program says. Each
// program keeps its own name and kind of object.
#pragma once

#include "Win32Handles.h"

#include <utility>

namespace torva {

enum class InstanceState {
    First,          // this process holds the object
    AlreadyRunning, // another process holds it
    Failed,         // the object could not be made
};

class InstanceGuard {
public:
    enum class Kind {
        Event, // auto-reset, not signalled
        Mutex, // owned by the process that makes it
    };

    InstanceGuard(Kind kind, const wchar_t* name) noexcept : m_kind(kind), m_name(name) {}

    // Makes the object with default security. When the name was taken the
    // handle just made is closed again and what the guard held stays.
    InstanceState Acquire() {
        UniqueHandle made(m_kind == Kind::Event ? ::CreateEventW(nullptr, FALSE, FALSE, m_name)
                                                : ::CreateMutexW(nullptr, TRUE, m_name));
        if (!made) return InstanceState::Failed;
        if (::GetLastError() == ERROR_ALREADY_EXISTS) return InstanceState::AlreadyRunning;
        m_object = std::move(made);
        return InstanceState::First;
    }
    void Release() noexcept { m_object.reset(); }

private:
    Kind m_kind;
    const wchar_t* m_name;
    UniqueHandle m_object;
};

} // namespace torva
