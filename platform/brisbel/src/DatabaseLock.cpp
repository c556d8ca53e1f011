#include "DatabaseLock.h"

#include "Brisbel.h"
#include "Win32Status.h"

#include <cwchar>

namespace brisbel {

std::wstring DatabaseLock::NameFor(const std::wstring& identity) {
    // FNV-1a over the UTF-16 units; a collision only makes two databases
    // share a lock, which costs waiting, never correctness.
    uint64_t hash = 14695981039346656037ull;
    for (const wchar_t c : identity) {
        hash ^= static_cast<uint16_t>(c);
        hash *= 1099511628211ull;
    }
    wchar_t name[64];
    // In the global namespace: the database service and its initialisation
    // program run in session 0, the user's programs in the user's session,
    // and all of them must take one lock. (A "Local\\" name would give each
    // session a lock of its own over the same files.)
    std::swprintf(name, std::size(name), L"Global\\Brisbel.%016llX",
                  static_cast<unsigned long long>(hash));
    return name;
}

DWORD DatabaseLock::Create(const std::wstring& identity) {
    // No DACL: processes of other accounts and sessions (the service, its
    // helpers, an elevated tool) share the same databases.
    SECURITY_DESCRIPTOR descriptor;
    if (!::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !::SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE)) {
        return Win32Status::FromLastError();
    }
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), &descriptor, FALSE};
    m_mutex.reset(::CreateMutexW(&attributes, FALSE, NameFor(identity).c_str()));
    return m_mutex ? TVRDB_OK : Win32Status::FromLastError();
}

DWORD DatabaseLock::Acquire(DWORD timeoutMs, std::optional<torva::MutexLock>& held,
                            bool& abandoned) {
    abandoned = false;
    switch (::WaitForSingleObject(m_mutex.get(), timeoutMs)) {
    case WAIT_ABANDONED:
        abandoned = true;
        [[fallthrough]];
    case WAIT_OBJECT_0:
        held.emplace(m_mutex.get());
        return TVRDB_OK;
    case WAIT_TIMEOUT:
        return TVRDB_E_BUSY;
    default:
        return Win32Status::FromLastError();
    }
}

} // namespace brisbel
