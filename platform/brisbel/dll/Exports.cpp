// The exported calls: argument checks and handle lookups around Database.
// No exception leaves this file; each call's body runs inside Guarded.
#include "Brisbel.h"

#include "Database.h"
#include "DatabaseLocation.h"
#include "DatabaseRegistry.h"
#include "HandleTable.h"
#include "KeyPath.h"

#include <cwchar>
#include <exception>
#include <memory>
#include <new>
#include <string_view>

using brisbel::Database;
using brisbel::HandleTable;
using brisbel::KeyPath;

namespace {

template <typename Body> DWORD Guarded(Body body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return TVRDB_E_NO_MEMORY;
    } catch (...) {
        return TVRDB_E_STORAGE;
    }
}

// A caller's string, read no further than one character past the limit.
[[nodiscard]] DWORD ReadName(const wchar_t* text, std::wstring_view& out) {
    if (!text) return TVRDB_E_INVALID_ARG;
    const size_t length = ::wcsnlen(text, TVRDB_MAX_NAME + 1);
    if (length > TVRDB_MAX_NAME) return TVRDB_E_NAME_TOO_LONG;
    out = std::wstring_view(text, length);
    return TVRDB_OK;
}

[[nodiscard]] DWORD ReadPath(const wchar_t* text, KeyPath& path) {
    std::wstring_view view;
    if (const DWORD status = ReadName(text, view)) return status;
    return KeyPath::Parse(view, path);
}

[[nodiscard]] DWORD OpenNamed(const std::wstring& name, TVRDB_HDB* db) {
    std::wstring folder;
    if (const DWORD status = brisbel::DatabaseLocation::Folder(folder)) return status;
    std::shared_ptr<Database> database;
    if (const DWORD status = brisbel::DatabaseRegistry::Instance().Open(folder, name, database)) {
        return status;
    }
    return HandleTable::Instance().AddDatabase(std::move(database), db);
}

// Looks up the key handle, then runs op(database, path).
template <typename Op> DWORD WithKey(TVRDB_HDB db, TVRDB_HKEY key, Op op) {
    std::shared_ptr<Database> database;
    std::shared_ptr<const KeyPath> path;
    if (const DWORD status = HandleTable::Instance().FindKey(db, key, database, path)) {
        return status;
    }
    return op(*database, *path);
}

// OpenKey and CreateKey: check the path, let open(database, path) make sure
// the key exists, then hand out a key handle.
template <typename Open> DWORD KeyHandle(TVRDB_HDB db, LPCWSTR text, TVRDB_HKEY* key, Open open) {
    if (!key) return TVRDB_E_INVALID_ARG;
    *key = nullptr;
    std::shared_ptr<Database> database;
    if (const DWORD status = HandleTable::Instance().FindDatabase(db, database)) return status;
    KeyPath path;
    if (const DWORD status = ReadPath(text, path)) return status;
    if (const DWORD status = open(*database, path)) return status;
    return HandleTable::Instance().AddKey(db, std::move(path), key);
}

} // namespace

