#include "UserCipher.h"

#include <cstring>
#include <utility>

#include "AesGcm.h"
#include "CipherFormat.h"
#include "Corvane.h"
#include "SecureBuffer.h"
#include "SystemRandom.h"

namespace corvane {
namespace {

[[nodiscard]] DWORD LoadCipher(const UserKeyFile& keyFile, AesGcm& aes) {
    SecureBuffer key;
    if (DWORD s = keyFile.Load(key)) return s;
    return AesGcm::Create(key.data(), aes);
}

} // namespace

UserCipher::UserCipher(UserKeyFile keyFile) : m_keyFile(std::move(keyFile)) {}

DWORD UserCipher::Encrypt(ByteView input, OutputSlot& output) const {
    if (input.size > MAXDWORD - format::kUserOverhead) return TVRCT_E_INVALID_ARG;
    const DWORD sealedSize = input.size + format::kUserOverhead;
    switch (output.Check(sealedSize)) {
    case OutputSlot::Fit::Query:
        return TVRCT_OK;
    case OutputSlot::Fit::TooSmall:
        return TVRCT_E_MORE_DATA;
    case OutputSlot::Fit::Fits:
        break;
    }
    AesGcm aes;
    if (DWORD s = LoadCipher(m_keyFile, aes)) return s;

    SecureBuffer sealed(sealedSize);
    format::UserHeader header;
    header.version = format::kUserVersion;
    if (DWORD s = FillRandom(header.nonce, format::kNonceSize)) return s;
    std::memcpy(sealed.data(), &header, sizeof(header));
    BYTE tag[format::kTagSize];
    ByteView aad{&header.version, sizeof(header.version)};
    if (DWORD s = aes.Seal(header.nonce, aad, input, sealed.data() + sizeof(header), tag)) return s;
    std::memcpy(sealed.data() + sizeof(header) + input.size, tag, sizeof(tag));
    output.Commit(sealed.data(), sealedSize);
    return TVRCT_OK;
}

DWORD UserCipher::Decrypt(ByteView input, OutputSlot& output) const {
    if (input.size < format::kUserOverhead) return TVRCT_E_AUTH_FAILED;
    format::UserHeader header;
    std::memcpy(&header, input.data, sizeof(header));
    if (header.version != format::kUserVersion) return TVRCT_E_AUTH_FAILED;
    const DWORD plainSize = input.size - format::kUserOverhead;
    switch (output.Check(plainSize)) {
    case OutputSlot::Fit::Query:
        if (plainSize != 0) return TVRCT_OK;
        break;
    case OutputSlot::Fit::TooSmall:
        return TVRCT_E_MORE_DATA;
    case OutputSlot::Fit::Fits:
        break;
    }
    AesGcm aes;
    if (DWORD s = LoadCipher(m_keyFile, aes)) return s;

    BYTE tag[format::kTagSize];
    std::memcpy(tag, input.data + sizeof(header) + plainSize, sizeof(tag));
    ByteView aad{&header.version, sizeof(header.version)};
    ByteView body{input.data + sizeof(header), plainSize};
    // Decrypted aside: the caller's buffer receives only authenticated text.
    SecureBuffer plain(plainSize);
    if (DWORD s = aes.Open(header.nonce, aad, body, tag, plain.data())) return s;
    output.Commit(plain.data(), plainSize);
    return TVRCT_OK;
}

} // namespace corvane
