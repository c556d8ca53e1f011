// The database initialisation program: fills the product's shared databases
// that are missing or empty.
//
//   TvrDBInit.exe [FOLDER]
//
// Without a folder it uses the database folder as the database library
// finds it (DBMGR "DbPath", else "Location" and "Storage"). Prints one line
// per database; the exit code is the number of databases it could not deal
// with (0: all filled or left alone).
#include "DbInitializer.h"

#include "DatabaseLocation.h"

#include <windows.h>

#include <cstdio>

namespace {

int Run(int argc, wchar_t** argv) {
    std::wstring folder;
    if (argc > 1) {
        folder = argv[1];
    } else if (brisbel::DatabaseLocation::Folder(folder) != 0) {
        std::fwprintf(stderr, L"TvrDBInit: no database folder\n");
        return 100;
    }
    int failures = 0;
    for (const auto& outcome : dbinit::DbInitializer::Run(folder)) {
        std::wprintf(L"%ls: %ls\n", outcome.name.c_str(),
                     outcome.status ? (L"failed " + std::to_wstring(outcome.status)).c_str()
                     : outcome.filled ? L"filled"
                                      : L"left as it was");
        if (outcome.status) ++failures;
    }
    return failures;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        return Run(argc, argv);
    } catch (...) {
        return 101;
    }
}
