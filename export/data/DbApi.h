// The database library's calls as the export utility makes them. Every
// reader takes a DbApi so that a test can stand a failing database between
// the code and the library (a busy answer, a broken enumeration); the
// program itself always uses LibraryDbApi().
#pragma once

#include "Brisbel.h"

struct DbApi {
    DWORD(TVRDB_CALL* OpenDB)(TVRDB_HDB* db);
    DWORD(TVRDB_CALL* OpenDBEx)(TVRDB_HDB* db, DWORD reserved, LPCWSTR name);
    DWORD(TVRDB_CALL* CloseDB)(TVRDB_HDB db);
    DWORD(TVRDB_CALL* OpenKey)(TVRDB_HDB db, LPCWSTR path, TVRDB_HKEY* key);
    DWORD(TVRDB_CALL* CreateKey)(TVRDB_HDB db, LPCWSTR path, TVRDB_HKEY* key);
    DWORD(TVRDB_CALL* CloseKey)(TVRDB_HDB db, TVRDB_HKEY key);
    DWORD(TVRDB_CALL* EnumKey)
    (TVRDB_HDB db, TVRDB_HKEY key, DWORD index, LPWSTR name, DWORD* nameLength);
    DWORD(TVRDB_CALL* EnumValue)
    (TVRDB_HDB db, TVRDB_HKEY key, DWORD index, LPWSTR name, DWORD* nameLength, DWORD* type,
     BYTE* data, DWORD* dataSize);
    DWORD(TVRDB_CALL* QueryValue)
    (TVRDB_HDB db, TVRDB_HKEY key, LPCWSTR name, DWORD* type, BYTE* data, DWORD* size);
    DWORD(TVRDB_CALL* SetValue)
    (TVRDB_HDB db, TVRDB_HKEY key, LPCWSTR name, DWORD type, const BYTE* data, DWORD size);
};

// The calls of Brisbel.dll.
const DbApi& LibraryDbApi();

// Result codes the readers act on.
constexpr DWORD kDbOk = 0;
constexpr DWORD kDbNoMoreItems = 4;
constexpr DWORD kDbKeyNotFound = 8;
// The export utility's own code for a call made without a handle.
constexpr DWORD kDbNoHandle = 13;
