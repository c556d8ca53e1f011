#include "DllTestSupport.h"

#include <InstallFolder.h>
#include <Win32Handles.h>

#include <cstdio>
#include <vector>

namespace module_tests {

std::wstring InstalledQuorvel() {
    const std::wstring folder = torva::InstallFolder();
    return folder.empty() ? folder : folder + L"Quorvel.dll";
}

DWORD RunProcess(const std::wstring& commandLine, DWORD timeoutMs) {
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
        return static_cast<DWORD>(-1);
    torva::UniqueHandle processHandle(process.hProcess);
    torva::UniqueHandle threadHandle(process.hThread);
    if (::WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.hProcess, 99);
        return static_cast<DWORD>(-1);
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    return code;
}

DWORD Regsvr32(bool unregister) {
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    return RunProcess(L"\"" + std::wstring(system) + L"\\regsvr32.exe\" /s " +
                      (unregister ? L"/u " : L"") + L"\"" + InstalledQuorvel() + L"\"");
}

std::map<std::wstring, std::wstring> ReadResultFile(const std::wstring& path) {
    std::map<std::wstring, std::wstring> result;
    FILE* file = _wfopen(path.c_str(), L"r");
    if (!file) return result;
    wchar_t buffer[1024];
    while (std::fgetws(buffer, 1024, file)) {
        std::wstring line = buffer;
        while (!line.empty() && (line.back() == L'\n' || line.back() == L'\r'))
            line.pop_back();
        const std::size_t equals = line.find(L'=');
        if (equals != std::wstring::npos) result[line.substr(0, equals)] = line.substr(equals + 1);
    }
    std::fclose(file);
    return result;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

} // namespace module_tests
