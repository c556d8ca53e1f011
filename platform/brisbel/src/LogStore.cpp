#include "LogStore.h"

#include "Compactor.h"
#include "RecordCodec.h"
#include "RecordReader.h"

#include <vector>

namespace brisbel {
namespace {

using format::FileHeader;
using format::kFlagSealed;
using format::kFlagSuperseded;

// Compact once the log is more than twice what the live state needs, with
// a floor so that small databases are not rewritten over and over.
constexpr uint64_t kCompactionSlack = 1u << 20;

} // namespace

LogStore::LogStore(std::wstring folder, std::wstring name)
    : m_generations(std::move(folder), std::move(name)) {}

DWORD LogStore::Sync(bool recover) {
    if (recover || !m_file.IsOpen()) return Reload();

    FileHeader header{};
    HeaderState state = HeaderState::Short;
    if (const DWORD status = m_file.ReadHeader(header, state)) return status;
    if (state != HeaderState::Valid) return TVRDB_E_CORRUPT;
    // Another process compacted: our file is no longer the database.
    if ((header.flags & kFlagSuperseded) != 0 || (header.flags & kFlagSealed) == 0) {
        return Reload();
    }

    uint64_t size = 0;
    if (const DWORD status = m_file.Size(size)) return status;
    // Nobody shortens a file below a complete record; start over rather than guess.
    if (size < m_validEnd) return Reload();
    m_fileSize = size;
    return size > m_validEnd ? CatchUp(size, RecordReader::Tail::Live) : TVRDB_OK;
}

DWORD LogStore::Reload() {
    LogFile file;
    // Whatever happens, a failed reload leaves no file open, so the next
    // call starts over instead of appending to a stale generation.
    if (const DWORD status = m_generations.OpenCurrent(file)) {
        (void)ReadAll(LogFile());
        return status;
    }
    if (const DWORD status = ReadAll(std::move(file))) return status;
    // A torn tail is cut now, under the lock: other processes that follow
    // the file take only complete records in, and would read a damaged last
    // record as damage. Should the cut fail, the next append tries again.
    if (m_fileSize > m_validEnd && m_file.Truncate(m_validEnd) == TVRDB_OK) {
        m_fileSize = m_validEnd;
    }
    return TVRDB_OK;
}

DWORD LogStore::Inspect() {
    LogFile file;
    if (const DWORD status = m_generations.FindCurrent(file)) {
        (void)ReadAll(LogFile());
        return status;
    }
    return ReadAll(std::move(file));
}

// Starts the tree over from the given file (none: an empty database).
DWORD LogStore::ReadAll(LogFile file) {
    m_file = LogFile();
    m_tree = KeyTree();
    m_lastPathText.clear();
    m_lastPath = KeyPath();
    m_validEnd = m_fileSize = 0;
    if (!file.IsOpen()) return TVRDB_OK;

    uint64_t size = 0;
    if (const DWORD status = file.Size(size)) return status;
    m_file = std::move(file);
    m_validEnd = sizeof(FileHeader);
    m_fileSize = size;
    const DWORD status = CatchUp(size, RecordReader::Tail::Opening);
    if (status != TVRDB_OK) m_file = LogFile();
    return status;
}

DWORD LogStore::CatchUp(uint64_t end, RecordReader::Tail tail) {
    RecordReader reader(m_file, m_validEnd, end, tail);
    Record record;
    for (;;) {
        const DWORD status = reader.Next(record);
        if (status == TVRDB_E_NO_MORE_ITEMS) return TVRDB_OK;
        if (status != TVRDB_OK) return status;
        if (const DWORD applied = Apply(std::move(record))) return applied;
        m_validEnd = reader.ValidEnd();
    }
}

DWORD LogStore::Apply(Record record) {
    if (record.path != m_lastPathText) {
        KeyPath path;
        if (KeyPath::Parse(record.path, path) != TVRDB_OK) return TVRDB_E_CORRUPT;
        m_lastPath = std::move(path);
        m_lastPathText = record.path;
    }
    const KeyPath& path = m_lastPath;
    switch (record.kind) {
    case format::kCreateKey:
        if (path.IsRoot()) return TVRDB_E_CORRUPT;
        m_tree.CreateKey(path);
        return TVRDB_OK;
    case format::kDeleteKey:
        if (path.IsRoot()) return TVRDB_E_CORRUPT;
        m_tree.DeleteKey(path);
        return TVRDB_OK;
    case format::kSetValue:
        m_tree.SetValue(path, record.name, record.type, std::move(record.data));
        return TVRDB_OK;
    case format::kDeleteValue:
        m_tree.DeleteValue(path, record.name);
        return TVRDB_OK;
    }
    return TVRDB_E_CORRUPT;
}

DWORD LogStore::Append(Record record) {
    if (!m_file.IsOpen()) return TVRDB_E_STORAGE;
    std::vector<uint8_t> bytes;
    RecordCodec::Encode(record, bytes);

    // A writer that died in the middle of an append left a torn tail after
    // the last good record; it is cut off here, under the lock, before
    // anything follows it, so it can never be mistaken for a record later.
    if (m_fileSize > m_validEnd) {
        if (const DWORD status = m_file.Truncate(m_validEnd)) return status;
        m_fileSize = m_validEnd;
    }
    if (const DWORD status = m_file.WriteAt(m_validEnd, bytes.data(), bytes.size())) return status;
    if (const DWORD status = m_file.Flush()) return status;
    // Should applying fail (out of memory), m_validEnd stays before the
    // record and the next Sync applies it from the file.
    m_fileSize = m_validEnd + bytes.size();
    if (const DWORD status = Apply(std::move(record))) return status;
    m_validEnd = m_fileSize;

    // The write is durable whatever compaction does; a failed compaction
    // leaves the current generation in charge and is tried again later.
    if (NeedsCompaction()) (void)Compact();
    return TVRDB_OK;
}

bool LogStore::NeedsCompaction() const noexcept {
    const uint64_t live = sizeof(FileHeader) + m_tree.LiveBytes();
    return m_validEnd > 2 * live + kCompactionSlack;
}

DWORD LogStore::Compact() {
    if (!m_file.IsOpen()) return TVRDB_E_STORAGE;
    uint32_t generation = 0;
    if (const DWORD status = m_generations.NextGeneration(generation)) return status;

    // 1. The live state into an unsealed file. Dying here leaves a leftover
    //    that the next open deletes; the current generation stays in charge.
    LogFile next;
    uint64_t end = 0;
    DWORD status = LogFile::Create(m_generations.PathOf(generation), generation, 0, next);
    if (status == TVRDB_OK) status = Compactor::WriteSnapshot(m_tree, next, end);
    // 2. Sealed: from here on the new file is the database for any opener.
    if (status == TVRDB_OK) status = next.WriteFlags(kFlagSealed);
    if (status != TVRDB_OK) {
        next = LogFile();
        m_generations.Remove(generation);
        return status;
    }

    // 3. Holders of the old file notice this mark on their next call and
    //    reopen. Dying between 2 and 3 leaves the lock abandoned; its next
    //    owner recovers from the files and sets the mark itself.
    status = m_file.WriteFlags(kFlagSealed | kFlagSuperseded);
    if (status != TVRDB_OK && next.WriteFlags(0) == TVRDB_OK) {
        // Without the mark, others would go on appending to the old file;
        // give the new one up instead.
        next = LogFile();
        m_generations.Remove(generation);
        return status;
    }

    const uint32_t old = m_file.Generation();
    m_file = std::move(next);
    m_validEnd = m_fileSize = end;
    m_generations.Remove(old);
    return TVRDB_OK;
}

} // namespace brisbel
