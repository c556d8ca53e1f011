// A fixed-size heap block for secrets (keys, plain text) that is wiped before
// it is freed. It never grows, so no stale copy is left behind by a
// reallocation. Move-only.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>

namespace corvane {

class SecureBuffer {
public:
    SecureBuffer() noexcept = default;
    // Zero-filled; throws std::bad_alloc.
    explicit SecureBuffer(size_t size);
    SecureBuffer(SecureBuffer&& other) noexcept;
    SecureBuffer& operator=(SecureBuffer&& other) noexcept;
    SecureBuffer(const SecureBuffer&) = delete;
    SecureBuffer& operator=(const SecureBuffer&) = delete;
    ~SecureBuffer() { Wipe(); }

    BYTE* data() noexcept { return m_bytes.get(); }
    const BYTE* data() const noexcept { return m_bytes.get(); }
    size_t size() const noexcept { return m_size; }

private:
    void Wipe() noexcept;

    std::unique_ptr<BYTE[]> m_bytes;
    size_t m_size = 0;
};

} // namespace corvane
