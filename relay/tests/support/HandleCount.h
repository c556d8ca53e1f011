// How many handles a process holds, for the leak checks of the relay tests.
#pragma once

#include <windows.h>

namespace torva::relay::test {

// The number of handles `process` (opened with query access) holds; false
// when it cannot be told. Where GetProcessHandleCount has nothing to say
// about another process (it answers 0 under Wine), the system's handle
// list is counted instead.
[[nodiscard]] bool ProcessHandleCount(HANDLE process, DWORD* count);

} // namespace torva::relay::test
