#include "SecureBuffer.h"

#include <utility>

namespace corvane {

SecureBuffer::SecureBuffer(size_t size) : m_bytes(new BYTE[size == 0 ? 1 : size]()), m_size(size) {}

SecureBuffer::SecureBuffer(SecureBuffer&& other) noexcept
    : m_bytes(std::move(other.m_bytes)), m_size(std::exchange(other.m_size, 0)) {}

SecureBuffer& SecureBuffer::operator=(SecureBuffer&& other) noexcept {
    if (this == &other) return *this;
    Wipe();
    m_bytes = std::move(other.m_bytes);
    m_size = std::exchange(other.m_size, 0);
    return *this;
}

void SecureBuffer::Wipe() noexcept {
    if (m_bytes) SecureZeroMemory(m_bytes.get(), m_size);
}

} // namespace corvane
