#include "SecretSessionTable.h"

namespace peltrix {

SecretSessionTable& SecretSessionTable::Process() {
    static SecretSessionTable table;
    return table;
}

DWORD SecretSessionTable::Open(const std::wstring& settingsRoot, TVRAUTH_HSESSION* session) {
    if (session == nullptr) return TVRAUTH_E_INVALID_ARG;
    // Loaded outside the lock: the registry may be slow and other sessions
    // must not wait for it.
    auto loaded = std::make_shared<SecretSession>();
    const DWORD status = SecretSession::Load(settingsRoot, *loaded);
    if (status != TVRAUTH_OK) return status;

    std::lock_guard<std::mutex> lock(m_mutex);
    constexpr std::uintptr_t kMaxSerial = ~std::uintptr_t{0} >> kTagBits;
    std::uintptr_t value = 0;
    for (;;) {
        const std::uintptr_t serial = m_nextSerial;
        m_nextSerial = serial == kMaxSerial ? 1 : serial + 1;
        value = (serial << kTagBits) | kTag;
        // Only after wrapping around can a serial still be in use.
        if (m_sessions.find(value) == m_sessions.end()) break;
    }
    m_sessions.emplace(value, std::move(loaded));
    *session = reinterpret_cast<TVRAUTH_HSESSION>(value);
    return TVRAUTH_OK;
}

std::shared_ptr<const SecretSession> SecretSessionTable::Find(TVRAUTH_HSESSION session) const {
    const auto value = reinterpret_cast<std::uintptr_t>(session);
    if ((value & ((std::uintptr_t{1} << kTagBits) - 1)) != kTag) return nullptr;
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_sessions.find(value);
    if (found == m_sessions.end()) return nullptr;
    return found->second;
}

DWORD SecretSessionTable::Close(TVRAUTH_HSESSION session) {
    std::shared_ptr<const SecretSession> closing;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = m_sessions.find(reinterpret_cast<std::uintptr_t>(session));
        if (found == m_sessions.end()) return TVRAUTH_E_INVALID_HANDLE;
        closing = std::move(found->second);
        m_sessions.erase(found);
    }
    // The snapshot is freed here, outside the lock, unless a reader holds it.
    return TVRAUTH_OK;
}

std::size_t SecretSessionTable::OpenCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_sessions.size();
}

} // namespace peltrix
