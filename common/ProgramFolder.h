// The folder of the running program: tests, tools and demos find the files
// that travel beside them (children to start, pages, libraries) there.
#pragma once

#include <windows.h>

#include <string>

namespace torva {

// The program's folder with one trailing backslash; empty when its path
// cannot be read.
inline std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    std::wstring folder(path, length);
    folder.erase(folder.find_last_of(L'\\') + 1);
    return folder;
}

} // namespace torva
