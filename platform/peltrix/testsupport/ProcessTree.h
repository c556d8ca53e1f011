// Whether a process is this one or was started by it, directly or through
// processes that still run (toolhelp's parent ids). A parent id whose process
// started after its child has been reused by an unrelated process and ends
// the chain, as does a parent that has ended: such processes count as
// outsiders, which errs on the side of leaving their windows alone.
#pragma once

#include <windows.h>

namespace peltrix::test {

bool IsThisProcessOrDescendant(DWORD processId);

} // namespace peltrix::test
