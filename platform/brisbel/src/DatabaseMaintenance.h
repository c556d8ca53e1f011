// Checking and re-initialising one database as a whole, for the database
// service: not part of the TvrDB interface that the product's programs call.
//
// Both run under the database's cross-process lock, waiting at most the
// given time for it, and read the files afresh: no tree that this or another
// process keeps is trusted, so damage that happened on disk after an open is
// seen.
#pragma once

#include <windows.h>

#include <string>

namespace brisbel {

class DatabaseMaintenance {
public:
    // verdict: TVRDB_OK when the database reads back whole (a torn tail,
    // which every opener cuts, is no damage; a database without files is
    // empty, not damaged), TVRDB_E_CORRUPT when the reader calls it damaged.
    // The result is TVRDB_OK when a verdict was reached, TVRDB_E_BUSY when
    // the lock was not had in time, or the storage failure that stopped it.
    // A database without files stays without: the check creates none.
    [[nodiscard]] static DWORD Check(const std::wstring& folder, const std::wstring& name,
                                     DWORD lockTimeoutMs, DWORD& verdict);

    // Replaces the database with an empty one: a new sealed generation above
    // every file present, whatever state those are in, after which the old
    // files are marked superseded (holders in other processes reopen on
    // their next call) and deleted. Files of every other database stay as
    // they are. Safe against a crash at any point: until the new generation
    // is sealed the old files are the database, afterwards the new one is.
    [[nodiscard]] static DWORD Initialise(const std::wstring& folder, const std::wstring& name,
                                          DWORD lockTimeoutMs);
};

} // namespace brisbel
