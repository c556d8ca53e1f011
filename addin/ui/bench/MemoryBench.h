// The memory of a real iexplore.exe with the add-in registered: a browser
// script opens the stored login page again and again and waits for the fill
// each time; this program reads the browser's private bytes while the
// script holds still after 10 loads and after all of them.
#pragma once

#include <windows.h>

#include <string>

namespace bench {

struct MemoryResult {
    bool ok = false;
    std::wstring why;
    SIZE_T afterFew = 0;  // private bytes after `few` loads
    SIZE_T afterMany = 0; // after `many`
    // The committed private regions of the address space (VirtualQueryEx):
    // heaps, stacks and private allocations, which also moves under Wine.
    SIZE_T committedFew = 0;
    SIZE_T committedMany = 0;
    double manySeconds = 0;      // time of the loads between the two readings
    const wchar_t* source = L""; // the counter read (see PrivateBytes)
};

MemoryResult RunMemoryBench(int few, int many);

} // namespace bench
