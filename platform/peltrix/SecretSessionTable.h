// The open secret sessions of a process. A handle is a tagged serial number,
// never a pointer: an unknown, forged or closed handle is looked up, not
// dereferenced, and serials are not reused while the table lives.
// All members are safe to call from any thread; a session closed while
// another thread reads it stays alive until that read ends.
#pragma once

#include "Peltrix.h"
#include "SecretSession.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace peltrix {

class SecretSessionTable {
public:
    // The table behind the exported functions.
    static SecretSessionTable& Process();

    [[nodiscard]] DWORD Open(const std::wstring& settingsRoot, TVRAUTH_HSESSION* session);
    // Null for a handle that is unknown or already closed.
    [[nodiscard]] std::shared_ptr<const SecretSession> Find(TVRAUTH_HSESSION session) const;
    [[nodiscard]] DWORD Close(TVRAUTH_HSESSION session);
    std::size_t OpenCount() const;

private:
    static constexpr std::uintptr_t kTag = 0xA5;
    static constexpr int kTagBits = 8;

    mutable std::mutex m_mutex;
    std::unordered_map<std::uintptr_t, std::shared_ptr<const SecretSession>> m_sessions;
    std::uintptr_t m_nextSerial = 1;
};

} // namespace peltrix
