// The library entry points the dispatcher calls, gathered in one table so
// that the program binds the real libraries and tests can put libraries that
// misbehave on purpose in their place.
#pragma once

#include <windows.h>

#include "Brisbel.h"
#include "Corvane.h"
#include "Peltrix.h"

namespace torva::relay {

struct RelayLibraries {
    DWORD(TVRDB_CALL* OpenDB)(TVRDB_HDB* db) = nullptr;
    DWORD(TVRDB_CALL* CloseDB)(TVRDB_HDB db) = nullptr;
    DWORD(TVRDB_CALL* OpenKey)(TVRDB_HDB db, LPCWSTR path, TVRDB_HKEY* key) = nullptr;
    DWORD(TVRDB_CALL* CreateKey)(TVRDB_HDB db, LPCWSTR path, TVRDB_HKEY* key) = nullptr;
    DWORD(TVRDB_CALL* CloseKey)(TVRDB_HDB db, TVRDB_HKEY key) = nullptr;
    DWORD(TVRDB_CALL* DeleteKey)(TVRDB_HDB db, TVRDB_HKEY parent, LPCWSTR subKey) = nullptr;
    DWORD(TVRDB_CALL* EnumKey)
    (TVRDB_HDB db, TVRDB_HKEY key, DWORD index, LPWSTR name, DWORD* nameLength) = nullptr;
    DWORD(TVRDB_CALL* QueryValue)
    (TVRDB_HDB db, TVRDB_HKEY key, LPCWSTR name, DWORD* type, BYTE* data, DWORD* size) = nullptr;
    DWORD(TVRDB_CALL* SetValue)
    (TVRDB_HDB db, TVRDB_HKEY key, LPCWSTR name, DWORD type, const BYTE* data,
     DWORD size) = nullptr;
    DWORD(TVRDB_CALL* DeleteValue)(TVRDB_HDB db, TVRDB_HKEY key, LPCWSTR name) = nullptr;
    DWORD(TVRCT_CALL* Encrypt)
    (const BYTE* input, DWORD inputLength, BYTE* output, DWORD outputCapacity,
     DWORD* outputLength) = nullptr;
    DWORD(TVRCT_CALL* Decrypt)
    (const BYTE* input, DWORD inputLength, BYTE* output, DWORD outputCapacity,
     DWORD* outputLength) = nullptr;
    DWORD(TVRAUTH_CALL* AuthenticateUser)(eAuthCase authCase) = nullptr;
};

} // namespace torva::relay
