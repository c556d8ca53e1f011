// peltrix_auth_host.exe <case>: asks TvrAuth_AuthenticateUser once, as a
// program that the test started would, and exits with its result.
// peltrix_auth_host.exe --detached <case>: starts the first form and exits at
// once with that process's id, leaving it without a running parent, as the
// process of a program that this test did not start.
#include "Peltrix.h"
#include "ProgramFolder.h"

#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wcscmp(argv[1], L"--detached") == 0) {
        std::wstring command =
            L"\"" + torva::ProgramFolder() + L"peltrix_auth_host.exe\" " + argv[2];
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &info)) {
            return 0;
        }
        ::CloseHandle(info.hThread);
        ::CloseHandle(info.hProcess);
        return static_cast<int>(info.dwProcessId);
    }
    if (argc != 2) return 100;
    const auto authCase = static_cast<DWORD>(std::wcstoul(argv[1], nullptr, 10));
    return static_cast<int>(TvrAuth_AuthenticateUser(static_cast<eAuthCase>(authCase)));
}
