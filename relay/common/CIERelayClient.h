// The relay program's end of the pipe. Opened for each exchange and closed
// after it; used by the relay's worker thread alone.
#pragma once

#include "IERelay_Common.h"

class CIERelayClient : public IERelay_Common {
public:
    explicit CIERelayClient(const std::wstring& pipeName);

    // TRUE when the pipe is open (at once when it already is); tries a bounded
    // number of times, waiting between tries for the server to listen.
    [[nodiscard]] BOOL OpenPipe();
    void ClosePipe();
    bool IsPipeOpen() const noexcept { return static_cast<bool>(m_pipe); }
    // The add-in's process id: the number after the last "@" of the pipe
    // name; 0 when there is none.
    DWORD GetServerPid() const;
};
