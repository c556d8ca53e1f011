#include "HandleCount.h"

#include <vector>

namespace torva::relay::test {
namespace {

// SystemHandleInformation: a count, then one entry per handle of the system.
constexpr ULONG kSystemHandleInformation = 16;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);

struct SystemHandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE handleFlags;
    USHORT handleValue;
    PVOID object;
    ULONG access;
};
struct SystemHandleList {
    ULONG count;
    SystemHandleEntry entries[1];
};

using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

bool CountInSystemList(DWORD pid, DWORD* count) {
    const auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return false;
    std::vector<BYTE> buffer(1 << 16);
    for (int attempt = 0; attempt < 8; ++attempt) {
        ULONG needed = 0;
        const LONG status = query(kSystemHandleInformation, buffer.data(),
                                  static_cast<ULONG>(buffer.size()), &needed);
        if (status == kInfoLengthMismatch) {
            buffer.resize(buffer.size() * 4);
            continue;
        }
        if (status < 0) return false;
        const auto* list = reinterpret_cast<const SystemHandleList*>(buffer.data());
        DWORD found = 0;
        for (ULONG i = 0; i < list->count; ++i) {
            if (list->entries[i].ownerPid == pid) ++found;
        }
        *count = found;
        return found != 0;
    }
    return false;
}

} // namespace

bool ProcessHandleCount(HANDLE process, DWORD* count) {
    DWORD reported = 0;
    if (::GetProcessHandleCount(process, &reported) && reported != 0) {
        *count = reported;
        return true;
    }
    const DWORD pid = ::GetProcessId(process);
    return pid != 0 && CountInSystemList(pid, count);
}

} // namespace torva::relay::test
