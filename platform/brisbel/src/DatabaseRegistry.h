// The databases open in this process, one object per database file set:
// several opens of the same database share its tree and its file handle.
// Thread-safe.
#pragma once

#include "Database.h"

#include <windows.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace brisbel {

class DatabaseRegistry {
public:
    // The process-wide registry. Never destroyed: at process exit other
    // threads may have died inside a call, holding its locks.
    static DatabaseRegistry& Instance();

    // The open database NAME in folder, opening (and replaying) it when no
    // one in this process has it open. The object lives while a caller
    // holds it.
    [[nodiscard]] DWORD Open(const std::wstring& folder, const std::wstring& name,
                             std::shared_ptr<Database>& out);

private:
    std::mutex m_mutex;
    std::map<std::wstring, std::weak_ptr<Database>> m_open; // by identity
};

} // namespace brisbel
