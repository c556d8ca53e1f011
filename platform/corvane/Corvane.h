/*
 * Corvane: the crypto library.
 *
 * TvrCT_Encrypt/TvrCT_Decrypt use a key of the calling Windows user that the
 * library creates at first use and keeps protected in the user's profile; no
 * key is passed. TvrCT_PassEncrypt/TvrCT_PassDecrypt derive the key from a
 * passphrase. Decryption of tampered, truncated or foreign data fails and
 * writes nothing.
 *
 * Output rules shared by every call: when output is null (and capacity 0)
 * the call answers TVRCT_OK and the needed length in *outputLength; when the
 * capacity is too small it answers TVRCT_E_MORE_DATA and the needed length,
 * and writes nothing. *outputLength is not read.
 *
 * Encrypted data is never longer than 2 x input length + 64 bytes, nor than
 * input length + 64 bytes. TvrCT_Encrypt adds an even number of bytes (30),
 * so sealed UTF-16 text may be stored and read back as UTF-16 text; data that
 * earlier versions sealed (29 bytes added) still decrypts.
 */
#ifndef CORVANE_H
#define CORVANE_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

#define TVRCT_CALL __cdecl

#ifdef CORVANE_BUILD
#define TVRCT_API __declspec(dllexport)
#else
#define TVRCT_API __declspec(dllimport)
#endif

#define TVRCT_OK 0
#define TVRCT_E_INVALID_ARG 1
#define TVRCT_E_MORE_DATA 2       /* capacity too small; needed length returned */
#define TVRCT_E_AUTH_FAILED 3     /* tampered, truncated or foreign data, or wrong passphrase */
#define TVRCT_E_KEY_UNAVAILABLE 4 /* the user's key could not be created or unprotected */
#define TVRCT_E_PROVIDER 5        /* the system's crypto provider failed */
#define TVRCT_E_BAD_ALGORITHM 6
#define TVRCT_E_NO_MEMORY 7

/* Hash algorithms of TvrCT_HashData. */
#define TVRCT_HASH_SHA256 2

TVRCT_API DWORD TVRCT_CALL TvrCT_Encrypt(const BYTE* input, DWORD inputLength, BYTE* output,
                                         DWORD outputCapacity, DWORD* outputLength);
TVRCT_API DWORD TVRCT_CALL TvrCT_Decrypt(const BYTE* input, DWORD inputLength, BYTE* output,
                                         DWORD outputCapacity, DWORD* outputLength);
TVRCT_API DWORD TVRCT_CALL TvrCT_HashData(DWORD algorithm, const BYTE* input, DWORD inputLength,
                                          BYTE* output, DWORD outputCapacity, DWORD* outputLength);
/* passphraseLength is in characters. */
TVRCT_API DWORD TVRCT_CALL TvrCT_PassEncrypt(LPCWSTR passphrase, DWORD passphraseLength,
                                             const BYTE* input, DWORD inputLength, BYTE* output,
                                             DWORD outputCapacity, DWORD* outputLength);
TVRCT_API DWORD TVRCT_CALL TvrCT_PassDecrypt(LPCWSTR passphrase, DWORD passphraseLength,
                                             const BYTE* input, DWORD inputLength, BYTE* output,
                                             DWORD outputCapacity, DWORD* outputLength);

#ifdef __cplusplus
}
#endif

#endif /* CORVANE_H */
