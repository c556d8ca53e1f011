// The security attributes of the relay's pipe and handshake events: a
// descriptor with no access list at all, so that the add-in and the relay can
// open each other's objects whatever account or integrity level each runs at.
// Handles made with them are not inheritable.
#pragma once

#include <windows.h>

namespace torva::relay {

// One descriptor for the whole process, initialised on first use (thread-safe)
// and never freed; callers must not modify what the pointer refers to.
SECURITY_ATTRIBUTES* NullDaclAttributes() noexcept;

} // namespace torva::relay
