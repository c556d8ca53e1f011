#include "AesGcm.h"

#include "CngStatus.h"
#include "Corvane.h"

#include <utility>

namespace corvane {
namespace {

BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO ModeInfo(const BYTE (&nonce)[format::kNonceSize],
                                               ByteView aad, const BYTE* tag) {
    BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info;
    BCRYPT_INIT_AUTH_MODE_INFO(info);
    info.pbNonce = const_cast<BYTE*>(nonce);
    info.cbNonce = format::kNonceSize;
    info.pbAuthData = aad.size != 0 ? const_cast<BYTE*>(aad.data) : nullptr;
    info.cbAuthData = aad.size;
    info.pbTag = const_cast<BYTE*>(tag);
    info.cbTag = format::kTagSize;
    return info;
}

// One GCM pass in either direction: CNG's encrypt and decrypt calls take the
// same arguments, and both leave the tag check or tag output to info.
DWORD Run(decltype(&BCryptEncrypt) pass, BCRYPT_KEY_HANDLE key,
          const BYTE (&nonce)[format::kNonceSize], ByteView aad, ByteView in, BYTE* out,
          const BYTE* tag) {
    if (key == nullptr) return TVRCT_E_PROVIDER;
    BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info = ModeInfo(nonce, aad, tag);
    // Empty messages are legal; CNG wants real pointers even for zero bytes.
    BYTE none = 0;
    ULONG written = 0;
    NTSTATUS status = pass(key, in.size != 0 ? const_cast<BYTE*>(in.data) : &none, in.size, &info,
                           nullptr, 0, in.size != 0 ? out : &none, in.size, &written, 0);
    if (DWORD s = StatusFromNt(status)) return s;
    return written == in.size ? TVRCT_OK : TVRCT_E_PROVIDER;
}

} // namespace

DWORD AesGcm::Create(const BYTE* key, AesGcm& out) {
    AesGcm made;
    if (DWORD s = StatusFromNt(
            BCryptOpenAlgorithmProvider(made.m_alg.put(), BCRYPT_AES_ALGORITHM, nullptr, 0)))
        return s;
    if (DWORD s = StatusFromNt(
            BCryptSetProperty(made.m_alg.get(), BCRYPT_CHAINING_MODE, (PUCHAR)BCRYPT_CHAIN_MODE_GCM,
                              static_cast<ULONG>(sizeof(BCRYPT_CHAIN_MODE_GCM)), 0)))
        return s;
    // CNG keeps its own copy of the key; the caller's bytes are not referenced
    // after this call.
    if (DWORD s =
            StatusFromNt(BCryptGenerateSymmetricKey(made.m_alg.get(), made.m_key.put(), nullptr, 0,
                                                    const_cast<BYTE*>(key), format::kKeySize, 0)))
        return s;
    out.m_key.reset();
    out.m_alg = std::move(made.m_alg);
    out.m_key = std::move(made.m_key);
    return TVRCT_OK;
}

DWORD AesGcm::Seal(const BYTE (&nonce)[format::kNonceSize], ByteView aad, ByteView plain,
                   BYTE* cipher, BYTE (&tag)[format::kTagSize]) const {
    return Run(BCryptEncrypt, m_key.get(), nonce, aad, plain, cipher, tag);
}

DWORD AesGcm::Open(const BYTE (&nonce)[format::kNonceSize], ByteView aad, ByteView cipher,
                   const BYTE (&tag)[format::kTagSize], BYTE* plain) const {
    return Run(BCryptDecrypt, m_key.get(), nonce, aad, cipher, plain, tag);
}

} // namespace corvane
