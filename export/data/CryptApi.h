// The crypto library's calls as the export utility makes them; like DbApi, a
// seam for tests that need a failing cipher. The program uses LibraryCryptApi().
#pragma once

#include "Corvane.h"

struct CryptApi {
    DWORD(TVRCT_CALL* Encrypt)
    (const BYTE* input, DWORD inputLength, BYTE* output, DWORD outputCapacity, DWORD* outputLength);
    DWORD(TVRCT_CALL* Decrypt)
    (const BYTE* input, DWORD inputLength, BYTE* output, DWORD outputCapacity, DWORD* outputLength);
    DWORD(TVRCT_CALL* HashData)
    (DWORD algorithm, const BYTE* input, DWORD inputLength, BYTE* output, DWORD outputCapacity,
     DWORD* outputLength);
    DWORD(TVRCT_CALL* PassEncrypt)
    (LPCWSTR passphrase, DWORD passphraseLength, const BYTE* input, DWORD inputLength, BYTE* output,
     DWORD outputCapacity, DWORD* outputLength);
    DWORD(TVRCT_CALL* PassDecrypt)
    (LPCWSTR passphrase, DWORD passphraseLength, const BYTE* input, DWORD inputLength, BYTE* output,
     DWORD outputCapacity, DWORD* outputLength);
};

const CryptApi& LibraryCryptApi();
