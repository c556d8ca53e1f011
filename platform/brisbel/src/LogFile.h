// One generation file: its header and its raw bytes.
//
// Files are opened with FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE
// because other processes hold the same file, and a compacting process must
// be able to delete a generation that others still hold (they notice the
// superseded flag and let go on their next call). Callers hold the
// database's lock around every use.
#pragma once

#include "StorageFormat.h"
#include "Win32Handles.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace brisbel {

enum class HeaderState {
    Short,   // fewer bytes than a header: a creation that died before its header was written
    Invalid, // a whole header that fails its checks: damage
    Valid,
};

class LogFile {
public:
    LogFile() = default;
    LogFile(LogFile&&) noexcept = default;
    LogFile& operator=(LogFile&&) noexcept = default;

    enum class Access { ReadWrite, ReadOnly };

    // Opens an existing file. The Win32 error is kept for the caller to judge
    // (a file being deleted answers ERROR_ACCESS_DENIED).
    [[nodiscard]] static DWORD Open(const std::wstring& path, uint32_t generation, LogFile& out,
                                    DWORD& win32Error, Access access = Access::ReadWrite);
    // Creates or replaces the file with just a header, flushed.
    [[nodiscard]] static DWORD Create(const std::wstring& path, uint32_t generation, uint32_t flags,
                                      LogFile& out);

    static format::FileHeader MakeHeader(uint32_t generation, uint32_t flags) noexcept;

    bool IsOpen() const noexcept { return static_cast<bool>(m_file); }
    uint32_t Generation() const noexcept { return m_generation; }

    [[nodiscard]] DWORD ReadHeader(format::FileHeader& header, HeaderState& state);
    // Rewrites the header with new flags and flushes it.
    [[nodiscard]] DWORD WriteFlags(uint32_t flags);

    [[nodiscard]] DWORD Size(uint64_t& size);
    // Reads up to size bytes; fewer only at the end of the file.
    [[nodiscard]] DWORD ReadAt(uint64_t offset, void* buffer, size_t size, size_t& read);
    [[nodiscard]] DWORD WriteAt(uint64_t offset, const void* data, size_t size);
    [[nodiscard]] DWORD Flush();
    [[nodiscard]] DWORD Truncate(uint64_t size);

private:
    torva::UniqueFile m_file;
    uint32_t m_generation = 0;
};

} // namespace brisbel
