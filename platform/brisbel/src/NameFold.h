// The comparison form of key and value names: upper case, with the same
// length as the name (one UTF-16 unit maps to one). Two names are the same
// name when their folded forms are equal; sub keys sort by folded form.
#pragma once

#include <string>
#include <string_view>

namespace brisbel {

class NameFold {
public:
    // Throws std::bad_alloc only.
    static std::wstring Fold(std::wstring_view name);
};

} // namespace brisbel
