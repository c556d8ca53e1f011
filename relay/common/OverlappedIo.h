// Overlapped transfers on the relay pipe with the channel's sliced waits.
// Contract shared by every function here: when it returns, the operation it
// started is over - finished, failed, or cancelled and waited for - so the
// buffer and the OVERLAPPED on the caller's stack are never touched later.
#pragma once

#include <windows.h>

#include "RelayTimings.h"

namespace torva::relay {

enum class Transfer { Read, Write };

// Moves exactly `length` bytes, in as many operations as the pipe needs,
// within one budget for the whole transfer: firstWait ms (0: none) and then
// `timings.ioPolls` polls `timings.ioPollWait` ms apart (TransferBudget). The
// first wait for an unfinished operation is at most firstWait ms, every
// later one at most ioPollWait ms, and none goes past the budget, however
// many pieces the bytes come in. False on any failure, on a broken pipe
// before all bytes moved, and when the budget runs out. `event` is an
// auto-reset event that the caller owns and uses for nothing else meanwhile.
[[nodiscard]] bool TransferExactly(HANDLE pipe, HANDLE event, Transfer direction, BYTE* buffer,
                                   DWORD length, DWORD firstWait,
                                   const RelayTimings& timings) noexcept;

// The longest time in ms that one TransferExactly may take.
[[nodiscard]] ULONGLONG TransferBudget(DWORD firstWait, const RelayTimings& timings) noexcept;

// Result of waiting for a client on a server pipe instance.
enum class ConnectResult { Connected, TimedOut, Failed };

// Connects the server instance: completes when a client opens the pipe, or at
// once when one already has. Calls onWait before every unsignalled wait.
// `event` as for TransferExactly.
[[nodiscard]] ConnectResult ConnectServer(HANDLE pipe, HANDLE event, const RelayTimings& timings,
                                          void (*onWait)()) noexcept;

} // namespace torva::relay
