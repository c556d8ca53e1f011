// Points the store at the Zentrip.exe beside the test program and gives the
// tests a scratch key of their own in the shared database.
#pragma once

#include "CExpData.h"

#include <string>

// Call before the first store of the test program is made.
void UseRelayBesideTestProgram();
// "STORETEST<pid>": a key no other test program uses at the same time.
std::wstring ScratchKeyName();
// The relay process of this process, opened for waiting and ending; null when none.
HANDLE OpenRelayProcess();
