#include "PassphraseCipher.h"

#include "AesGcm.h"
#include "Corvane.h"
#include "Pbkdf2.h"
#include "SealedMessage.h"
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
    if (auto answered = output.Reserve(input.size + format::kPassOverhead)) return *answered;
    format::PassHeader header;
    header.version = format::kPassVersion;
    header.iterations = m_iterations;
    if (DWORD s = FillRandom(header.salt, format::kSaltSize)) return s;
    if (DWORD s = FillRandom(header.nonce, format::kNonceSize)) return s;

    SecureBuffer key(format::kKeySize);
    if (DWORD s = Derive(header, key.data())) return s;
    AesGcm aes;
    if (DWORD s = AesGcm::Create(key.data(), aes)) return s;

    ByteView headerBytes{reinterpret_cast<const BYTE*>(&header), sizeof(header)};
    return SealMessage(aes, headerBytes, header.nonce, headerBytes, input, output);
}

DWORD PassphraseCipher::Decrypt(ByteView input, OutputSlot& output) const {
    format::PassHeader header;
    if (auto answered = ReadHeader(input, format::kPassVersion, header, output)) return *answered;
    // A count outside what Encrypt writes cannot be ours; refusing it early
    // keeps a forged header from costing minutes of key derivation.
    if (header.iterations == 0 || header.iterations > format::kMaxIterations)
        return TVRCT_E_AUTH_FAILED;

    SecureBuffer key(format::kKeySize);
    if (DWORD s = Derive(header, key.data())) return s;
    AesGcm aes;
    if (DWORD s = AesGcm::Create(key.data(), aes)) return s;

    ByteView aad{input.data, sizeof(header)};
    return OpenMessage(aes, input, sizeof(header), header.nonce, aad, output);
}

} // namespace corvane
