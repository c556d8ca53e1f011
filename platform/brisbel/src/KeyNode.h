// One key of the in-memory tree: its sub keys and its values.
//
// Sub keys are kept sorted by folded name (binary search, enumeration in
// name order); values keep the order they were first written, with a hash
// index from folded name to position, so that neither lookup nor a set
// costs more as a key fills up. Not thread-safe: the owning Database locks.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace brisbel {

struct StoredValue {
    std::wstring name;   // spelling of the first write
    std::wstring folded; // comparison form
    DWORD type = 0;
    std::vector<uint8_t> data;
};

class KeyNode {
public:
    KeyNode(std::wstring name, std::wstring folded);
    KeyNode(const KeyNode&) = delete;
    KeyNode& operator=(const KeyNode&) = delete;
    KeyNode(KeyNode&&) = default;
    KeyNode& operator=(KeyNode&&) = default;

    const std::wstring& Name() const noexcept { return m_name; }
    const std::wstring& Folded() const noexcept { return m_folded; }

    KeyNode* FindChild(const std::wstring& folded) const noexcept;
    // The child of that name; created with this spelling when missing.
    KeyNode& AddChild(const std::wstring& name, const std::wstring& folded, bool& created);
    // Detaches the child (with everything below it); null when missing.
    std::unique_ptr<KeyNode> RemoveChild(const std::wstring& folded) noexcept;
    size_t ChildCount() const noexcept { return m_children.size(); }
    const KeyNode& Child(size_t index) const noexcept { return *m_children[index]; }

    const StoredValue* FindValue(const std::wstring& folded) const noexcept;
    // Writes or replaces a value; a replaced value keeps its spelling and
    // position. Returns the replaced value's size, or -1 for a new value.
    int64_t SetValue(std::wstring name, std::wstring folded, DWORD type, std::vector<uint8_t> data);
    // Returns the removed value's size, or -1 when there was none.
    int64_t DeleteValue(const std::wstring& folded);
    size_t ValueCount() const noexcept { return m_values.size(); }
    const StoredValue& Value(size_t index) const noexcept { return m_values[index]; }

private:
    std::vector<std::unique_ptr<KeyNode>>::const_iterator
    LowerBound(const std::wstring& folded) const noexcept;

    std::wstring m_name;
    std::wstring m_folded;
    std::vector<std::unique_ptr<KeyNode>> m_children;
    std::vector<StoredValue> m_values;
    std::unordered_map<std::wstring, size_t> m_valueIndex;
};

} // namespace brisbel
