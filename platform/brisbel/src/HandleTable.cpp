#include "HandleTable.h"

namespace brisbel {
namespace {

// Low bits tell the kinds apart, so a key handle passed as a database handle
// (or the other way round) is never found.
constexpr uintptr_t kDatabaseTag = 1;
constexpr uintptr_t kKeyTag = 2;
constexpr unsigned kTagBits = 2;

uintptr_t ValueOf(const void* handle) noexcept {
    return reinterpret_cast<uintptr_t>(handle);
}

} // namespace

HandleTable& HandleTable::Instance() {
    static HandleTable* table = new HandleTable;
    return *table;
}

uintptr_t HandleTable::NextValue(uintptr_t tag) noexcept {
    return (++m_serial << kTagBits) | tag;
}

DWORD HandleTable::AddDatabase(std::shared_ptr<Database> database, TVRDB_HDB* handle) {
    std::lock_guard<std::mutex> guard(m_mutex);
    const uintptr_t value = NextValue(kDatabaseTag);
    m_databases.emplace(value, DatabaseEntry{std::move(database), {}});
    *handle = reinterpret_cast<TVRDB_HDB>(value);
    return TVRDB_OK;
}

DWORD HandleTable::CloseDatabase(TVRDB_HDB handle) {
    std::shared_ptr<Database> last; // released after the table's lock
    std::lock_guard<std::mutex> guard(m_mutex);
    const auto it = m_databases.find(ValueOf(handle));
    if (it == m_databases.end()) return TVRDB_E_INVALID_HANDLE;
    for (const uintptr_t key : it->second.keys)
        m_keys.erase(key);
    last = std::move(it->second.database);
    m_databases.erase(it);
    return TVRDB_OK;
}

DWORD HandleTable::FindDatabase(TVRDB_HDB handle, std::shared_ptr<Database>& database) {
    std::lock_guard<std::mutex> guard(m_mutex);
    const auto it = m_databases.find(ValueOf(handle));
    if (it == m_databases.end()) return TVRDB_E_INVALID_HANDLE;
    database = it->second.database;
    return TVRDB_OK;
}

DWORD HandleTable::AddKey(TVRDB_HDB db, KeyPath path, TVRDB_HKEY* handle) {
    auto shared = std::make_shared<const KeyPath>(std::move(path));
    std::lock_guard<std::mutex> guard(m_mutex);
    const auto owner = m_databases.find(ValueOf(db));
    if (owner == m_databases.end()) return TVRDB_E_INVALID_HANDLE;
    const uintptr_t value = NextValue(kKeyTag);
    owner->second.keys.insert(value);
    try {
        m_keys.emplace(value, KeyEntry{owner->second.database, std::move(shared), owner->first});
    } catch (...) {
        owner->second.keys.erase(value);
        throw;
    }
    *handle = reinterpret_cast<TVRDB_HKEY>(value);
    return TVRDB_OK;
}

DWORD HandleTable::CloseKey(TVRDB_HDB db, TVRDB_HKEY key) {
    std::lock_guard<std::mutex> guard(m_mutex);
    const auto owner = m_databases.find(ValueOf(db));
    const auto it = m_keys.find(ValueOf(key));
    if (owner == m_databases.end() || it == m_keys.end()) return TVRDB_E_INVALID_HANDLE;
    if (it->second.database != owner->second.database) return TVRDB_E_INVALID_HANDLE;
    const auto opener = m_databases.find(it->second.owner);
    if (opener != m_databases.end()) opener->second.keys.erase(it->first);
    m_keys.erase(it);
    return TVRDB_OK;
}

DWORD HandleTable::FindKey(TVRDB_HDB db, TVRDB_HKEY key, std::shared_ptr<Database>& database,
                           std::shared_ptr<const KeyPath>& path) {
    std::lock_guard<std::mutex> guard(m_mutex);
    const auto owner = m_databases.find(ValueOf(db));
    const auto it = m_keys.find(ValueOf(key));
    if (owner == m_databases.end() || it == m_keys.end()) return TVRDB_E_INVALID_HANDLE;
    if (it->second.database != owner->second.database) return TVRDB_E_INVALID_HANDLE;
    database = it->second.database;
    path = it->second.path;
    return TVRDB_OK;
}

} // namespace brisbel
