#include "StoreTestSupport.h"
#include "ProgramFolder.h"

#include "RelayState.h"

#include <cstdio>

void UseRelayBesideTestProgram() {
    RelayState::Instance().SetRelayFolder(torva::ProgramFolder());
}

std::wstring ScratchKeyName() {
    wchar_t name[64];
    std::swprintf(name, 64, L"STORETEST%lu", ::GetCurrentProcessId());
    return name;
}

HANDLE OpenRelayProcess() {
    const DWORD id = RelayState::Instance().RelayProcessId();
    if (id == 0) return nullptr;
    return ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION,
                         FALSE, id);
}
