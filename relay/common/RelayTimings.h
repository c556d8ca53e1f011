// Every bounded wait of the channel. The defaults are the protocol's; tests
// shorten them to reach the time-out paths quickly. All values in ms.
#pragma once

#include <windows.h>

namespace torva::relay {

struct RelayTimings {
    DWORD lockWait = 30000;     // pipe-access lock
    DWORD firstReadWait = 3000; // a read's first wait, before the polls
    DWORD ioPollWait = 1000;    // each poll of an unfinished read or write
    int ioPolls = 30;
    DWORD connectWait = 10;   // each wait for the client while connecting
    int connectWaits = 1000;  // unsignalled waits before ConnectPipe gives up
    DWORD openRetryWait = 10; // between two tries of OpenPipe
    int openTries = 100;
};

} // namespace torva::relay
