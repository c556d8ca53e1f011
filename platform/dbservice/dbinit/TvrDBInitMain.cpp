// The database initialisation program: fills the product's shared databases
// that are missing or empty.
//
//   TvrDBInit.exe [FOLDER]
//
// Without a folder it uses HKLM\SOFTWARE\Kobel\TORVA\DBMGR "DbPath", else
// "Storage" beside itself: the diagnosis tool starts it from the parent of
// its database folder, which in an installation is the install folder
// ("Location"), so this is the folder the database library uses. Prints one line
// per database; the exit code is the number of databases it could not deal
// with (0: all filled or left alone).
#include "DbInitializer.h"
#include "RegistryText.h"

#include "ProgramFolder.h"
#include "Win32Handles.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

constexpr size_t kMaxFolder = 510;

// DbPath as text of a sane length, trailing separators trimmed as the
// database library trims them; empty when not set.
std::wstring RegistryDbPath() {
    torva::UniqueRegKey key;
    std::wstring path;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Kobel\\TORVA\\DBMGR", 0,
                        KEY_QUERY_VALUE | KEY_WOW64_32KEY, key.put()) != ERROR_SUCCESS ||
        !ostravo::RegistryText::Read(key.get(), L"DbPath", kMaxFolder, path)) {
        return {};
    }
    while (!path.empty() && (path.back() == L'\\' || path.back() == L'/'))
        path.pop_back();
    return path;
}

int Run(int argc, wchar_t** argv) {
    std::wstring folder;
    if (argc > 1) folder = argv[1];
    if (folder.empty()) folder = RegistryDbPath();
    if (folder.empty()) {
        const std::wstring own = torva::ProgramFolder();
        if (own.empty()) return 100;
        folder = own + L"Storage";
    }
    // A first installation has no folder yet.
    ::CreateDirectoryW(folder.c_str(), nullptr);
    int failures = 0;
    for (const auto& outcome : dbinit::DbInitializer::Run(folder)) {
        std::wprintf(L"%ls: %ls\n", outcome.name.c_str(),
                     outcome.status   ? (L"failed " + std::to_wstring(outcome.status)).c_str()
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
