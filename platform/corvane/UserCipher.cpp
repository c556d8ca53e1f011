#include "UserCipher.h"

#include <cstddef>
#include <utility>

#include "AesGcm.h"
#include "CipherFormat.h"
#include "Corvane.h"
#include "SealedMessage.h"
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
    if (auto answered = output.Reserve(input.size + format::kUserOverhead)) return *answered;
    AesGcm aes;
    if (DWORD s = LoadCipher(m_keyFile, aes)) return s;

    format::UserHeader header;
    header.version = format::kUserVersion;
    header.reserved = 0;
    if (DWORD s = FillRandom(header.nonce, format::kNonceSize)) return s;
    ByteView headerBytes{reinterpret_cast<const BYTE*>(&header), sizeof(header)};
    ByteView aad{headerBytes.data, offsetof(format::UserHeader, nonce)};
    return SealMessage(aes, headerBytes, header.nonce, aad, input, output);
}

DWORD UserCipher::Decrypt(ByteView input, OutputSlot& output) const {
    // The version byte leads both layouts; data too short to hold it is
    // refused by either reader below.
    const BYTE version = input.size != 0 ? input.data[0] : format::kUserVersion;
    if (version == format::kUserVersion1) return DecryptV1(input, output);

    format::UserHeader header;
    if (auto answered = ReadHeader(input, format::kUserVersion, header, output)) return *answered;
    AesGcm aes;
    if (DWORD s = LoadCipher(m_keyFile, aes)) return s;

    ByteView aad{input.data, offsetof(format::UserHeader, nonce)};
    return OpenMessage(aes, input, sizeof(header), header.nonce, aad, output);
}

DWORD UserCipher::DecryptV1(ByteView input, OutputSlot& output) const {
    format::UserHeaderV1 header;
    if (auto answered = ReadHeader(input, format::kUserVersion1, header, output)) return *answered;
    AesGcm aes;
    if (DWORD s = LoadCipher(m_keyFile, aes)) return s;

    ByteView aad{&header.version, sizeof(header.version)};
    return OpenMessage(aes, input, sizeof(header), header.nonce, aad, output);
}

} // namespace corvane
