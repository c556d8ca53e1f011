#include "SealedMessage.h"

#include <cstring>

#include "Corvane.h"
#include "SecureBuffer.h"

namespace corvane {

DWORD SealMessage(const AesGcm& aes, ByteView header, const BYTE (&nonce)[format::kNonceSize],
                  ByteView aad, ByteView plain, OutputSlot& output) {
    const DWORD sealedSize = header.size + plain.size + format::kTagSize;
    SecureBuffer sealed(sealedSize);
    std::memcpy(sealed.data(), header.data, header.size);
    BYTE tag[format::kTagSize];
    if (DWORD s = aes.Seal(nonce, aad, plain, sealed.data() + header.size, tag)) return s;
    std::memcpy(sealed.data() + header.size + plain.size, tag, sizeof(tag));
    output.Commit(sealed.data(), sealedSize);
    return TVRCT_OK;
}

DWORD OpenMessage(const AesGcm& aes, ByteView input, DWORD headerSize,
                  const BYTE (&nonce)[format::kNonceSize], ByteView aad, OutputSlot& output) {
    const DWORD plainSize = input.size - headerSize - format::kTagSize;
    BYTE tag[format::kTagSize];
    std::memcpy(tag, input.data + headerSize + plainSize, sizeof(tag));
    ByteView body{input.data + headerSize, plainSize};
    // Decrypted aside: the caller's buffer receives only authenticated text.
    SecureBuffer plain(plainSize);
    if (DWORD s = aes.Open(nonce, aad, body, tag, plain.data())) return s;
    output.Commit(plain.data(), plainSize);
    return TVRCT_OK;
}

} // namespace corvane
