// Stands in for a program the diagnosis tool may start: it records that it
// ran, with its own path and command line, in "<its own path>.ran".
#include <windows.h>

#include <string>

int wmain() {
    wchar_t self[32768];
    const DWORD length = ::GetModuleFileNameW(nullptr, self, 32768);
    if (length == 0 || length >= 32768) return 1;
    const std::wstring path = std::wstring(self, length) + L".ran";
    const std::wstring text = std::wstring(self, length) + L"\n" + ::GetCommandLineW();
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    DWORD written = 0;
    ::WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written,
                nullptr);
    ::CloseHandle(file);
    return 0;
}
