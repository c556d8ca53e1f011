// Names of the daily log files.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace torva::fenwix {

class LogFileName {
public:
    // "FENWIX_" [user "_"] yyyymmdd "_" module ".log"; "FENWIX_" [user "_"]
    // yyyymmdd "_TORVA.log" when moduleBaseName is empty.
    static std::wstring Build(const std::optional<std::wstring>& user, const SYSTEMTIME& date,
                              const std::wstring& moduleBaseName);
    // yyyymmdd of the local date.
    static std::wstring DateText(const SYSTEMTIME& date);
    static bool SameDate(const SYSTEMTIME& a, const SYSTEMTIME& b);
};

} // namespace torva::fenwix