extern "C" {

TVRDB_API DWORD TVRDB_CALL TvrDB_OpenDB(TVRDB_HDB* db) {
    return Guarded([&] {
        if (!db) return DWORD{TVRDB_E_INVALID_ARG};
        *db = nullptr;
        std::wstring sid;
        if (const DWORD status = brisbel::DatabaseLocation::CurrentUserSid(sid)) return status;
        return OpenNamed(sid, db);
    });
}

TVRDB_API DWORD TVRDB_CALL TvrDB_OpenDBEx(TVRDB_HDB* db, DWORD reserved, LPCWSTR name) {
    return Guarded([&] {
        if (!db) return DWORD{TVRDB_E_INVALID_ARG};
        *db = nullptr;
        if (reserved != 0) return DWORD{TVRDB_E_INVALID_ARG};
        if (const DWORD status = brisbel::DatabaseLocation::CheckName(name)) return status;
        return OpenNamed(name, db);
    });
}

TVRDB_API DWORD TVRDB_CALL TvrDB_CloseDB(TVRDB_HDB db) {
    return Guarded([&] { return HandleTable::Instance().CloseDatabase(db); });
}

TVRDB_API DWORD TVRDB_CALL TvrDB_OpenKey(TVRDB_HDB db, LPCWSTR path, TVRDB_HKEY* key) {
    return Guarded([&] {
        return KeyHandle(db, path, key, [](Database& d, const KeyPath& p) { return d.OpenKey(p); });
    });
}

TVRDB_API DWORD TVRDB_CALL TvrDB_CreateKey(TVRDB_HDB db, LPCWSTR path, TVRDB_HKEY* key) {
    return Guarded([&] {
        return KeyHandle(db, path, key,
                         [](Database& d, const KeyPath& p) { return d.CreateKey(p); });
    });
}

TVRDB_API DWORD TVRDB_CALL TvrDB_CloseKey(TVRDB_HDB db, TVRDB_HKEY key) {
    return Guarded([&] { return HandleTable::Instance().CloseKey(db, key); });
}

TVRDB_API DWORD TVRDB_CALL TvrDB_DeleteKey(TVRDB_HDB db, TVRDB_HKEY parent, LPCWSTR subKey) {
    return Guarded([&] {
        KeyPath relative;
        if (const DWORD status = ReadPath(subKey, relative)) return status;
        if (relative.IsRoot()) return DWORD{TVRDB_E_INVALID_ARG};
        if (!parent) {
            std::shared_ptr<Database> database;
            if (const DWORD status = HandleTable::Instance().FindDatabase(db, database)) {
                return status;
            }
            return database->DeleteKey(relative);
        }
        return WithKey(db, parent, [&](Database& d, const KeyPath& base) {
            KeyPath full;
            if (const DWORD status = base.Join(relative, full)) return status;
            return d.DeleteKey(full);
        });
    });
}

TVRDB_API DWORD TVRDB_CALL TvrDB_EnumKey(TVRDB_HDB db, TVRDB_HKEY key, DWORD index, LPWSTR name,
                                         DWORD* nameLength) {
    return Guarded([&] {
        if (!name || !nameLength) return DWORD{TVRDB_E_INVALID_ARG};
        return WithKey(db, key, [&](Database& d, const KeyPath& path) {
            return d.EnumKey(path, index, name, nameLength);
        });
    });
}

TVRDB_API DWORD TVRDB_CALL TvrDB_EnumValue(TVRDB_HDB db, TVRDB_HKEY key, DWORD index, LPWSTR name,
                                           DWORD* nameLength, DWORD* type, BYTE* data,
                                           DWORD* dataSize) {
    return Guarded([&] {
        if (!name || !nameLength || (data && !dataSize)) return DWORD{TVRDB_E_INVALID_ARG};
        return WithKey(db, key, [&](Database& d, const KeyPath& path) {
            return d.EnumValue(path, index, name, nameLength, type, data, dataSize);
        });
    });
}

TVRDB_API DWORD TVRDB_CALL TvrDB_QueryValue(TVRDB_HDB db, TVRDB_HKEY key, LPCWSTR name, DWORD* type,
                                            BYTE* data, DWORD* size) {
    return Guarded([&] {
        std::wstring_view valueName;
        if (const DWORD status = ReadName(name, valueName)) return status;
        if (!size) return DWORD{TVRDB_E_INVALID_ARG};
        return WithKey(db, key, [&](Database& d, const KeyPath& path) {
            return d.QueryValue(path, valueName, type, data, size);
        });
    });
}

TVRDB_API DWORD TVRDB_CALL TvrDB_SetValue(TVRDB_HDB db, TVRDB_HKEY key, LPCWSTR name, DWORD type,
                                          const BYTE* data, DWORD size) {
    return Guarded([&] {
        std::wstring_view valueName;
        if (const DWORD status = ReadName(name, valueName)) return status;
        if (!data && size != 0) return DWORD{TVRDB_E_INVALID_ARG};
        return WithKey(db, key, [&](Database& d, const KeyPath& path) {
            return d.SetValue(path, valueName, type, data, size);
        });
    });
}

TVRDB_API DWORD TVRDB_CALL TvrDB_DeleteValue(TVRDB_HDB db, TVRDB_HKEY key, LPCWSTR name) {
    return Guarded([&] {
        std::wstring_view valueName;
        if (const DWORD status = ReadName(name, valueName)) return status;
        return WithKey(db, key, [&](Database& d, const KeyPath& path) {
            return d.DeleteValue(path, valueName);
        });
    });
}

} // extern "C"
