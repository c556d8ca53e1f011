// The lock that serializes every call on one database across processes: a
// named mutex in the machine-wide namespace whose name comes from the
// database's full path, so every process that opens the same files takes the
// same lock, whatever session it runs in.
#pragma once

#include "Win32Handles.h"

#include <windows.h>

#include <optional>
#include <string>

namespace brisbel {

class DatabaseLock {
public:
    // identity: the database's full path in folded form.
    [[nodiscard]] DWORD Create(const std::wstring& identity);

    // Waits up to timeoutMs. TVRDB_OK with held engaged; abandoned tells that
    // the previous owner died holding it (its write may be torn, or its
    // compaction half done: the caller recovers). TVRDB_E_BUSY on timeout.
    [[nodiscard]] DWORD Acquire(DWORD timeoutMs, std::optional<torva::MutexLock>& held,
                                bool& abandoned);

    static std::wstring NameFor(const std::wstring& identity);

private:
    torva::UniqueHandle m_mutex;
};

} // namespace brisbel
