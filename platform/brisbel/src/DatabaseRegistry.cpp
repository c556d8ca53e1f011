#include "DatabaseRegistry.h"

namespace brisbel {

DatabaseRegistry& DatabaseRegistry::Instance() {
    static DatabaseRegistry* registry = new DatabaseRegistry;
    return *registry;
}

DWORD DatabaseRegistry::Open(const std::wstring& folder, const std::wstring& name,
                             std::shared_ptr<Database>& out) {
    std::wstring identity;
    if (const DWORD status = Database::IdentityOf(folder, name, identity)) return status;

    std::lock_guard<std::mutex> guard(m_mutex);
    for (auto it = m_open.begin(); it != m_open.end();) {
        it = it->second.expired() ? m_open.erase(it) : std::next(it);
    }
    if (auto existing = m_open[identity].lock()) {
        out = std::move(existing);
        return TVRDB_OK;
    }
    auto database = std::make_shared<Database>(folder, name, identity);
    if (const DWORD status = database->Open()) return status;
    m_open[identity] = database;
    out = std::move(database);
    return TVRDB_OK;
}

} // namespace brisbel
