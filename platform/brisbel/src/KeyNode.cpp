#include "KeyNode.h"

#include <algorithm>

namespace brisbel {

KeyNode::KeyNode(std::wstring name, std::wstring folded)
    : m_name(std::move(name)), m_folded(std::move(folded)) {}

std::vector<std::unique_ptr<KeyNode>>::const_iterator
KeyNode::LowerBound(const std::wstring& folded) const noexcept {
    return std::lower_bound(m_children.begin(), m_children.end(), folded,
                            [](const std::unique_ptr<KeyNode>& child, const std::wstring& f) {
                                return child->m_folded < f;
                            });
}

KeyNode* KeyNode::FindChild(const std::wstring& folded) const noexcept {
    const auto it = LowerBound(folded);
    if (it == m_children.end() || (*it)->m_folded != folded) return nullptr;
    return it->get();
}

KeyNode& KeyNode::AddChild(const std::wstring& name, const std::wstring& folded, bool& created) {
    const auto it = LowerBound(folded);
    if (it != m_children.end() && (*it)->m_folded == folded) {
        created = false;
        return **it;
    }
    auto child = std::make_unique<KeyNode>(name, folded);
    KeyNode& ref = *child;
    m_children.insert(it, std::move(child));
    created = true;
    return ref;
}

std::unique_ptr<KeyNode> KeyNode::RemoveChild(const std::wstring& folded) noexcept {
    const auto it = LowerBound(folded);
    if (it == m_children.end() || (*it)->m_folded != folded) return nullptr;
    auto removed = std::move(m_children[it - m_children.begin()]);
    m_children.erase(it);
    return removed;
}

const StoredValue* KeyNode::FindValue(const std::wstring& folded) const noexcept {
    const auto it = m_valueIndex.find(folded);
    return it == m_valueIndex.end() ? nullptr : &m_values[it->second];
}

int64_t KeyNode::SetValue(std::wstring name, std::wstring folded, DWORD type,
                          std::vector<uint8_t> data) {
    const auto it = m_valueIndex.find(folded);
    if (it != m_valueIndex.end()) {
        StoredValue& value = m_values[it->second];
        const auto oldSize = static_cast<int64_t>(value.data.size());
        value.type = type;
        value.data = std::move(data);
        return oldSize;
    }
    // Index first; should the vector fail to grow, the entry is taken back.
    const auto indexed = m_valueIndex.emplace(folded, m_values.size()).first;
    try {
        m_values.push_back(StoredValue{std::move(name), std::move(folded), type, std::move(data)});
    } catch (...) {
        m_valueIndex.erase(indexed);
        throw;
    }
    return -1;
}

int64_t KeyNode::DeleteValue(const std::wstring& folded) {
    const auto it = m_valueIndex.find(folded);
    if (it == m_valueIndex.end()) return -1;
    const size_t position = it->second;
    const auto size = static_cast<int64_t>(m_values[position].data.size());
    m_valueIndex.erase(it);
    m_values.erase(m_values.begin() + static_cast<ptrdiff_t>(position));
    for (size_t i = position; i < m_values.size(); ++i)
        m_valueIndex.find(m_values[i].folded)->second = i;
    return size;
}

} // namespace brisbel
