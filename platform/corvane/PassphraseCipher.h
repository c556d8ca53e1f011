// TvrCT_PassEncrypt/TvrCT_PassDecrypt: a key derived from a passphrase with
// PBKDF2-HMAC-SHA-256 over a random salt, then AES-256-GCM. The passphrase is
// taken as its UTF-16LE bytes, exactly as given (no terminator, no
// normalisation). The object refers to the caller's passphrase, which must
// outlive it. Any thread.
#pragma once

#include <windows.h>

#include "ByteView.h"
#include "CipherFormat.h"
#include "OutputSlot.h"

namespace corvane {

class PassphraseCipher {
public:
    // iterations is what Encrypt uses and records; Decrypt uses the recorded
    // count. Tests pass a small one to stay fast.
    PassphraseCipher(const wchar_t* passphrase, DWORD length,
                     DWORD iterations = format::kDefaultIterations) noexcept;

    // Output: format::PassHeader, ciphertext, tag; input.size + 49 bytes.
    [[nodiscard]] DWORD Encrypt(ByteView input, OutputSlot& output) const;
    // TVRCT_E_AUTH_FAILED for a wrong passphrase and for changed, truncated or
    // foreign data; the output is then left untouched. A length query answers
    // input.size - 49 without deriving the key (except for an empty message,
    // as in UserCipher::Decrypt).
    [[nodiscard]] DWORD Decrypt(ByteView input, OutputSlot& output) const;

private:
    [[nodiscard]] DWORD Derive(const format::PassHeader& header, BYTE* key) const;

    ByteView m_passphrase;
    DWORD m_iterations;
};

} // namespace corvane
