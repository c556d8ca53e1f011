// Stands in for TvrDBInit where the order of events matters: appends the line
// "TvrDBInit" to the file named by OSTRAVO_TEST_LOG (the service's exchange
// log), so that one log shows the requests and the start in their order.
#include <windows.h>

int wmain() {
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetEnvironmentVariableW(L"OSTRAVO_TEST_LOG", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    HANDLE file = ::CreateFileW(path, FILE_APPEND_DATA,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    static const char line[] = "TvrDBInit\r\n";
    DWORD written = 0;
    ::WriteFile(file, line, sizeof(line) - 1, &written, nullptr);
    ::CloseHandle(file);
    return 0;
}
