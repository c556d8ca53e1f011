#include "ProcessTree.h"

#include "Win32Handles.h"

#include <tlhelp32.h>

#include <map>

namespace peltrix::test {
namespace {

// Creation time of a process; false when it cannot be opened (ended).
bool StartTime(DWORD processId, ULONGLONG& time) {
    const torva::UniqueHandle process(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return false;
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!::GetProcessTimes(process.get(), &created, &exited, &kernel, &user)) return false;
    time = (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    return true;
}

std::map<DWORD, DWORD> ParentIds() {
    std::map<DWORD, DWORD> parents;
    const torva::UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return parents;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry)) {
        parents[entry.th32ProcessID] = entry.th32ParentProcessID;
    }
    return parents;
}

} // namespace

bool IsThisProcessOrDescendant(DWORD processId) {
    const DWORD self = ::GetCurrentProcessId();
    if (processId == self) return true;
    const std::map<DWORD, DWORD> parents = ParentIds();
    DWORD current = processId;
    ULONGLONG currentStart = 0;
    if (!StartTime(current, currentStart)) return false;
    // The depth bound only guards against a cycle of reused ids.
    for (int depth = 0; depth < 64; ++depth) {
        const auto found = parents.find(current);
        if (found == parents.end() || found->second == 0 || found->second == current) return false;
        const DWORD parent = found->second;
        ULONGLONG parentStart = 0;
        if (!StartTime(parent, parentStart) || parentStart > currentStart) return false;
        if (parent == self) return true;
        current = parent;
        currentStart = parentStart;
    }
    return false;
}

} // namespace peltrix::test
