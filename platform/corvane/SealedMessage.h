// The layout both sealed formats share: a header that carries the nonce, the
// ciphertext (as long as the plain text), then the tag. Either way the caller
// receives the result only once it is complete, and when opening, only once it
// is authenticated.
#pragma once

#include <windows.h>

#include <cstring>
#include <optional>

#include "AesGcm.h"
#include "ByteView.h"
#include "CipherFormat.h"
#include "Corvane.h"
#include "OutputSlot.h"

namespace corvane {

// Writes header, plain sealed under nonce and aad, and the tag to output,
// which Reserve has accepted for header.size + plain.size + kTagSize bytes.
[[nodiscard]] DWORD SealMessage(const AesGcm& aes, ByteView header,
                                const BYTE (&nonce)[format::kNonceSize], ByteView aad,
                                ByteView plain, OutputSlot& output);

// The first step of opening input: copies its header (the version byte comes
// first in each) and reserves output for the plain text. Returns the status
// the call ends with when that settles it: TVRCT_E_AUTH_FAILED for data too
// short or of another version, which cannot be ours, else as Reserve.
template <typename Header>
[[nodiscard]] std::optional<DWORD> ReadHeader(ByteView input, BYTE version, Header& header,
                                              OutputSlot& output) {
    constexpr DWORD overhead = sizeof(Header) + format::kTagSize;
    if (input.size < overhead) return TVRCT_E_AUTH_FAILED;
    std::memcpy(&header, input.data, sizeof(header));
    if (header.version != version) return TVRCT_E_AUTH_FAILED;
    return output.Reserve(input.size - overhead, OutputSlot::EmptyQuery::Produce);
}

// Opens input (a header of headerSize bytes, the ciphertext, the tag; at least
// headerSize + kTagSize bytes) into output, which Reserve has accepted for the
// plain text.
[[nodiscard]] DWORD OpenMessage(const AesGcm& aes, ByteView input, DWORD headerSize,
                                const BYTE (&nonce)[format::kNonceSize], ByteView aad,
                                OutputSlot& output);

} // namespace corvane
