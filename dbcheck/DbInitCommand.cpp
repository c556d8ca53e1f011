#include "DbInitCommand.h"

#include "Win32Handles.h"

#include <vector>

namespace ostravo {
namespace {

constexpr wchar_t kProgram[] = L"TvrDBInit.exe";

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// "X:\..." or "\\server\share...".
bool IsFullPath(const std::wstring& path) {
    if (path.size() >= 3 && path[1] == L':' && IsSeparator(path[2])) {
        const wchar_t drive = path[0];
        return (drive >= L'A' && drive <= L'Z') || (drive >= L'a' && drive <= L'z');
    }
    if (path.size() >= 5 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        const size_t share = path.find_first_of(L"\\/", 2);
        return share != std::wstring::npos && share > 2 && share + 1 < path.size();
    }
    return false;
}

} // namespace

bool DbInitCommand::Build(const std::wstring& dbPath, DbInitCommand& out) {
    if (!IsFullPath(dbPath) || dbPath.find(L'"') != std::wstring::npos) return false;
    const size_t cut = dbPath.find_last_of(L'\\');
    if (cut == std::wstring::npos || cut < 2) return false;
    const std::wstring parent = dbPath.substr(0, cut);
    // "X:" is the drive's root; a UNC parent must still name a share.
    if (!(parent.size() == 2 && parent[1] == L':') && !IsFullPath(parent + L'\\')) return false;
    out.application = parent + L'\\' + kProgram;
    out.commandLine = L"\"" + out.application + L"\"";
    return true;
}

DWORD DbInitCommand::Run(DWORD waitMs) const {
    // CreateProcessW may write into the command line.
    std::vector<wchar_t> command(commandLine.begin(), commandLine.end());
    command.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(application.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &info)) {
        return ::GetLastError();
    }
    const torva::UniqueHandle process(info.hProcess);
    const torva::UniqueHandle thread(info.hThread);
    ::WaitForSingleObject(process.get(), waitMs);
    return ERROR_SUCCESS;
}

} // namespace ostravo
