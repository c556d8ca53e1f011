#include "Pbkdf2.h"

#include <bcrypt.h>

#include "BCryptHandles.h"
#include "CngStatus.h"
#include "Corvane.h"

namespace corvane {

DWORD DeriveKeyPbkdf2Sha256(ByteView password, ByteView salt, DWORD iterations, BYTE* key,
                            DWORD keySize) {
    if (iterations == 0) return TVRCT_E_INVALID_ARG;
    torva::UniqueBCryptAlg hmac;
    if (DWORD s = StatusFromNt(BCryptOpenAlgorithmProvider(hmac.put(), BCRYPT_SHA256_ALGORITHM,
                                                           nullptr, BCRYPT_ALG_HANDLE_HMAC_FLAG)))
        return s;
    // An empty password is legal for PBKDF2; CNG wants a non-null pointer even then.
    BYTE none = 0;
    BYTE* passwordBytes = password.size != 0 ? const_cast<BYTE*>(password.data) : &none;
    return StatusFromNt(BCryptDeriveKeyPBKDF2(hmac.get(), passwordBytes, password.size,
                                              const_cast<BYTE*>(salt.data), salt.size, iterations,
                                              key, keySize, 0));
}

} // namespace corvane
