// The single-instance guard of the program: the named event
// "TVRIMPORTEXPORT_CHECK_EVENT" (auto-reset, not signalled, default
// security), held until the process ends.
#pragma once

#include "InstanceGuard.h"

namespace vantrel {

using torva::InstanceState;

inline constexpr wchar_t kInstanceEventName[] = L"TVRIMPORTEXPORT_CHECK_EVENT";

class SingleInstance : public torva::InstanceGuard {
public:
    SingleInstance() noexcept : InstanceGuard(Kind::Event, kInstanceEventName) {}
};

} // namespace vantrel
