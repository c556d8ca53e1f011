// A key's address: its components from the root down, each with its folded
// (comparison) form. The root is the empty path.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace brisbel {

class KeyPath {
public:
    KeyPath() = default; // the root

    // Reads "A\B\C": leading and trailing '\' are dropped, "" is the root.
    // An empty component ("A\\B") -> TVRDB_E_INVALID_ARG; more than
    // TVRDB_MAX_NAME characters -> TVRDB_E_NAME_TOO_LONG.
    [[nodiscard]] static DWORD Parse(std::wstring_view text, KeyPath& out);

    // This path followed by relative; the joined path obeys Parse's length rule.
    [[nodiscard]] DWORD Join(const KeyPath& relative, KeyPath& out) const;

    bool IsRoot() const noexcept { return m_names.empty(); }
    size_t Depth() const noexcept { return m_names.size(); }
    const std::wstring& Name(size_t i) const noexcept { return m_names[i]; }
    const std::wstring& Folded(size_t i) const noexcept { return m_folded[i]; }
    // Characters of the joined text.
    size_t Length() const noexcept;
    // The components joined by '\' in the spelling given to Parse.
    std::wstring Text() const;

private:
    std::vector<std::wstring> m_names;
    std::vector<std::wstring> m_folded;
};

} // namespace brisbel
