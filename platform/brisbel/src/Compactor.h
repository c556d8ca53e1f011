// Writes the live state of a database as the records of a fresh generation.
#pragma once

#include "KeyTree.h"
#include "LogFile.h"

namespace brisbel {

class Compactor {
public:
    // Appends, after the header of the empty file out, a create-key record
    // for every key (parents first) and a set-value record for every value
    // (in the key's value order), then flushes. end receives the offset
    // past the last record. Replaying the result rebuilds an equal tree.
    [[nodiscard]] static DWORD WriteSnapshot(const KeyTree& tree, LogFile& out, uint64_t& end);
};

} // namespace brisbel
