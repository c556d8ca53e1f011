// A read-only view of caller-owned bytes; the owner outlives the view.
#pragma once

#include <windows.h>

namespace corvane {

struct ByteView {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

} // namespace corvane
