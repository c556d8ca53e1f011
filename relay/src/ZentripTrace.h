// Zentrip's trace lines: entry and return lines at level 1, progress lines at
// level 3, each with its source file and line, through the process's trace
// hook (bound at start by wWinMain). With no trace library bound nothing is
// written and nothing fails; built without the trace hook, the lines vanish.
#pragma once

#ifdef ZENTRIP_WITH_TRACE_HOOK
#include "TraceScope.h"
#define ZT_TRACE_SCOPE(function) TORVA_TRACE_SCOPE(function)
#define ZT_RETURN_INT(value) TORVA_RETURN_INT(value)
#define ZT_RETURN_VOID() TORVA_RETURN_VOID()
#define ZT_TRACE_PROGRESS(...) TORVA_TRACE_DETAIL(__VA_ARGS__)
#else
#define ZT_TRACE_SCOPE(function) ((void)0)
#define ZT_RETURN_INT(value) return (value)
#define ZT_RETURN_VOID() return
#define ZT_TRACE_PROGRESS(...) ((void)0)
#endif
