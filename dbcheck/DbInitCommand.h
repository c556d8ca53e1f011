// Where "TvrDBInit.exe" is started from: the parent folder of the database
// folder DbPath. The program is named by its full path as the application
// and again, quoted, as the command line, so a folder with spaces can never
// start another program (such as "C:\Program.exe" for "C:\Program Files\...").
#pragma once

#include <windows.h>

#include <string>

namespace ostravo {

struct DbInitCommand {
    std::wstring application; // "<parent>\TvrDBInit.exe"
    std::wstring commandLine; // the same, in double quotes

    // False when DbPath is not a full path (drive and root, or a UNC share)
    // or has no parent folder: a relative folder would be looked up from
    // wherever the tool happens to run. Any length fits.
    [[nodiscard]] static bool Build(const std::wstring& dbPath, DbInitCommand& out);

    // Starts it without inherited handles, waits up to waitMs for it to end.
    // ERROR_SUCCESS when started, else the start's Win32 error.
    DWORD Run(DWORD waitMs) const;
};

} // namespace ostravo
