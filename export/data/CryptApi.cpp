#include "CryptApi.h"

const CryptApi& LibraryCryptApi() {
    static const CryptApi api = {&TvrCT_Encrypt, &TvrCT_Decrypt, &TvrCT_HashData,
                                 &TvrCT_PassEncrypt, &TvrCT_PassDecrypt};
    return api;
}
