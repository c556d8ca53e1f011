#include "LogFile.h"

#include "Crc32.h"
#include "Win32Status.h"

#include <algorithm>
#include <cstring>

namespace brisbel {
namespace {

using format::FileHeader;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr size_t kMaxChunk = 16u << 20;

OVERLAPPED At(uint64_t offset) noexcept {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}

uint32_t HeaderCrc(const FileHeader& header) noexcept {
    return Crc32::Of(&header, offsetof(FileHeader, crc));
}

} // namespace

FileHeader LogFile::MakeHeader(uint32_t generation, uint32_t flags) noexcept {
    FileHeader header{};
    header.magic = format::kFileMagic;
    header.version = format::kFileVersion;
    header.generation = generation;
    header.flags = flags;
    header.crc = HeaderCrc(header);
    return header;
}

DWORD LogFile::Open(const std::wstring& path, uint32_t generation, LogFile& out, DWORD& win32Error,
                    Access access) {
    const DWORD rights = access == Access::ReadOnly ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    torva::UniqueFile file(::CreateFileW(path.c_str(), rights, kShareAll, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    win32Error = file ? ERROR_SUCCESS : ::GetLastError();
    if (!file) return Win32Status::From(win32Error);
    out.m_file = std::move(file);
    out.m_generation = generation;
    return TVRDB_OK;
}

DWORD LogFile::Create(const std::wstring& path, uint32_t generation, uint32_t flags, LogFile& out) {
    LogFile created;
    created.m_file.reset(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll,
                                       nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!created.m_file) return Win32Status::FromLastError();
    created.m_generation = generation;
    const FileHeader header = MakeHeader(generation, flags);
    if (const DWORD status = created.WriteAt(0, &header, sizeof(header))) return status;
    if (const DWORD status = created.Flush()) return status;
    out = std::move(created);
    return TVRDB_OK;
}

DWORD LogFile::ReadHeader(FileHeader& header, HeaderState& state) {
    size_t read = 0;
    if (const DWORD status = ReadAt(0, &header, sizeof(header), read)) return status;
    if (read < sizeof(header)) {
        state = HeaderState::Short;
        return TVRDB_OK;
    }
    const bool valid =
        header.magic == format::kFileMagic && header.version == format::kFileVersion &&
        header.generation == m_generation && (header.flags & ~format::kKnownFlags) == 0 &&
        header.crc == HeaderCrc(header);
    state = valid ? HeaderState::Valid : HeaderState::Invalid;
    return TVRDB_OK;
}

DWORD LogFile::WriteFlags(uint32_t flags) {
    const FileHeader header = MakeHeader(m_generation, flags);
    if (const DWORD status = WriteAt(0, &header, sizeof(header))) return status;
    return Flush();
}

DWORD LogFile::Size(uint64_t& size) {
    LARGE_INTEGER value{};
    if (!::GetFileSizeEx(m_file.get(), &value)) return Win32Status::FromLastError();
    size = static_cast<uint64_t>(value.QuadPart);
    return TVRDB_OK;
}

DWORD LogFile::ReadAt(uint64_t offset, void* buffer, size_t size, size_t& read) {
    read = 0;
    auto out = static_cast<uint8_t*>(buffer);
    while (read < size) {
        const auto chunk = static_cast<DWORD>(std::min(size - read, kMaxChunk));
        OVERLAPPED at = At(offset + read);
        DWORD got = 0;
        if (!::ReadFile(m_file.get(), out + read, chunk, &got, &at)) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_HANDLE_EOF) break;
            return Win32Status::From(error);
        }
        if (got == 0) break;
        read += got;
    }
    return TVRDB_OK;
}

DWORD LogFile::WriteAt(uint64_t offset, const void* data, size_t size) {
    auto in = static_cast<const uint8_t*>(data);
    size_t written = 0;
    while (written < size) {
        const auto chunk = static_cast<DWORD>(std::min(size - written, kMaxChunk));
        OVERLAPPED at = At(offset + written);
        DWORD put = 0;
        if (!::WriteFile(m_file.get(), in + written, chunk, &put, &at)) {
            return Win32Status::FromLastError();
        }
        if (put == 0) return TVRDB_E_STORAGE;
        written += put;
    }
    return TVRDB_OK;
}

DWORD LogFile::Flush() {
    return ::FlushFileBuffers(m_file.get()) ? TVRDB_OK : Win32Status::FromLastError();
}

DWORD LogFile::Truncate(uint64_t size) {
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(size);
    if (!::SetFilePointerEx(m_file.get(), position, nullptr, FILE_BEGIN) ||
        !::SetEndOfFile(m_file.get())) {
        return Win32Status::FromLastError();
    }
    return TVRDB_OK;
}

} // namespace brisbel
