#include "OutputSlot.h"

#include <cstring>

#include "Corvane.h"

namespace corvane {

OutputSlot::OutputSlot(BYTE* buffer, DWORD capacity, DWORD* length) noexcept
    : m_buffer(buffer), m_capacity(buffer != nullptr ? capacity : 0), m_length(length) {
    *m_length = 0;
}

std::optional<DWORD> OutputSlot::Reserve(DWORD needed, EmptyQuery empty) noexcept {
    if (m_buffer != nullptr && needed <= m_capacity) return std::nullopt;
    *m_length = needed;
    if (m_buffer != nullptr) return TVRCT_E_MORE_DATA;
    if (needed == 0 && empty == EmptyQuery::Produce) return std::nullopt;
    return TVRCT_OK;
}

void OutputSlot::Commit(const BYTE* result, DWORD size) noexcept {
    if (size != 0) std::memcpy(m_buffer, result, size);
    *m_length = size;
}

} // namespace corvane
