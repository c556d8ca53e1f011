// Answers the requests that Zentrip's worker reads from the add-in: one call
// of the database, crypto or authentication library per request, the reply
// left in the pipe end's send buffer. Used by the worker thread alone.
#pragma once

#include <windows.h>

#include <vector>

#include "IERelay_Common.h"
#include "RelayLibraries.h"
#include "Win32Handles.h"

namespace torva::relay {

class CRequestDispatcher {
public:
    static constexpr int kEnd = 127; // TYPE_END: the worker leaves its loop

    explicit CRequestDispatcher(const RelayLibraries& libraries);

    // Answers the message in the client's receive buffer. Returns kEnd for
    // TYPE_END (nothing is left to send), otherwise 0 with the reply -
    // TYPE_ERROR for anything refused - in the send buffer. No exception
    // leaves it.
    [[nodiscard]] int SetOutputData(IERelay_Common& client) noexcept;
    // Leaves the 8-byte TYPE_ERROR message in the send buffer.
    void SetErrorData(IERelay_Common& client) noexcept;

    // The same answer without a pipe end: `message` holds `size` bytes of one
    // received message. Returns kEnd, or 0 with the reply in `reply`; an empty
    // reply (only when memory ran out) stands for TYPE_ERROR.
    [[nodiscard]] int Answer(const BYTE* message, DWORD size, std::vector<BYTE>& reply) noexcept;

private:
    RelayLibraries m_libraries;
    // The handlers' writable copy of the current request.
    UniqueCoTaskMem m_request;
    DWORD m_requestCapacity = 0;
};

// The TYPE_ERROR message.
std::vector<BYTE> ErrorReply();

} // namespace torva::relay
