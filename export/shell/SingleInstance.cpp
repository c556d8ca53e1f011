#include "SingleInstance.h"

namespace vantrel {

const wchar_t kInstanceEventName[] = L"TVRIMPORTEXPORT_CHECK_EVENT";

SingleInstance::~SingleInstance() {
    if (m_event)
        CloseHandle(m_event);
}

InstanceState SingleInstance::Acquire() {
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, kInstanceEventName);
    if (!event)
        return InstanceState::Failed;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(event);
        return InstanceState::AlreadyRunning;
    }
    if (m_event)
        CloseHandle(m_event);
    m_event = event;
    return InstanceState::First;
}

}  // namespace vantrel
