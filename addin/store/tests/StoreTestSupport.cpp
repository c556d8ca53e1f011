#include "StoreTestSupport.h"

#include "RelayState.h"

#include <cstdio>

void UseRelayBesideTestProgram() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    folder.erase(folder.find_last_of(L'\\') + 1);
    RelayState::Instance().SetRelayFolder(folder);
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
