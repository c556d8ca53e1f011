// The handles given to callers. A handle is a tagged serial number, never an
// address: unknown, closed and forged handles are recognised (a closed
// handle's number is never given out again) and cannot make the library
// touch freed memory. Thread-safe.
#pragma once

#include "Brisbel.h"
#include "Database.h"
#include "KeyPath.h"

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>

namespace brisbel {

class HandleTable {
public:
    // The table behind the exported calls (never destroyed, see DatabaseRegistry).
    static HandleTable& Instance();

    [[nodiscard]] DWORD AddDatabase(std::shared_ptr<Database> database, TVRDB_HDB* handle);
    // Also closes every key handle opened through it.
    [[nodiscard]] DWORD CloseDatabase(TVRDB_HDB handle);
    [[nodiscard]] DWORD FindDatabase(TVRDB_HDB handle, std::shared_ptr<Database>& database);

    // A key handle refers to its key by path: it outlives the key, and calls
    // through it then answer TVRDB_E_KEY_NOT_FOUND.
    [[nodiscard]] DWORD AddKey(TVRDB_HDB db, KeyPath path, TVRDB_HKEY* handle);
    [[nodiscard]] DWORD CloseKey(TVRDB_HDB db, TVRDB_HKEY key);
    // The key's database and path; TVRDB_E_INVALID_HANDLE when either handle
    // is unknown or the key belongs to another database.
    [[nodiscard]] DWORD FindKey(TVRDB_HDB db, TVRDB_HKEY key, std::shared_ptr<Database>& database,
                                std::shared_ptr<const KeyPath>& path);

private:
    struct DatabaseEntry {
        std::shared_ptr<Database> database;
        std::set<uintptr_t> keys;
    };
    struct KeyEntry {
        std::shared_ptr<Database> database;
        std::shared_ptr<const KeyPath> path;
        uintptr_t owner; // the database handle it was opened through
    };

    uintptr_t NextValue(uintptr_t tag) noexcept;

    std::mutex m_mutex;
    uintptr_t m_serial = 0;
    std::map<uintptr_t, DatabaseEntry> m_databases;
    std::map<uintptr_t, KeyEntry> m_keys;
};

} // namespace brisbel
