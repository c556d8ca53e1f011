// The caller's output buffer under the rules every Corvane call shares: a null
// buffer (capacity 0) asks for the needed length only; a buffer that is too
// small gets TVRCT_E_MORE_DATA and the needed length and is left untouched;
// a failed call leaves the buffer untouched and the length at 0.
#pragma once

#include <windows.h>

#include <optional>

namespace corvane {

class OutputSlot {
public:
    // What a length query for an empty result does.
    enum class EmptyQuery {
        Answer,  // the length is the answer, as for any other size
        Produce, // the call goes on: "0 bytes" is then the whole result, so a
                 // decryption has to authenticate the data before giving it
    };

    // length must not be null; the exports check that. It is set to 0 here.
    OutputSlot(BYTE* buffer, DWORD capacity, DWORD* length) noexcept;

    // Reports needed through the length unless the buffer has room for it.
    // Returns the status the call ends with when the length alone answers it
    // (a query, or a buffer too small); nothing when the call is to produce
    // its result and Commit it.
    [[nodiscard]] std::optional<DWORD> Reserve(DWORD needed,
                                               EmptyQuery empty = EmptyQuery::Answer) noexcept;
    // Copies the finished result in one step, so that the caller never sees a
    // partial one. size must not exceed the needed length Reserve accepted.
    void Commit(const BYTE* result, DWORD size) noexcept;

private:
    BYTE* m_buffer;
    DWORD m_capacity;
    DWORD* m_length;
};

} // namespace corvane
