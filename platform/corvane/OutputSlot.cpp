#include "OutputSlot.h"

#include <cstring>

namespace corvane {

OutputSlot::OutputSlot(BYTE* buffer, DWORD capacity, DWORD* length) noexcept
    : m_buffer(buffer), m_capacity(buffer != nullptr ? capacity : 0), m_length(length) {
    *m_length = 0;
}

OutputSlot::Fit OutputSlot::Check(DWORD needed) noexcept {
    if (m_buffer != nullptr && needed <= m_capacity) return Fit::Fits;
    *m_length = needed;
    return m_buffer == nullptr ? Fit::Query : Fit::TooSmall;
}

void OutputSlot::Commit(const BYTE* result, DWORD size) noexcept {
    if (size != 0) std::memcpy(m_buffer, result, size);
    *m_length = size;
}

} // namespace corvane
