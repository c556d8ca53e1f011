#include "PassphraseCipher.h"

#include <cstring>

#include "AesGcm.h"
#include "Corvane.h"
#include "Pbkdf2.h"
#include "SecureBuffer.h"
#include "SystemRandom.h"

namespace corvane {

PassphraseCipher::PassphraseCipher(const wchar_t* passphrase, DWORD length,
                                   DWORD iterations) noexcept
    : m_passphrase{reinterpret_cast<const BYTE*>(passphrase),
                   static_cast<DWORD>(length * sizeof(wchar_t))},
      m_iterations(iterations) {}

DWORD PassphraseCipher::Derive(const format::PassHeader& header, BYTE* key) const {
    return DeriveKeyPbkdf2Sha256(m_passphrase, ByteView{header.salt, format::kSaltSize},
                                 header.iterations, key, format::kKeySize);
}

DWORD PassphraseCipher::Encrypt(ByteView input, OutputSlot& output) const {
    if (m_iterations == 0 || m_iterations > format::kMaxIterations) return TVRCT_E_INVALID_ARG;
    if (input.size > MAXDWORD - format::kPassOverhead) return TVRCT_E_INVALID_ARG;
    const DWORD sealedSize = input.size + format::kPassOverhead;
    switch (output.Check(sealedSize)) {
    case OutputSlot::Fit::Query:
        return TVRCT_OK;
    case OutputSlot::Fit::TooSmall:
        return TVRCT_E_MORE_DATA;
    case OutputSlot::Fit::Fits:
        break;
    }
    format::PassHeader header;
    header.version = format::kPassVersion;
    header.iterations = m_iterations;
    if (DWORD s = FillRandom(header.salt, format::kSaltSize)) return s;
    if (DWORD s = FillRandom(header.nonce, format::kNonceSize)) return s;

    SecureBuffer key(format::kKeySize);
    if (DWORD s = Derive(header, key.data())) return s;
    AesGcm aes;
    if (DWORD s = AesGcm::Create(key.data(), aes)) return s;

    SecureBuffer sealed(sealedSize);
    std::memcpy(sealed.data(), &header, sizeof(header));
    BYTE tag[format::kTagSize];
    ByteView aad{sealed.data(), sizeof(header)};
    if (DWORD s = aes.Seal(header.nonce, aad, input, sealed.data() + sizeof(header), tag)) return s;
    std::memcpy(sealed.data() + sizeof(header) + input.size, tag, sizeof(tag));
    output.Commit(sealed.data(), sealedSize);
    return TVRCT_OK;
}

DWORD PassphraseCipher::Decrypt(ByteView input, OutputSlot& output) const {
    if (input.size < format::kPassOverhead) return TVRCT_E_AUTH_FAILED;
    format::PassHeader header;
    std::memcpy(&header, input.data, sizeof(header));
    if (header.version != format::kPassVersion) return TVRCT_E_AUTH_FAILED;
    const DWORD plainSize = input.size - format::kPassOverhead;
    switch (output.Check(plainSize)) {
    case OutputSlot::Fit::Query:
        if (plainSize != 0) return TVRCT_OK;
        break;
    case OutputSlot::Fit::TooSmall:
        return TVRCT_E_MORE_DATA;
    case OutputSlot::Fit::Fits:
        break;
    }
    // A count outside what Encrypt writes cannot be ours; refusing it early
    // keeps a forged header from costing minutes of key derivation.
    if (header.iterations == 0 || header.iterations > format::kMaxIterations)
        return TVRCT_E_AUTH_FAILED;

    SecureBuffer key(format::kKeySize);
    if (DWORD s = Derive(header, key.data())) return s;
    AesGcm aes;
    if (DWORD s = AesGcm::Create(key.data(), aes)) return s;

    BYTE tag[format::kTagSize];
    std::memcpy(tag, input.data + sizeof(header) + plainSize, sizeof(tag));
    ByteView aad{input.data, sizeof(header)};
    ByteView body{input.data + sizeof(header), plainSize};
    SecureBuffer plain(plainSize);
    if (DWORD s = aes.Open(header.nonce, aad, body, tag, plain.data())) return s;
    output.Commit(plain.data(), plainSize);
    return TVRCT_OK;
}

} // namespace corvane
