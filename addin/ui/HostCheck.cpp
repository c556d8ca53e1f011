#include "HostCheck.h"

#include <windows.h>

bool IsAcceptedHostPath(const std::wstring& path) {
    std::wstring lowered = path;
    for (wchar_t& c : lowered)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return lowered.find(L"iexplore.exe") != std::wstring::npos ||
           lowered.find(L"regsvr32.exe") != std::wstring::npos;
}

bool IsAcceptedHost() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return IsAcceptedHostPath(std::wstring(path, length < MAX_PATH ? length : MAX_PATH));
}
