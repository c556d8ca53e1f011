// Stands in for the relay program when the add-in side starts one: writes the
// arguments it was given, one per line, into "arguments.txt" beside itself,
// then waits (at most 10 s) for the event "Local\RelayProbeRelease<pid>"
// before it exits, so that the test can see it running.
#include <windows.h>
#include "ProgramFolder.h"
#include <shellapi.h>

#include <string>

#include "Win32Handles.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    const torva::UniqueLocalMem arguments(argv);
    if (!argv) return 1;
    std::wstring text;
    for (int i = 0; i < argc; ++i)
        text += std::wstring(argv[i]) + L"\n";

    const std::wstring file = torva::ProgramFolder() + L"arguments.txt.tmp";
    {
        const torva::UniqueFile out(
            ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        if (!out) return 2;
        DWORD written = 0;
        ::WriteFile(out.get(), text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)),
                    &written, nullptr);
    }
    // Appears whole or not at all.
    ::MoveFileExW(file.c_str(), file.substr(0, file.size() - 4).c_str(), MOVEFILE_REPLACE_EXISTING);

    const std::wstring release =
        L"Local\\RelayProbeRelease" + std::to_wstring(::GetCurrentProcessId());
    const torva::UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, release.c_str()));
    if (event) ::WaitForSingleObject(event.get(), 10000);
    return 0;
}
