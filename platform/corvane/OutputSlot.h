// The caller's output buffer under the rules every Corvane call shares: a null
// buffer (capacity 0) asks for the needed length only; a buffer that is too
// small gets TVRCT_E_MORE_DATA and the needed length and is left untouched;
// a failed call leaves the buffer untouched and the length at 0.
#pragma once

#include <windows.h>

namespace corvane {

class OutputSlot {
public:
    enum class Fit { Query, TooSmall, Fits };

    // length must not be null; the exports check that. It is set to 0 here.
    OutputSlot(BYTE* buffer, DWORD capacity, DWORD* length) noexcept;

    // Reports needed through the length unless it Fits; the length is then
    // set by Commit once the result is complete.
    [[nodiscard]] Fit Check(DWORD needed) noexcept;
    // Copies the finished result in one step, so that the caller never sees a
    // partial one. size must not exceed the needed length that Fits.
    void Commit(const BYTE* result, DWORD size) noexcept;

private:
    BYTE* m_buffer;
    DWORD m_capacity;
    DWORD* m_length;
};

} // namespace corvane
