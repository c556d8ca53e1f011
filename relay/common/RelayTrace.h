// The channel's progress lines. They go to the process's trace hook at level 3
// under the source name "IERelayCtrl.h"; with no trace library bound they cost
// one test of a null pointer. Built without the trace hook, they vanish.
#pragma once

#ifdef RELAY_WITH_TRACE_HOOK
#include "Trace.h"
#define RELAY_TRACE_PROGRESS(text)                                                                 \
    ::torva::trace::Write(::torva::trace::kDetailLevel, L"IERelayCtrl.h", __LINE__, L"%s", text)
#else
#define RELAY_TRACE_PROGRESS(text) ((void)0)
#endif
