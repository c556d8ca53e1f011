// Zentrip's life: the relay lock, the channel's events and pipe end and the
// worker, from the start on a pipe name to the end of the worker. Two threads:
// the main thread waits for the worker, which serves the requests.
#pragma once

#include <windows.h>

#include <string>

#include "RelayLibraries.h"

namespace torva::relay {

class CRelayProgram {
public:
    explicit CRelayProgram(const RelayLibraries& libraries) noexcept : m_libraries(libraries) {}

    // The program's entry after the trace hook: the arguments as the command
    // line splits them. The pipe name is the last argument; with none, nothing
    // is created. Always 0.
    int Main(int argc, wchar_t** argv) noexcept;

    // Serves the channel of `pipeName` until the worker ends. 0.
    int Start(const std::wstring& pipeName, const std::wstring& relayLockName);

private:
    RelayLibraries m_libraries;
};

} // namespace torva::relay
