#include "RecordCodec.h"

#include "Crc32.h"
#include "ValueRules.h"

#include <algorithm>
#include <cstring>

namespace brisbel {
namespace {

using namespace format;

bool HasName(RecordKind kind) noexcept {
    return kind == kSetValue || kind == kDeleteValue;
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    const uint8_t bytes[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    out.insert(out.end(), bytes, bytes + 4);
}

void PutString(std::vector<uint8_t>& out, std::wstring_view s) {
    const auto length = static_cast<uint16_t>(s.size());
    out.push_back(uint8_t(length));
    out.push_back(uint8_t(length >> 8));
    const auto* bytes = reinterpret_cast<const uint8_t*>(s.data());
    out.insert(out.end(), bytes, bytes + s.size() * sizeof(wchar_t));
}

class PayloadReader {
public:
    PayloadReader(const uint8_t* p, size_t n) : m_p(p), m_left(n) {}
    bool U32(uint32_t& v) {
        if (m_left < 4) return false;
        v = uint32_t(m_p[0]) | uint32_t(m_p[1]) << 8 | uint32_t(m_p[2]) << 16 |
            uint32_t(m_p[3]) << 24;
        Skip(4);
        return true;
    }
    bool String(std::wstring& s) {
        if (m_left < kStringPrefixSize) return false;
        const size_t length = size_t(m_p[0]) | size_t(m_p[1]) << 8;
        Skip(kStringPrefixSize);
        if (length > TVRDB_MAX_NAME || m_left < length * sizeof(wchar_t)) return false;
        s.resize(length);
        std::memcpy(s.data(), m_p, length * sizeof(wchar_t));
        Skip(length * sizeof(wchar_t));
        return true;
    }
    bool Bytes(size_t n, std::vector<uint8_t>& out) {
        if (m_left < n) return false;
        out.assign(m_p, m_p + n);
        Skip(n);
        return true;
    }
    bool AtEnd() const noexcept { return m_left == 0; }

private:
    void Skip(size_t n) noexcept {
        m_p += n;
        m_left -= n;
    }
    const uint8_t* m_p;
    size_t m_left;
};

} // namespace

void RecordCodec::Encode(const Record& record, std::vector<uint8_t>& out) {
    Encode(record.kind, record.path, record.name, record.type, record.data.data(),
           record.data.size(), out);
}

void RecordCodec::Encode(RecordKind kind, std::wstring_view path, std::wstring_view name,
                         DWORD type, const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
    const size_t start = out.size();
    // Grown geometrically: compaction encodes a whole database into one
    // buffer, and growing it to the exact size each time would copy all of
    // it once per record.
    const size_t needed =
        start + static_cast<size_t>(EncodedSize(kind, path.size(), name.size(), size));
    if (out.capacity() < needed) out.reserve(std::max(needed, 2 * out.capacity()));
    out.resize(start + sizeof(RecordHeader));
    PutString(out, path);
    if (HasName(kind)) PutString(out, name);
    if (kind == kSetValue) {
        PutU32(out, type);
        PutU32(out, static_cast<uint32_t>(size));
        if (size != 0) out.insert(out.end(), data, data + size);
    }

    RecordHeader header{};
    header.length = static_cast<uint32_t>(out.size() - start - sizeof(RecordHeader));
    header.kind = kind;
    std::memcpy(out.data() + start, &header, sizeof(header));
    header.crc =
        Crc32::Of(out.data() + start + sizeof(header.crc), out.size() - start - sizeof(header.crc));
    std::memcpy(out.data() + start, &header.crc, sizeof(header.crc));
}

uint64_t RecordCodec::EncodedSize(RecordKind kind, size_t pathLength, size_t nameLength,
                                  size_t dataSize) noexcept {
    uint64_t size = sizeof(RecordHeader) + kStringPrefixSize + pathLength * sizeof(wchar_t);
    if (HasName(kind)) size += kStringPrefixSize + nameLength * sizeof(wchar_t);
    if (kind == kSetValue) size += 2 * sizeof(uint32_t) + dataSize;
    return size;
}

bool RecordCodec::Decode(RecordKind kind, const uint8_t* payload, size_t length, Record& out) {
    PayloadReader in(payload, length);
    out.kind = kind;
    out.type = 0;
    out.name.clear();
    out.data.clear();
    if (!in.String(out.path)) return false;
    if (HasName(kind) && !in.String(out.name)) return false;
    if (kind == kSetValue) {
        uint32_t type = 0, size = 0;
        if (!in.U32(type) || !in.U32(size)) return false;
        if (ValueRules::Check(type, size) != TVRDB_OK) return false;
        if (!in.Bytes(size, out.data)) return false;
        out.type = type;
    }
    return in.AtEnd();
}

bool RecordCodec::IsKnownKind(uint8_t kind) noexcept {
    return kind >= kCreateKey && kind <= kDeleteValue;
}

} // namespace brisbel
