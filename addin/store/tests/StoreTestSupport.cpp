#include "StoreTestSupport.h"
#include "InstallFolder.h"
#include "ProgramFolder.h"

#include "RelayState.h"

#include <cstdio>
#include <cwchar>

void UseRelayBesideTestProgram() {
    // TORVA_TEST_RELAY=installed: the installed 32-bit Zentrip, as the add-in
    // in the browser starts it, in place of the 64-bit one beside the tests.
    wchar_t relay[16] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"TORVA_TEST_RELAY", relay, 16);
    const bool installed = length > 0 && length < 16 && std::wcscmp(relay, L"installed") == 0;
    RelayState::Instance().SetRelayFolder(installed ? torva::InstallFolder()
                                                    : torva::ProgramFolder());
}

std::wstring ScratchKeyName() {
    wchar_t name[64];
    std::swprintf(name, 64, L"STORETEST%lu", ::GetCurrentProcessId());
    return name;
}

HANDLE OpenRelayProcess() {
    const DWORD id = RelayState::Instance().RelayProcessId();
    if (id == 0) return nullptr;
    return ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                         id);
}
