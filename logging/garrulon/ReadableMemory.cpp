#include "ReadableMemory.h"

#include <windows.h>

#include <cstdint>

namespace torva::garrulon {

namespace {

bool ReadableProtection(DWORD protect) {
    if (protect & (PAGE_GUARD | PAGE_NOACCESS)) return false;
    constexpr DWORD readable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                               PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    return (protect & readable) != 0;
}

} // namespace

bool IsReadable(const void* data, std::size_t size) {
    if (size == 0) return true;
    if (data == nullptr) return false;
    const auto first = reinterpret_cast<std::uintptr_t>(data);
    if (first + size < first) return false;
    const std::uintptr_t end = first + size;

    // Walks the regions the range spans; each region has one state and one
    // protection throughout.
    std::uintptr_t at = first;
    while (at < end) {
        MEMORY_BASIC_INFORMATION info{};
        if (::VirtualQuery(reinterpret_cast<const void*>(at), &info, sizeof(info)) == 0)
            return false;
        if (info.State != MEM_COMMIT || !ReadableProtection(info.Protect)) return false;
        const auto regionEnd = reinterpret_cast<std::uintptr_t>(info.BaseAddress) + info.RegionSize;
        if (regionEnd <= at) return false;
        at = regionEnd;
    }
    return true;
}

} // namespace torva::garrulon
