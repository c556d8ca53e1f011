#include "KeyTree.h"

#include "NameFold.h"
#include "RecordCodec.h"

namespace brisbel {

using format::kCreateKey;
using format::kSetValue;

KeyTree::KeyTree() : m_root(std::wstring(), std::wstring()) {}

KeyNode* KeyTree::FindMutable(const KeyPath& path, size_t depth) const noexcept {
    auto node = const_cast<KeyNode*>(&m_root);
    for (size_t i = 0; i < depth && node; ++i)
        node = node->FindChild(path.Folded(i));
    return node;
}

const KeyNode* KeyTree::Find(const KeyPath& path) const noexcept {
    return FindMutable(path, path.Depth());
}

std::wstring KeyTree::StoredPath(const KeyPath& path) const {
    std::wstring text;
    text.reserve(path.Length());
    const KeyNode* node = &m_root;
    for (size_t i = 0; i < path.Depth() && node; ++i) {
        node = node->FindChild(path.Folded(i));
        if (!node) break;
        if (i != 0) text += L'\\';
        text += node->Name();
    }
    return text;
}

bool KeyTree::CreateKey(const KeyPath& path) {
    KeyNode* node = &m_root;
    bool any = false;
    size_t pathLength = 0;
    for (size_t i = 0; i < path.Depth(); ++i) {
        pathLength += (i != 0) + path.Name(i).size();
        bool created = false;
        node = &node->AddChild(path.Name(i), path.Folded(i), created);
        if (created) m_liveBytes += RecordCodec::EncodedSize(kCreateKey, pathLength, 0, 0);
        any |= created;
    }
    return any;
}

bool KeyTree::DeleteKey(const KeyPath& path) {
    if (path.IsRoot()) return false;
    KeyNode* parent = FindMutable(path, path.Depth() - 1);
    if (!parent) return false;
    const auto removed = parent->RemoveChild(path.Folded(path.Depth() - 1));
    if (!removed) return false;
    m_liveBytes -= SubtreeBytes(*removed, path.Length());
    return true;
}

uint64_t KeyTree::SubtreeBytes(const KeyNode& node, size_t pathLength) noexcept {
    uint64_t bytes = RecordCodec::EncodedSize(kCreateKey, pathLength, 0, 0);
    for (size_t i = 0; i < node.ValueCount(); ++i) {
        const StoredValue& value = node.Value(i);
        bytes +=
            RecordCodec::EncodedSize(kSetValue, pathLength, value.name.size(), value.data.size());
    }
    for (size_t i = 0; i < node.ChildCount(); ++i) {
        const KeyNode& child = node.Child(i);
        bytes += SubtreeBytes(child, pathLength + 1 + child.Name().size());
    }
    return bytes;
}

void KeyTree::SetValue(const KeyPath& path, std::wstring_view name, DWORD type,
                       std::vector<uint8_t> data) {
    KeyNode* node = FindMutable(path, path.Depth());
    if (!node) {
        CreateKey(path);
        node = FindMutable(path, path.Depth());
    }
    const size_t size = data.size();
    const int64_t oldSize =
        node->SetValue(std::wstring(name), NameFold::Fold(name), type, std::move(data));
    if (oldSize < 0) {
        m_liveBytes += RecordCodec::EncodedSize(kSetValue, path.Length(), name.size(), size);
    } else {
        m_liveBytes += size;
        m_liveBytes -= static_cast<uint64_t>(oldSize);
    }
}

bool KeyTree::DeleteValue(const KeyPath& path, std::wstring_view name) {
    KeyNode* node = FindMutable(path, path.Depth());
    if (!node) return false;
    const int64_t oldSize = node->DeleteValue(NameFold::Fold(name));
    if (oldSize < 0) return false;
    m_liveBytes -= RecordCodec::EncodedSize(kSetValue, path.Length(), name.size(),
                                            static_cast<size_t>(oldSize));
    return true;
}

} // namespace brisbel
