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
    if (!m_key) return TVRCT_E_PROVIDER;
    BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info = ModeInfo(nonce, aad, tag);
    // Empty messages are legal; CNG wants real pointers even for zero bytes.
    BYTE none = 0;
    ULONG written = 0;
    NTSTATUS status = BCryptEncrypt(
        m_key.get(), plain.size != 0 ? const_cast<BYTE*>(plain.data) : &none, plain.size, &info,
        nullptr, 0, plain.size != 0 ? cipher : &none, plain.size, &written, 0);
    if (DWORD s = StatusFromNt(status)) return s;
    return written == plain.size ? TVRCT_OK : TVRCT_E_PROVIDER;
}

DWORD AesGcm::Open(const BYTE (&nonce)[format::kNonceSize], ByteView aad, ByteView cipher,
                   const BYTE (&tag)[format::kTagSize], BYTE* plain) const {
    if (!m_key) return TVRCT_E_PROVIDER;
    BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info = ModeInfo(nonce, aad, tag);
    BYTE none = 0;
    ULONG written = 0;
    NTSTATUS status = BCryptDecrypt(
        m_key.get(), cipher.size != 0 ? const_cast<BYTE*>(cipher.data) : &none, cipher.size, &info,
        nullptr, 0, cipher.size != 0 ? plain : &none, cipher.size, &written, 0);
    if (DWORD s = StatusFromNt(status)) return s;
    return written == cipher.size ? TVRCT_OK : TVRCT_E_PROVIDER;
}

} // namespace corvane
