// One database as this process sees it: the generation file it holds, the
// tree rebuilt from it, and how far into the file it has read.
//
// Not thread-safe, and every method must run under the database's
// cross-process lock: Sync first (to take in what other processes appended
// and to follow a compaction they made), then reads or Append.
#pragma once

#include "GenerationSet.h"
#include "KeyTree.h"
#include "LogFile.h"
#include "Record.h"
#include "RecordReader.h"

#include <cstdint>
#include <string>

namespace brisbel {

class LogStore {
public:
    LogStore(std::wstring folder, std::wstring name);

    // Brings the tree up to date with the file. recover: read everything
    // again from the generation files (the first call, or after the lock's
    // previous owner died, possibly in the middle of a compaction).
    [[nodiscard]] DWORD Sync(bool recover);

    // Reads the whole database afresh as Sync(true) does, but changes no
    // file: a torn tail is read past, not cut, and nothing is created or
    // cleared away. For checks; the store cannot be appended to afterwards.
    [[nodiscard]] DWORD Inspect();

    // Writes the record at the end of the log, flushes it, and only then
    // applies it to the tree. May compact afterwards. On failure the tree is
    // unchanged; when the bytes reached the file but the flush failed, the
    // next Sync takes the record in like any other.
    [[nodiscard]] DWORD Append(Record record);

    // Rewrites the live state as the next generation (see GenerationSet).
    [[nodiscard]] DWORD Compact();

    const KeyTree& Tree() const noexcept { return m_tree; }
    uint32_t Generation() const noexcept { return m_file.Generation(); }
    // Offset past the last good record.
    uint64_t LogEnd() const noexcept { return m_validEnd; }

private:
    [[nodiscard]] DWORD Reload();
    [[nodiscard]] DWORD ReadAll(LogFile file);
    [[nodiscard]] DWORD CatchUp(uint64_t end, RecordReader::Tail tail);
    [[nodiscard]] DWORD Apply(Record record);
    bool NeedsCompaction() const noexcept;

    GenerationSet m_generations;
    LogFile m_file;
    KeyTree m_tree;
    uint64_t m_validEnd = 0; // past the last record applied
    uint64_t m_fileSize = 0; // at the last look; above m_validEnd: a torn tail
    // Consecutive records mostly name the same key: parse its path once.
    std::wstring m_lastPathText;
    KeyPath m_lastPath;
};

} // namespace brisbel
