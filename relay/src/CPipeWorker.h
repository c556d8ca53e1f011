// Zentrip's worker: serves one request after another on the channel until
// TYPE_END, until the add-in process is gone, or until the pipe cannot be
// opened any more.
#pragma once

#include "RelayConnection.h"

namespace torva::relay {

class CPipeWorker {
public:
    // Thread procedure for _beginthreadex; `connection` is a RelayConnection*.
    static unsigned __stdcall PipeGetDataProc(void* connection);

    explicit CPipeWorker(RelayConnection& connection) noexcept : m_connection(connection) {}
    // Runs the cycles; returns when the worker is to end.
    void Run();

private:
    enum class CycleEnd { Next, Leave };
    [[nodiscard]] CycleEnd ServeOne();
    [[nodiscard]] bool OpenPipe();
    bool AddinGone() const noexcept;

    RelayConnection& m_connection;
};

} // namespace torva::relay
