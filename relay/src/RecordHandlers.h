// One handler per request type. Each gets the dispatcher's own writable copy
// of the whole message (header included, size already checked against the
// header's size field) and either fills `reply` and returns true, or returns
// false, which the dispatcher answers with TYPE_ERROR. Handlers never read
// or write outside [request, request + size) nor outside their own buffers,
// whatever the request's fields announce; they may throw std::bad_alloc.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "RelayLibraries.h"

namespace torva::relay {

using Reply = std::vector<BYTE>;

// Types 3 to 10 and 13: the reply is the request record with its result, its
// returned handle or name, its type and its size changed.
[[nodiscard]] bool AnswerFixedRecord(const RelayLibraries& libraries, uint32_t type, BYTE* request,
                                     DWORD size, Reply& reply);
// Types 1 and 2.
[[nodiscard]] bool AnswerCrypt(const RelayLibraries& libraries, uint32_t type, BYTE* request,
                               DWORD size, Reply& reply);
// Type 11.
[[nodiscard]] bool AnswerQueryValue(const RelayLibraries& libraries, BYTE* request, DWORD size,
                                    Reply& reply);
// Type 12.
[[nodiscard]] bool AnswerSetValue(const RelayLibraries& libraries, BYTE* request, DWORD size,
                                  Reply& reply);

// The fixed record size of types 3 to 10 and 13; 0 for every other type.
uint32_t FixedRecordSize(uint32_t type) noexcept;

} // namespace torva::relay
