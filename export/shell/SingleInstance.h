// The single-instance guard of the program: the named event
// "TVRIMPORTEXPORT_CHECK_EVENT", held until the process ends.
#pragma once

#include <windows.h>

#include <memory>

namespace vantrel {

enum class InstanceState {
    First,          // this process holds the event
    AlreadyRunning, // another process holds it: end silently
    Failed,         // the event could not be made: end
};

class SingleInstance {
public:
    SingleInstance() = default;
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Creates the event (auto-reset, not signalled, default security).
    InstanceState Acquire();

private:
    HANDLE m_event = nullptr;
};

extern const wchar_t kInstanceEventName[];

}  // namespace vantrel
