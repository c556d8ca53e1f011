// The trace-log library's state and behaviour, one instance per loading
// process (the DLL keeps one; tests make their own with a fake environment
// and clock).
//
// Threads: every method may be called from any thread at once. The state
// (settings, names, date) is guarded by an in-process mutex; appending to the
// file is serialised by the named per-process lock event, taken with a time
// limit so that a stuck writer costs lines, never a hung caller.
#pragma once

#include "LogClock.h"
#include "LogEnvironment.h"
#include "LogFormat.h"
#include "Win32Handles.h"

#include <atomic>
#include <cstdarg>
#include <mutex>
#include <string>

namespace torva::fenwix {

class FenwixLogger {
public:
    // env and clock must outlive the logger. The logger starts detached.
    FenwixLogger(LogEnvironment& env, LogClock& clock, DWORD lockTimeoutMs = kLockTimeoutMs);
    FenwixLogger(const FenwixLogger&) = delete;
    FenwixLogger& operator=(const FenwixLogger&) = delete;

    // Process attach: clears all state. Process detach: only stops serving.
    void Attach();
    void Detach();

    // First call: reads the settings, chooses folder and file, creates the
    // lock event and sweeps old logs with the configured days. Later calls:
    // 0 unless the local date changed, then a new file name and a sweep with
    // 30 days. Returns the sweep's outcome, 0 when nothing was done or detached.
    [[nodiscard]] int Initialize();
    // Returns the level set (0 when detached). The first Initialize replaces it.
    int SetLogLevel(int level);
    // module names the log file (null: the executable); mode is kept only when
    // it is 1 or 2. Takes effect at the next first-time initialisation.
    int SetMode(HMODULE module, int mode);
    // Closes the lock event and clears all state except attachment.
    void Terminate();

    // Appends one line when level (compared unsigned) is at most the current
    // level. Returns 1 when written, 0 when filtered, detached, the lock was
    // not obtained in time, or the file could not be written. The caller's
    // last-error code is kept.
    [[nodiscard]] int WriteLogV(int level, const wchar_t* sourceFile, int line,
                                const wchar_t* format, va_list args);
    [[nodiscard]] int WriteLog(int level, const wchar_t* sourceFile, int line,
                               const wchar_t* format, ...);

private:
    int InitializeLocked();
    std::wstring ChooseFolderLocked();
    void BuildNamesLocked(const SYSTEMTIME& now);
    int SweepLocked(DWORD days, const SYSTEMTIME& now);
    void ClearLocked();

    LogEnvironment& m_env;
    LogClock& m_clock;
    const DWORD m_lockTimeoutMs;

    std::mutex m_mutex;
    // Written without the mutex at process detach: a thread that the ending
    // process killed may still own the mutex.
    std::atomic<bool> m_attached{false};
    bool m_initialised = false;
    DWORD m_level = 0;
    int m_mode = kModeUnset;
    HMODULE m_logModule = nullptr;
    std::wstring m_folder;
    std::wstring m_path;
    std::wstring m_lockName;
    UniqueHandle m_lockEvent;
    SYSTEMTIME m_fileDate{};
};

} // namespace torva::fenwix
