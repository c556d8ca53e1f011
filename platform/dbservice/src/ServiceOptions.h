// How one run of the database service is set up: where it listens, which
// folder it serves, and the faults a test can ask it to show.
#pragma once

#include <windows.h>

#include <string>

namespace dbservice {

struct ServiceOptions {
    std::wstring pipeName;   // the name after "\\.\pipe\"
    std::wstring folder;     // the database folder served; the only one codes 14 and 16 accept
    std::wstring logPath;    // one line per exchange; empty: no log
    std::wstring stopEvent;  // a named event that ends the service when set
    std::wstring readyEvent; // a named event set once the first pipe instance listens
    DWORD lockWaitMs = 500;  // bounded wait for a database's lock, below any client's patience

    // Faults, for the clients' tests.
    DWORD delayMs = 0;       // wait this long before each reply
    bool shortReply = false; // send only shortBytes of each reply
    DWORD shortBytes = 0;
    bool noReply = false;     // read requests, never answer
    bool forceStatus = false; // answer every request with this status and state 0
    DWORD status = 0;

    // Reads the switches; what is not given comes from the registry as the
    // product's programs read it (HKLM\SOFTWARE\Kobel\TORVA\DBMGR "PipeName",
    // the database folder as the database library finds it).
    [[nodiscard]] bool Parse(int argc, wchar_t** argv, std::wstring& error);
};

} // namespace dbservice
