// The generation files of one database in its folder, and the rules that
// pick the one to use.
//
// Compaction never rewrites a file in place (Windows does not let a file be
// replaced while other processes hold it open); it writes generation N + 1
// unsealed, flushes it, seals it, and only then marks N superseded. So:
//   - the highest sealed generation holds the whole database;
//   - an unsealed file above it is what a compaction left when it died, and
//     a file shorter than a header is what a first creation left: both go;
//   - sealed files below it are stale: they are marked superseded first (a
//     process still holding one must notice and reopen before it appends
//     again), then deleted when the file system allows it.
// Every method runs under the database's cross-process lock.
#pragma once

#include "LogFile.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace brisbel {

class GenerationSet {
public:
    GenerationSet(std::wstring folder, std::wstring name);

    std::wstring PathOf(uint32_t generation) const;

    // Opens the generation to use (creating the first one for a new
    // database) and clears away what interrupted work left behind.
    // TVRDB_E_CORRUPT when a file at or above the highest sealed generation
    // has a damaged header, or when files exist but none is sealed.
    [[nodiscard]] DWORD OpenCurrent(LogFile& out);

    // The generation that OpenCurrent would use, opened for reading only;
    // no file is created, marked or deleted. A database without a sealed
    // file, where only an interrupted first creation is left, answers
    // TVRDB_OK with out left closed: it is empty. Damage is judged as
    // OpenCurrent judges it.
    [[nodiscard]] DWORD FindCurrent(LogFile& out) const;

    // A number above every generation file present, including files that
    // are being deleted and cannot be opened any more.
    [[nodiscard]] DWORD NextGeneration(uint32_t& generation);

    // Deletes a file that no longer serves; a failure is left for a later open.
    void Remove(uint32_t generation) const noexcept;

    // Every generation number with a file in the folder, ascending (files of
    // other databases never match, however alike their names).
    [[nodiscard]] DWORD Present(std::vector<uint32_t>& generations) const {
        return List(generations);
    }

private:
    [[nodiscard]] DWORD List(std::vector<uint32_t>& generations) const;
    bool ParseName(const std::wstring& fileName, uint32_t& generation) const;

    std::wstring m_folder;
    std::wstring m_name;
    std::wstring m_foldedName;
};

} // namespace brisbel
