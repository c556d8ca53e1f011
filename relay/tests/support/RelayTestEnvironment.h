// Where the relay program under test lives. Test programs take it as a
// parameter: --relay=<folder or path of Zentrip.exe>, or --relay=installed for
// the install folder (HKLM SOFTWARE\Kobel\TORVA "Location", 32-bit view).
// Without the parameter, the Zentrip.exe beside the test program is used.
#pragma once

#include <string>

namespace torva::relay::test {

// Reads the relay parameter and removes it from argv. Returns false (and
// prints why) when the parameter names nothing usable.
bool ParseRelayArguments(int* argc, char** argv);

// The folder of the relay program, ending in a backslash.
const std::wstring& RelayFolder();
// True when the relay program is a 32-bit executable.
bool RelayIs32Bit();
// How many failed opens of the Ready event a start tolerates: the add-in's 52,
// or enough for a 32-bit start on a machine that emulates 32-bit processes.
int RelayReadyOpens();
// The folder of the running test program, ending in a backslash.
std::wstring OwnFolder();
// The install folder from the registry, ending in a backslash; empty if unset.
std::wstring InstalledFolder();

} // namespace torva::relay::test
