#include "FreedMemory.h"

#include <cstring>

MaskedText::MaskedText(std::initializer_list<std::wstring_view> pieces) {
    for (std::wstring_view piece : pieces) {
        for (wchar_t c : piece) {
            m_masked.push_back(static_cast<BYTE>((c & 0xFF) ^ kMask));
            m_masked.push_back(static_cast<BYTE>((c >> 8) ^ kMask));
        }
    }
}

bool MaskedText::FoundInMemory() const {
    if (m_masked.empty()) return false;
    const BYTE first = m_masked[0] ^ kMask;
    const size_t n = m_masked.size();
    SYSTEM_INFO system = {};
    ::GetSystemInfo(&system);
    auto* at = static_cast<BYTE*>(system.lpMinimumApplicationAddress);
    auto* const end = static_cast<BYTE*>(system.lpMaximumApplicationAddress);
    MEMORY_BASIC_INFORMATION region = {};
    while (at < end && ::VirtualQuery(at, &region, sizeof region) == sizeof region) {
        auto* const base = static_cast<BYTE*>(region.BaseAddress);
        auto* const next = base + region.RegionSize;
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE &&
            (region.Protect & (PAGE_READWRITE | PAGE_EXECUTE_READWRITE)) &&
            !(region.Protect & (PAGE_GUARD | PAGE_NOACCESS)) && region.RegionSize >= n) {
            const BYTE* p = base;
            const BYTE* const last = next - n;
            while (p <= last) {
                p = static_cast<const BYTE*>(
                    std::memchr(p, first, static_cast<size_t>(last - p) + 1));
                if (!p) break;
                size_t i = 1;
                while (i < n && (p[i] ^ kMask) == m_masked[i])
                    ++i;
                if (i == n) return true;
                ++p;
            }
        }
        if (next <= at) break;
        at = next;
    }
    return false;
}
