// AES-256-GCM under one key, with 96-bit nonces and 128-bit tags. The key
// bytes are handed to CNG at creation and not kept here. One object may be
// used by one thread at a time.
#pragma once

#include <windows.h>

#include "BCryptHandles.h"
#include "ByteView.h"
#include "CipherFormat.h"

namespace corvane {

class AesGcm {
public:
    // key holds format::kKeySize bytes.
    [[nodiscard]] static DWORD Create(const BYTE* key, AesGcm& out);

    // Writes plain.size bytes to cipher and the tag to tag. The nonce must
    // never repeat under one key.
    [[nodiscard]] DWORD Seal(const BYTE (&nonce)[format::kNonceSize], ByteView aad, ByteView plain,
                             BYTE* cipher, BYTE (&tag)[format::kTagSize]) const;
    // Writes cipher.size bytes to plain; TVRCT_E_AUTH_FAILED when the tag does
    // not match, in which case plain holds garbage that the caller must wipe
    // and not hand out.
    [[nodiscard]] DWORD Open(const BYTE (&nonce)[format::kNonceSize], ByteView aad, ByteView cipher,
                             const BYTE (&tag)[format::kTagSize], BYTE* plain) const;

private:
    torva::UniqueBCryptAlg m_alg; // declared first: outlives m_key
    torva::UniqueBCryptKey m_key;
};

} // namespace corvane
