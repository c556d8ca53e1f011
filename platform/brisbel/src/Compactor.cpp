#include "Compactor.h"

#include "RecordCodec.h"

#include <string>
#include <vector>

namespace brisbel {
namespace {

using format::kCreateKey;
using format::kSetValue;

constexpr size_t kWriteChunk = 1u << 20;

class SnapshotWriter {
public:
    SnapshotWriter(LogFile& out, uint64_t start) : m_out(out), m_offset(start) {}

    [[nodiscard]] DWORD Key(const KeyNode& node, std::wstring& path) {
        const size_t parentLength = path.size();
        if (!path.empty()) path += L'\\';
        path += node.Name();
        RecordCodec::Encode(kCreateKey, path, {}, 0, nullptr, 0, m_buffer);
        if (const DWORD status = DrainWhenFull()) return status;
        for (size_t i = 0; i < node.ValueCount(); ++i) {
            if (const DWORD status = Value(node.Value(i), path)) return status;
        }
        for (size_t i = 0; i < node.ChildCount(); ++i) {
            if (const DWORD status = Key(node.Child(i), path)) return status;
        }
        path.resize(parentLength);
        return TVRDB_OK;
    }

    [[nodiscard]] DWORD Value(const StoredValue& value, const std::wstring& path) {
        RecordCodec::Encode(kSetValue, path, value.name, value.type, value.data.data(),
                            value.data.size(), m_buffer);
        return DrainWhenFull();
    }

    [[nodiscard]] DWORD DrainWhenFull() {
        return m_buffer.size() >= kWriteChunk ? Drain() : TVRDB_OK;
    }

    [[nodiscard]] DWORD Drain() {
        if (m_buffer.empty()) return TVRDB_OK;
        if (const DWORD status = m_out.WriteAt(m_offset, m_buffer.data(), m_buffer.size())) {
            return status;
        }
        m_offset += m_buffer.size();
        m_buffer.clear();
        return TVRDB_OK;
    }

    uint64_t Offset() const noexcept { return m_offset; }

private:
    LogFile& m_out;
    uint64_t m_offset;
    std::vector<uint8_t> m_buffer;
};

} // namespace

DWORD Compactor::WriteSnapshot(const KeyTree& tree, LogFile& out, uint64_t& end) {
    SnapshotWriter writer(out, sizeof(format::FileHeader));
    const KeyNode& root = tree.Root();
    std::wstring path;
    for (size_t i = 0; i < root.ValueCount(); ++i) {
        if (const DWORD status = writer.Value(root.Value(i), path)) return status;
    }
    for (size_t i = 0; i < root.ChildCount(); ++i) {
        if (const DWORD status = writer.Key(root.Child(i), path)) return status;
    }
    if (const DWORD status = writer.Drain()) return status;
    if (const DWORD status = out.Flush()) return status;
    end = writer.Offset();
    return TVRDB_OK;
}

} // namespace brisbel
