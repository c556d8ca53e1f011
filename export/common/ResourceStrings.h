// Cache of the program's string-table texts, read once at start.
//
// Contract: every lookup returns a zero-terminated text that is never null; a
// text that is missing (an id outside the program's list, or one without an
// entry in the string table) is the shared blank " ". Pointers handed out stay
// valid until the cache is freed. The process-wide cache is loaded on the main
// thread before other threads exist; afterwards it is immutable and read from
// any thread without locking.
#pragma once

#include <windows.h>

#include <cstddef>

// Which ids a program caches and which ids stand for others on Windows
// versions after 6.1. Both arrays must outlive the cache.
struct ResourceStringTable {
    const UINT* ids;
    size_t idCount;
    const UINT (*substitutions)[2]; // {from id, to id}
    size_t substitutionCount;
};

// The export utility's table: the ids 22001 to 22105, and 22102 shown as
// 22103 (the sign-in wording of later Windows versions).
const ResourceStringTable& ExportUtilityStringTable();

class ResourceStringCache {
public:
    // Fills *info and answers TRUE when the running Windows version is known.
    using VersionQuery = BOOL (*)(OSVERSIONINFOEXW* info);
    // The system's own answer.
    static BOOL QuerySystemVersion(OSVERSIONINFOEXW* info);

    explicit ResourceStringCache(const ResourceStringTable& table,
                                 VersionQuery query = &QuerySystemVersion) noexcept
        : m_table(&table), m_query(query) {}
    ~ResourceStringCache() { Free(); }
    ResourceStringCache(const ResourceStringCache&) = delete;
    ResourceStringCache& operator=(const ResourceStringCache&) = delete;

    // Which table a later load uses (only before the first load).
    void UseTable(const ResourceStringTable& table) noexcept { m_table = &table; }

    // Loads the texts from module (null: the program's own). The number of
    // texts loaded; 0 when already loaded or on failure. The substitution is
    // switched on when the version query reports a version after 6.1.
    int Load(HMODULE module);
    LPCWSTR Get(UINT id, HMODULE module);
    // Only once loaded: frees every text; later lookups give " " and never reload.
    void Free();

private:
    struct Entry {
        LPWSTR text;
        UINT id;
    };
    enum State { kNotLoaded = 0, kLoaded = 1, kFreed = 2 };

    const ResourceStringTable* m_table;
    VersionQuery m_query;
    Entry* m_entries = nullptr;
    size_t m_count = 0;
    int m_state = kNotLoaded;
    bool m_substitute = false;
};

// The process-wide cache, with the export utility's table unless the program
// chose its own first.
void UseResourceStringTable(const ResourceStringTable& table);
// Returns the number of texts loaded; 0 when already loaded or on failure.
int LoadResourceStrings(HMODULE module);
// The cached text of id; loads the cache first when it was never loaded.
LPCWSTR GetResourceString(UINT id, HMODULE module = nullptr);
void FreeResourceStrings();
