// A stand-in add-in process for the lifecycle tests: starts its own relay
// (--relay as for the tests), performs --requests=N database requests, then
// reports on stdout and waits until stdin closes or it is killed:
//   pipe <pipe name>
//   relay <relay process id>
//   ok <requests that succeeded>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "AddinChannel.h"
#include "Brisbel.h"
#include "RelayCalls.h"
#include "RelayTestEnvironment.h"

using namespace torva::relay::test;

int main(int argc, char** argv) {
    int requests = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--requests=", 11) == 0) requests = std::atoi(argv[i] + 11);
    }
    if (!ParseRelayArguments(&argc, argv)) return 2;
    AddinChannel channel(RelayFolder(), RelayReadyOpens());
    RelayCalls calls(channel);
    int ok = 0;
    uint64_t db = 0;
    if (calls.OpenDB(db) == 0) {
        ++ok;
        for (int i = 1; i < requests; ++i) {
            uint64_t key = 0;
            if (calls.OpenKey(db, L"RELAYTEST\\HOST_MISSING", key) == TVRDB_E_KEY_NOT_FOUND) ++ok;
        }
        calls.CloseDB(db);
    }
    std::printf("pipe %ls\nrelay %lu\nok %d\n", channel.PipeName().c_str(),
                channel.RelayProcessId(), ok);
    std::fflush(stdout);
    char byte;
    DWORD read = 0;
    while (::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), &byte, 1, &read, nullptr) && read) {
    }
    return 0;
}
