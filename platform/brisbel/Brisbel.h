/*
 * Brisbel: the key/value database library.
 *
 * A database is a tree of keys addressed by full paths ("WEBFORMDATA\OPTION")
 * holding typed values. Key and value names compare without regard to letter
 * case; the spelling kept is the one first written. Sub keys enumerate in
 * name order, values in the order they were first written.
 *
 * Every call that writes returns only when the change is on disk. Several
 * processes may use one database at once; each call sees every write that
 * another process completed before it.
 */
#ifndef BRISBEL_H
#define BRISBEL_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The calling convention of every Brisbel function, fixed here for all callers. */
#define TVRDB_CALL __cdecl

#ifdef BRISBEL_BUILD
#define TVRDB_API __declspec(dllexport)
#else
#define TVRDB_API __declspec(dllimport)
#endif

/* Opaque handles; a null handle is never valid. */
typedef struct TvrDbDatabase_* TVRDB_HDB;
typedef struct TvrDbKey_* TVRDB_HKEY;

/* Result codes. */
#define TVRDB_OK 0
#define TVRDB_E_NO_MORE_ITEMS 4   /* end of an enumeration */
#define TVRDB_E_VALUE_NOT_FOUND 4 /* QueryValue / DeleteValue of a missing value */
#define TVRDB_E_KEY_NOT_FOUND 8   /* the key (or a key handle's key) does not exist */
#define TVRDB_E_INVALID_ARG 20    /* null pointer, bad type or size, malformed path */
#define TVRDB_E_NAME_TOO_LONG 21  /* a path or name over TVRDB_MAX_NAME characters */
#define TVRDB_E_INVALID_HANDLE 22 /* unknown or closed handle, or a key of another database */
#define TVRDB_E_MORE_DATA 23      /* buffer too small; the needed size is returned */
#define TVRDB_E_BUSY 24           /* another process held the database too long */
#define TVRDB_E_STORAGE 25        /* the file could not be read or written */
#define TVRDB_E_CORRUPT 26        /* the file is damaged (a checksum does not match) */
#define TVRDB_E_NO_MEMORY 27
#define TVRDB_E_NO_DATABASE 28 /* the database folder or user could not be determined */

/* Value types. */
#define TVRDB_TYPE_BINARY 0
#define TVRDB_TYPE_DWORD 1  /* 4 bytes, little-endian */
#define TVRDB_TYPE_STRING 2 /* UTF-16 without terminator, 2 bytes per character */

/* Longest key path or value name in characters, without the terminator. */
#define TVRDB_MAX_NAME 511
/* Largest value in bytes. */
#define TVRDB_MAX_VALUE_SIZE (4u * 1024u * 1024u)

/* Opens the calling Windows user's database. */
TVRDB_API DWORD TVRDB_CALL TvrDB_OpenDB(TVRDB_HDB* db);
/* Opens a named database, such as "TORVA_SYSTEMDEFINED". reserved must be 0. */
TVRDB_API DWORD TVRDB_CALL TvrDB_OpenDBEx(TVRDB_HDB* db, DWORD reserved, LPCWSTR name);
/* Closes the database handle and every key handle opened through it. */
TVRDB_API DWORD TVRDB_CALL TvrDB_CloseDB(TVRDB_HDB db);

/* Opens an existing key by full path; TVRDB_E_KEY_NOT_FOUND when missing.
   The empty path is the root. */
TVRDB_API DWORD TVRDB_CALL TvrDB_OpenKey(TVRDB_HDB db, LPCWSTR path, TVRDB_HKEY* key);
/* Creates the key and any missing parents, or opens it when it exists. */
TVRDB_API DWORD TVRDB_CALL TvrDB_CreateKey(TVRDB_HDB db, LPCWSTR path, TVRDB_HKEY* key);
TVRDB_API DWORD TVRDB_CALL TvrDB_CloseKey(TVRDB_HDB db, TVRDB_HKEY key);
/* Deletes parent\subKey with everything below it. A null parent is the root. */
TVRDB_API DWORD TVRDB_CALL TvrDB_DeleteKey(TVRDB_HDB db, TVRDB_HKEY parent, LPCWSTR subKey);

/* The index-th sub key's full path. name must hold TVRDB_MAX_NAME + 1
   characters; *nameLength is not read (callers carry it from call to call)
   and receives the path's length in characters. TVRDB_E_NO_MORE_ITEMS past
   the last sub key. */
TVRDB_API DWORD TVRDB_CALL TvrDB_EnumKey(TVRDB_HDB db, TVRDB_HKEY key, DWORD index, LPWSTR name,
                                         DWORD* nameLength);
/* The index-th value. *nameLength: in, capacity in characters with the
   terminator; out, the name's length. *dataSize: in, capacity in bytes; out,
   the value's size. A null data buffer asks only for the size. When either
   buffer is too small: TVRDB_E_MORE_DATA, the needed sizes (*nameLength
   then counts the terminator), nothing written. type may be null.
   TVRDB_E_NO_MORE_ITEMS past the last value. */
TVRDB_API DWORD TVRDB_CALL TvrDB_EnumValue(TVRDB_HDB db, TVRDB_HKEY key, DWORD index, LPWSTR name,
                                           DWORD* nameLength, DWORD* type, BYTE* data,
                                           DWORD* dataSize);
/* A value's type and data. *size: in, capacity in bytes; out, the value's
   size. A null data buffer asks only for the size. Too small:
   TVRDB_E_MORE_DATA with the needed size, nothing written. *type (may be
   null) receives the stored type whatever it held before. */
TVRDB_API DWORD TVRDB_CALL TvrDB_QueryValue(TVRDB_HDB db, TVRDB_HKEY key, LPCWSTR name, DWORD* type,
                                            BYTE* data, DWORD* size);
TVRDB_API DWORD TVRDB_CALL TvrDB_SetValue(TVRDB_HDB db, TVRDB_HKEY key, LPCWSTR name, DWORD type,
                                          const BYTE* data, DWORD size);
TVRDB_API DWORD TVRDB_CALL TvrDB_DeleteValue(TVRDB_HDB db, TVRDB_HKEY key, LPCWSTR name);

#ifdef __cplusplus
}
#endif

#endif /* BRISBEL_H */
