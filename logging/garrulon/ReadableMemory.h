// Whether a caller's block can be read without faulting. The library copies
// at most a record's worth of the block, but a caller that names more bytes
// than it owns is told so instead of having its mistake buffered.
#pragma once

#include <cstddef>

namespace torva::garrulon {

// True when every byte of [data, data + size) lies in committed, readable,
// non-guard memory. A range that wraps past the end of the address space is
// not readable. size 0 is readable.
[[nodiscard]] bool IsReadable(const void* data, std::size_t size);

} // namespace torva::garrulon
