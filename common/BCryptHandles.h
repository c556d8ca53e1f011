// Move-only owners for CNG handles. A key handle must be destroyed before the
// algorithm handle it came from: declare the algorithm owner first so that it
// is destroyed last.
#pragma once

#include <windows.h>
#include <bcrypt.h>

#include "Win32Handles.h"

namespace torva {

struct BCryptAlgTraits {
    static BCRYPT_ALG_HANDLE Invalid() { return nullptr; }
    static bool IsValid(BCRYPT_ALG_HANDLE h) { return h != nullptr; }
    static void Close(BCRYPT_ALG_HANDLE h) { ::BCryptCloseAlgorithmProvider(h, 0); }
};
struct BCryptKeyTraits {
    static BCRYPT_KEY_HANDLE Invalid() { return nullptr; }
    static bool IsValid(BCRYPT_KEY_HANDLE h) { return h != nullptr; }
    static void Close(BCRYPT_KEY_HANDLE h) { ::BCryptDestroyKey(h); }
};
struct BCryptHashTraits {
    static BCRYPT_HASH_HANDLE Invalid() { return nullptr; }
    static bool IsValid(BCRYPT_HASH_HANDLE h) { return h != nullptr; }
    static void Close(BCRYPT_HASH_HANDLE h) { ::BCryptDestroyHash(h); }
};

using UniqueBCryptAlg = torva::UniqueResource<BCRYPT_ALG_HANDLE, BCryptAlgTraits>;
using UniqueBCryptKey = torva::UniqueResource<BCRYPT_KEY_HANDLE, BCryptKeyTraits>;
using UniqueBCryptHash = torva::UniqueResource<BCRYPT_HASH_HANDLE, BCryptHashTraits>;

} // namespace torva
