// Deletes this program's daily log files once they are older than a number of
// days. Runs when the logger starts and when the date changes.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace torva::fenwix {

class OldLogSweeper {
public:
    // Looks at folder's "FENWIX_*_<exeBaseName>.log" files. With user set
    // (per-user naming) only "FENWIX_<user>_" files are aged; a file is deleted
    // when its date at 00:00 plus days x 24 h lies before now. Files whose date
    // part is short or does not read as a date are kept, and a file that
    // cannot be deleted does not stop the sweep.
    // Returns 0, or -1 when no file matched the pattern. days 0 does nothing.
    [[nodiscard]] static int Sweep(const std::wstring& folder, const std::wstring& exeBaseName,
                                   const std::optional<std::wstring>& user, DWORD days,
                                   const SYSTEMTIME& now);

    // The local midnight that the yyyymmdd at the start of datePart names, as
    // a FILETIME count; nullopt when it is not eight digits of a valid date.
    static std::optional<ULONGLONG> MidnightOf(const std::wstring& datePart);
};

} // namespace torva::fenwix
