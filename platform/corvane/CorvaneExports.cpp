// The exported calls: argument checks around the internal classes. No
// exception leaves this file; every call is safe on any thread.
#include "Corvane.h"

#include <new>
#include <string>

#include "OutputSlot.h"
#include "PassphraseCipher.h"
#include "Sha256.h"
#include "UserCipher.h"
#include "UserKeyFile.h"

using namespace corvane;

namespace {

// The checks every call shares: a length to answer into, and each pointer
// present unless its length says there is nothing to point at.
bool BuffersValid(const BYTE* input, DWORD inputLength, const BYTE* output, DWORD outputCapacity,
                  const DWORD* outputLength) {
    if (outputLength == nullptr) return false;
    if (input == nullptr && inputLength != 0) return false;
    if (output == nullptr && outputCapacity != 0) return false;
    return true;
}

bool PassphraseValid(LPCWSTR passphrase, DWORD length) {
    if (passphrase == nullptr && length != 0) return false;
    return length <= MAXDWORD / sizeof(wchar_t);
}

template <typename Body> DWORD Guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return TVRCT_E_NO_MEMORY;
    } catch (...) {
        return TVRCT_E_PROVIDER;
    }
}

DWORD WithUserCipher(const BYTE* input, DWORD inputLength, BYTE* output, DWORD outputCapacity,
                     DWORD* outputLength, bool encrypt) {
    if (!BuffersValid(input, inputLength, output, outputCapacity, outputLength))
        return TVRCT_E_INVALID_ARG;
    OutputSlot slot(output, outputCapacity, outputLength);
    return Guarded([&]() -> DWORD {
        std::wstring path;
        if (DWORD s = UserKeyFile::DefaultPath(path)) return s;
        UserCipher cipher{UserKeyFile(path)};
        ByteView in{input, inputLength};
        return encrypt ? cipher.Encrypt(in, slot) : cipher.Decrypt(in, slot);
    });
}

DWORD WithPassphrase(LPCWSTR passphrase, DWORD passphraseLength, const BYTE* input,
                     DWORD inputLength, BYTE* output, DWORD outputCapacity, DWORD* outputLength,
                     bool encrypt) {
    if (!BuffersValid(input, inputLength, output, outputCapacity, outputLength) ||
        !PassphraseValid(passphrase, passphraseLength))
        return TVRCT_E_INVALID_ARG;
    OutputSlot slot(output, outputCapacity, outputLength);
    return Guarded([&]() -> DWORD {
        PassphraseCipher cipher(passphrase, passphraseLength);
        ByteView in{input, inputLength};
        return encrypt ? cipher.Encrypt(in, slot) : cipher.Decrypt(in, slot);
    });
}

} // namespace

extern "C" {

DWORD TVRCT_CALL TvrCT_Encrypt(const BYTE* input, DWORD inputLength, BYTE* output,
                               DWORD outputCapacity, DWORD* outputLength) {
    return WithUserCipher(input, inputLength, output, outputCapacity, outputLength, true);
}

DWORD TVRCT_CALL TvrCT_Decrypt(const BYTE* input, DWORD inputLength, BYTE* output,
                               DWORD outputCapacity, DWORD* outputLength) {
    return WithUserCipher(input, inputLength, output, outputCapacity, outputLength, false);
}

DWORD TVRCT_CALL TvrCT_HashData(DWORD algorithm, const BYTE* input, DWORD inputLength, BYTE* output,
                                DWORD outputCapacity, DWORD* outputLength) {
    if (!BuffersValid(input, inputLength, output, outputCapacity, outputLength))
        return TVRCT_E_INVALID_ARG;
    OutputSlot slot(output, outputCapacity, outputLength);
    if (algorithm != TVRCT_HASH_SHA256) return TVRCT_E_BAD_ALGORITHM;
    if (auto answered = slot.Reserve(kSha256Size)) return *answered;
    return Guarded([&]() -> DWORD {
        BYTE digest[kSha256Size];
        if (DWORD s = Sha256(ByteView{input, inputLength}, digest)) return s;
        slot.Commit(digest, kSha256Size);
        return TVRCT_OK;
    });
}

DWORD TVRCT_CALL TvrCT_PassEncrypt(LPCWSTR passphrase, DWORD passphraseLength, const BYTE* input,
                                   DWORD inputLength, BYTE* output, DWORD outputCapacity,
                                   DWORD* outputLength) {
    return WithPassphrase(passphrase, passphraseLength, input, inputLength, output, outputCapacity,
                          outputLength, true);
}

DWORD TVRCT_CALL TvrCT_PassDecrypt(LPCWSTR passphrase, DWORD passphraseLength, const BYTE* input,
                                   DWORD inputLength, BYTE* output, DWORD outputCapacity,
                                   DWORD* outputLength) {
    return WithPassphrase(passphrase, passphraseLength, input, inputLength, output, outputCapacity,
                          outputLength, false);
}

} // extern "C"
