// One open database: the operations behind the exported calls, on paths
// that the caller has parsed.
//
// Thread-safe. Each call takes this process's mutex, then the database's
// cross-process lock, takes in what other processes wrote since the last
// call, and only then reads or writes; so every call sees every write that
// any process completed before it. Writes return once their record is
// flushed to disk.
//
// Buffer rules: a null data buffer asks for the size (TVRDB_OK and the
// size); a buffer that is too small gets TVRDB_E_MORE_DATA and the needed
// size, and nothing is written into it.
#pragma once

#include "DatabaseLock.h"
#include "KeyPath.h"
#include "LogStore.h"

#include <windows.h>

#include <mutex>
#include <string>
#include <string_view>

namespace brisbel {

class Database {
public:
    // The folded full path of the database's files, without the generation
    // part: equal identities mean the same database.
    [[nodiscard]] static DWORD IdentityOf(const std::wstring& folder, const std::wstring& name,
                                          std::wstring& identity);

    Database(std::wstring folder, std::wstring name, std::wstring identity);
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Creates the lock and reads the database (creating it when new).
    [[nodiscard]] DWORD Open();
    const std::wstring& Identity() const noexcept { return m_identity; }

    [[nodiscard]] DWORD OpenKey(const KeyPath& path);
    [[nodiscard]] DWORD CreateKey(const KeyPath& path);
    [[nodiscard]] DWORD DeleteKey(const KeyPath& path);
    // name holds TVRDB_MAX_NAME + 1 characters; receives the sub key's full path.
    [[nodiscard]] DWORD EnumKey(const KeyPath& path, DWORD index, wchar_t* name, DWORD* nameLength);
    // On TVRDB_E_MORE_DATA *nameLength is the capacity needed, terminator included.
    [[nodiscard]] DWORD EnumValue(const KeyPath& path, DWORD index, wchar_t* name,
                                  DWORD* nameLength, DWORD* type, BYTE* data, DWORD* dataSize);
    [[nodiscard]] DWORD QueryValue(const KeyPath& path, std::wstring_view name, DWORD* type,
                                   BYTE* data, DWORD* size);
    [[nodiscard]] DWORD SetValue(const KeyPath& path, std::wstring_view name, DWORD type,
                                 const BYTE* data, DWORD size);
    [[nodiscard]] DWORD DeleteValue(const KeyPath& path, std::wstring_view name);

    [[nodiscard]] DWORD Compact();
    // The generation file in use (after taking in other processes' work).
    [[nodiscard]] DWORD Generation(uint32_t& generation);

private:
    class Session;

    std::mutex m_mutex;
    std::wstring m_identity;
    DatabaseLock m_lock;
    LogStore m_store;
};

} // namespace brisbel
