// Stands in for TvrDBInit where the order of events matters: appends its own
// program name without ".exe" ("TvrDBInit", or the name of a decoy) as a line
// to the file named by OSTRAVO_TEST_LOG (the service's exchange log), so that
// one log shows the requests and which program was started, in their order.
#include <windows.h>

#include <cwchar>

int wmain() {
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetEnvironmentVariableW(L"OSTRAVO_TEST_LOG", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;

    wchar_t self[MAX_PATH] = {};
    const DWORD selfLength = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (selfLength == 0 || selfLength >= MAX_PATH) return 1;
    const wchar_t* name = std::wcsrchr(self, L'\\');
    name = name ? name + 1 : self;
    char line[MAX_PATH + 2] = {};
    int used = 0;
    for (const wchar_t* c = name; *c && *c != L'.' && used < MAX_PATH; ++c)
        line[used++] = *c < 0x80 ? static_cast<char>(*c) : '?';
    line[used++] = '\r';
    line[used++] = '\n';

    HANDLE file = ::CreateFileW(path, FILE_APPEND_DATA,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    DWORD written = 0;
    ::WriteFile(file, line, static_cast<DWORD>(used), &written, nullptr);
    ::CloseHandle(file);
    return 0;
}
