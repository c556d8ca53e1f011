// Zentrip: the 32-bit relay program that one browser add-in process starts
// for itself, with its pipe name as the last argument. It has no window.
#include <windows.h>
#include <shellapi.h>

#include "CRelayProgram.h"
#include "LinkedLibraries.h"
#include "Win32Handles.h"
#ifdef ZENTRIP_WITH_TRACE_HOOK
#include "TraceHook.h"
#endif

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
#ifdef ZENTRIP_WITH_TRACE_HOOK
    // From our own folder only; without it the program runs untraced.
    torva::trace::TraceHook::Bind(nullptr, L"Zentrip.exe");
#endif
    int result = 0;
    {
        int argc = 0;
        wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
        const torva::UniqueLocalMem arguments(argv);
        if (argv) {
            torva::relay::CRelayProgram program(torva::relay::LinkedLibraries());
            result = program.Main(argc, argv);
        }
    }
#ifdef ZENTRIP_WITH_TRACE_HOOK
    // Every other thread has ended by now.
    torva::trace::TraceHook::Unbind();
#endif
    return result;
}
