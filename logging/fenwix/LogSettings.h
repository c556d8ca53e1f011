// The machine-wide settings as the logger applies them: out-of-range values
// fall back instead of failing, so a mistyped registry value never stops a
// program that traces.
#pragma once

#include <windows.h>

#include <optional>

namespace torva::fenwix {

class LogSettings {
public:
    // "LogLevel": 0..3 as stored; anything else, or missing, is 0 (off).
    static DWORD LevelFrom(std::optional<DWORD> stored);
    // "LogDeleteOldDays": 1..89 as stored; missing, 0, or 90 and above is 30.
    static DWORD DeleteOldDaysFrom(std::optional<DWORD> stored);
};

} // namespace torva::fenwix
