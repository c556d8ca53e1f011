// The exported functions: argument checks around the internal classes, on the
// product's settings key. No exception leaves this file: each one becomes
// TVRAUTH_E_INTERNAL.
#include "Peltrix.h"

#include "Authenticator.h"
#include "SecretSessionTable.h"
#include "StoreFormat.h"

namespace {

template <typename Function> DWORD Guarded(Function&& function) noexcept {
    try {
        return function();
    } catch (...) {
        return TVRAUTH_E_INTERNAL;
    }
}

} // namespace

extern "C" {

DWORD TVRAUTH_CALL TvrAuth_AuthenticateUser(eAuthCase authCase) {
    return Guarded([&] {
        return peltrix::Authenticator(peltrix::kProductSettingsRoot)
            .Authenticate(static_cast<DWORD>(authCase));
    });
}

DWORD TVRAUTH_CALL TvrAuth_OpenSecretSession(TVRAUTH_HSESSION* session) {
    if (session == nullptr) return TVRAUTH_E_INVALID_ARG;
    return Guarded([&] {
        return peltrix::SecretSessionTable::Process().Open(peltrix::kProductSettingsRoot, session);
    });
}

DWORD TVRAUTH_CALL TvrAuth_GetAuthRule(TVRAUTH_HSESSION session, BYTE* buffer, DWORD* size) {
    if (size == nullptr) return TVRAUTH_E_INVALID_ARG;
    return Guarded([&] {
        const auto found = peltrix::SecretSessionTable::Process().Find(session);
        if (!found) return static_cast<DWORD>(TVRAUTH_E_INVALID_HANDLE);
        return found->GetAuthRule(buffer, size);
    });
}

DWORD TVRAUTH_CALL TvrAuth_GetAuthSecret(TVRAUTH_HSESSION session, DWORD deviceKind, DWORD index,
                                         BYTE* buffer, DWORD* size) {
    if (size == nullptr) return TVRAUTH_E_INVALID_ARG;
    return Guarded([&] {
        const auto found = peltrix::SecretSessionTable::Process().Find(session);
        if (!found) return static_cast<DWORD>(TVRAUTH_E_INVALID_HANDLE);
        return found->GetAuthSecret(deviceKind, index, buffer, size);
    });
}

DWORD TVRAUTH_CALL TvrAuth_GetPINCacheTime(TVRAUTH_HSESSION session, DWORD* value) {
    if (value == nullptr) return TVRAUTH_E_INVALID_ARG;
    return Guarded([&] {
        const auto found = peltrix::SecretSessionTable::Process().Find(session);
        if (!found) return static_cast<DWORD>(TVRAUTH_E_INVALID_HANDLE);
        return found->GetPinCacheTime(value);
    });
}

DWORD TVRAUTH_CALL TvrAuth_CloseSecretSession(TVRAUTH_HSESSION session) {
    return Guarded([&] { return peltrix::SecretSessionTable::Process().Close(session); });
}

} // extern "C"
