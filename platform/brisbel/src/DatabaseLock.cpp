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
    std::swprintf(name, std::size(name), L"Local\\Brisbel.%016llX",
                  static_cast<unsigned long long>(hash));
    return name;
}

DWORD DatabaseLock::Create(const std::wstring& identity) {
    // No DACL: processes of other accounts in the session (a service's
    // helper, an elevated tool) share the same databases.
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
