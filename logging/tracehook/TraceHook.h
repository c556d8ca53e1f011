// Binding of the trace-log library for one module (program or DLL) of the
// process: loads Fenwix.dll from the folder of the calling module, binds its
// five exports by name, chooses the log file's naming, and publishes
// FENWIX_WriteLog as the process-wide pointer that the trace functions call.
//
// Threads: Bind and Unbind are called once each, at the module's start and
// end, while no other thread traces; Unbind must not run while another thread
// may still be inside a trace call, because it unloads the library. Reading
// the pointer (tracing) is safe from any thread at any other time.
//
// Callers: Zentrip Bind(nullptr, L"Zentrip.exe"), Mablix Bind(nullptr,
// L"Mablix.exe"), Quorvel Bind(its own instance, L"Quorvel.dll").
#pragma once

#include "Fenwix.h"

#include <string>

namespace torva::trace {

class TraceHook {
public:
    inline static constexpr wchar_t kLibraryFile[] = L"Fenwix.dll";

    // Loads kLibraryFile from callerModule's folder (null: the executable's),
    // never through the search path, so a planted copy elsewhere is never
    // run. Binds FENWIX_SetLogLevel, FENWIX_WriteLog, FENWIX_Initialize,
    // FENWIX_Terminate, FENWIX_SetMode in this order and, when SetMode is
    // there, calls it once with GetModuleHandleW(logModuleName) and mode.
    // Returns true when lines can be written. A missing library or export
    // only leaves tracing off. The caller's last-error code is kept.
    static bool Bind(HMODULE callerModule, const wchar_t* logModuleName,
                     int mode = FENWIX_MODE_PER_USER);
    // As Bind, with the library's full path given.
    static bool BindLibrary(const std::wstring& libraryPath, const wchar_t* logModuleName,
                            int mode = FENWIX_MODE_PER_USER);
    // Clears the pointers, then unloads the library.
    static void Unbind();
    // Clears the pointers and lets go of the library without unloading it:
    // for a DLL's detach at process exit, where unloading another library
    // under the loader lock is unsafe and the ending process unloads it.
    static void Abandon();

    static bool IsBound() noexcept;
    // The process-wide pointer; null when tracing is off.
    static FENWIX_WRITELOG_FN WriteLogFunction() noexcept;

    // "<folder of callerModule>\Fenwix.dll"; empty when the module's file
    // name cannot be read.
    static std::wstring LibraryPathFor(HMODULE callerModule);
};

} // namespace torva::trace
