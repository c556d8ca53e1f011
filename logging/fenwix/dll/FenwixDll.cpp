// The library's entry point and its five exports: argument-free wrappers
// around the process's one FenwixLogger. No exception leaves this file; a
// failure inside counts as "nothing done" / "not written".
#include "Fenwix.h"

#include "FenwixLogger.h"
#include "LastErrorKeeper.h"
#include "SystemLogClock.h"
#include "SystemLogEnvironment.h"

#include <cstdarg>

namespace {

torva::fenwix::SystemLogEnvironment g_environment;
torva::fenwix::SystemLogClock g_clock;
// Constructed before DllMain runs and destroyed after the last detach.
torva::fenwix::FenwixLogger g_logger(g_environment, g_clock);

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    try {
        if (reason == DLL_PROCESS_ATTACH) g_logger.Attach();
        if (reason == DLL_PROCESS_DETACH) g_logger.Detach();
    } catch (...) {
        // Attachment failing only leaves the library silent.
    }
    return TRUE;
}

FENWIX_API int __cdecl FENWIX_Initialize(void) {
    try {
        return g_logger.Initialize();
    } catch (...) {
        return 0;
    }
}

FENWIX_API int __cdecl FENWIX_SetLogLevel(int level) {
    try {
        return g_logger.SetLogLevel(level);
    } catch (...) {
        return 0;
    }
}

FENWIX_API int __cdecl FENWIX_SetMode(HMODULE module, int mode) {
    try {
        return g_logger.SetMode(module, mode);
    } catch (...) {
        return 0;
    }
}

FENWIX_API void __cdecl FENWIX_Terminate(void) {
    try {
        g_logger.Terminate();
    } catch (...) {
    }
}

FENWIX_API int __cdecl FENWIX_WriteLog(int level, const wchar_t* sourceFile, int line,
                                       const wchar_t* format, ...) {
    torva::LastErrorKeeper keepLastError;
    va_list args;
    va_start(args, format);
    int written = 0;
    try {
        written = g_logger.WriteLogV(level, sourceFile, line, format, args);
    } catch (...) {
        written = 0;
    }
    va_end(args);
    return written;
}
