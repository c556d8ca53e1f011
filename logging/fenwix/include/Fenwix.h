// The trace-log library's exported interface. Callers never link against the
// library: they load it at run time and bind these five functions by name, so
// the function-pointer types below are the contract they compile against.
//
// Every export uses the C calling convention (the caller cleans the stack,
// which FENWIX_WriteLog's variable argument list needs). Format strings follow
// the Microsoft wide printf rules: "%s" takes a wide string.
#pragma once

#include <windows.h>

#ifdef FENWIX_BUILDING_DLL
#define FENWIX_API extern "C" __declspec(dllexport)
#else
#define FENWIX_API extern "C" __declspec(dllimport)
#endif

// Naming modes for FENWIX_SetMode.
constexpr int FENWIX_MODE_PER_USER = 1; // user's name in the file name, per-user folder
constexpr int FENWIX_MODE_PLAIN = 2;    // plain names in the TorvaLog folder of the Windows drive

// Ordinal 1. Runs the first-time set-up or the date roll-over when due.
// Returns 0 when nothing had to be done, otherwise the old-log sweep's outcome
// (-1 when no old log matched).
FENWIX_API int __cdecl FENWIX_Initialize(void);
// Ordinal 2. Returns the level now in force; the first initialisation
// replaces it by the machine's configured level.
FENWIX_API int __cdecl FENWIX_SetLogLevel(int level);
// Ordinal 3. module names the log file (null: the process executable). Must
// come before the first line is written. Returns 1.
FENWIX_API int __cdecl FENWIX_SetMode(HMODULE module, int mode);
// Ordinal 4. Clears all state; the next call initialises afresh.
FENWIX_API void __cdecl FENWIX_Terminate(void);
// Ordinal 5. Appends one line when level is at most the configured level.
// Returns 1 when the line was written. Never changes the caller's last-error.
FENWIX_API int __cdecl FENWIX_WriteLog(int level, const wchar_t* sourceFile, int line,
                                       const wchar_t* format, ...);

using FENWIX_INITIALIZE_FN = int(__cdecl*)(void);
using FENWIX_SETLOGLEVEL_FN = int(__cdecl*)(int);
using FENWIX_SETMODE_FN = int(__cdecl*)(HMODULE, int);
using FENWIX_TERMINATE_FN = void(__cdecl*)(void);
using FENWIX_WRITELOG_FN = int(__cdecl*)(int, const wchar_t*, int, const wchar_t*, ...);
