#include "RelayTestEnvironment.h"
#include "InstallFolder.h"
#include "ProgramFolder.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace torva::relay::test {
namespace {

std::wstring g_folder;

std::wstring Widen(const char* text) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring wide(length > 0 ? length - 1 : 0, L'\0');
    if (length > 1) ::MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], length);
    return wide;
}

std::wstring WithBackslash(std::wstring folder) {
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    return folder;
}

} // namespace

std::wstring OwnFolder() {
    return torva::ProgramFolder();
}

std::wstring InstalledFolder() {
    return torva::InstallFolder();
}

bool ParseRelayArguments(int* argc, char** argv) {
    g_folder = OwnFolder();
    int kept = 1;
    bool ok = true;
    for (int i = 1; i < *argc; ++i) {
        const char* prefix = "--relay=";
        if (std::strncmp(argv[i], prefix, std::strlen(prefix)) != 0) {
            argv[kept++] = argv[i];
            continue;
        }
        const char* value = argv[i] + std::strlen(prefix);
        std::wstring folder =
            std::strcmp(value, "installed") == 0 ? InstalledFolder() : Widen(value);
        const size_t exe = folder.size() >= 4 ? folder.size() - 4 : 0;
        if (folder.size() >= 4 && _wcsicmp(folder.c_str() + exe, L".exe") == 0) {
            folder = folder.substr(0, folder.find_last_of(L"\\/") + 1);
        }
        g_folder = WithBackslash(folder);
        if (g_folder.empty()) {
            std::fprintf(stderr, "--relay=%s names no folder\n", value);
            ok = false;
        }
    }
    *argc = kept;
    argv[kept] = nullptr;
    if (ok &&
        ::GetFileAttributesW((g_folder + L"Zentrip.exe").c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::fprintf(stderr, "no Zentrip.exe in %ls\n", g_folder.c_str());
        ok = false;
    }
    if (ok)
        std::printf("relay under test: %lsZentrip.exe (%d-bit)\n", g_folder.c_str(),
                    RelayIs32Bit() ? 32 : 64);
    return ok;
}

const std::wstring& RelayFolder() {
    if (g_folder.empty()) g_folder = OwnFolder();
    return g_folder;
}

bool RelayIs32Bit() {
    DWORD kind = 0;
    return ::GetBinaryTypeW((RelayFolder() + L"Zentrip.exe").c_str(), &kind) &&
           kind == SCS_32BIT_BINARY;
}

int RelayReadyOpens() {
    // A 32-bit process started from a 64-bit one needs about a minute on a
    // machine that emulates 32-bit processes, several under load.
    return RelayIs32Bit() && sizeof(void*) == 8 ? 2400 : 52;
}

} // namespace torva::relay::test
