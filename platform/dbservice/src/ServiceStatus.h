// The statuses this service puts into a reply. 3 is left out on purpose:
// clients use it for "no reply at all", and a reply must never look like one.
#pragma once

#include <cstdint>

namespace dbservice {

constexpr uint32_t kStatusDone = 0;
constexpr uint32_t kStatusRefused = 1;       // a folder other than the served one, a name that is
                                             // no database name, or initialising a shared
                                             // database without being an administrator
constexpr uint32_t kStatusBusy = 2;          // the database's lock was not had in time
constexpr uint32_t kStatusFailed = 4;        // the files could not be read or written
constexpr uint32_t kStatusCallerUnknown = 5; // the caller could not be identified from the pipe

// The state of a damaged database in a check's reply: the database
// library's own corruption result.
constexpr uint32_t kStateDamaged = 26;

} // namespace dbservice
