// The whole database in memory: the tree of keys rebuilt by replaying the
// log, plus the size that a log holding only the live state would have
// (which decides when to compact). Not thread-safe: the owning Database locks.
#pragma once

#include "KeyNode.h"
#include "KeyPath.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brisbel {

class KeyTree {
public:
    KeyTree();

    // Null when the key does not exist; the root always exists.
    const KeyNode* Find(const KeyPath& path) const noexcept;
    // The key's path in the spelling stored for each component; the key must exist.
    std::wstring StoredPath(const KeyPath& path) const;

    // Each change below is what one log record does; replay and live writes
    // both come through here, so they cannot disagree.
    // Creates the key and missing parents; true when anything was created.
    bool CreateKey(const KeyPath& path);
    // Removes the key with everything below it; false when it did not exist.
    // The root cannot be removed.
    bool DeleteKey(const KeyPath& path);
    // Creates the key when missing (a record's key always exists in a log
    // that a writer produced; replay does not insist).
    void SetValue(const KeyPath& path, std::wstring_view name, DWORD type,
                  std::vector<uint8_t> data);
    // False when the key or the value did not exist.
    bool DeleteValue(const KeyPath& path, std::wstring_view name);

    const KeyNode& Root() const noexcept { return m_root; }
    // Bytes of records that rebuild the current state (see Compactor).
    uint64_t LiveBytes() const noexcept { return m_liveBytes; }

private:
    KeyNode* FindMutable(const KeyPath& path, size_t depth) const noexcept;
    static uint64_t SubtreeBytes(const KeyNode& node, size_t pathLength) noexcept;

    KeyNode m_root;
    uint64_t m_liveBytes = 0;
};

} // namespace brisbel
