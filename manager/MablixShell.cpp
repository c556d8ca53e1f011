#include "MablixShell.h"
#include "TraceScope.h"

#include <cwchar>
#include <cwctype>
#include <string>

namespace mablix {

int ParseCallerWindow(const wchar_t* commandLine) {
    TORVA_TRACE_SCOPE(L"mablix::ParseCallerWindow");
    if (!commandLine) return 0;
    std::wstring text(commandLine);
    const size_t first = text.find_first_not_of(L" \t\r\n");
    text.erase(0, first == std::wstring::npos ? text.size() : first);
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towupper(c));
    const size_t at = text.find(L"IEWND");
    if (at == std::wstring::npos) return 0;
    int handle = 0;
    if (std::swscanf(text.c_str() + at, L"IEWND=%d", &handle) != 1) handle = 0;
    return handle;
}

bool ActivateRunningInstance() {
    TORVA_TRACE_SCOPE(L"mablix::ActivateRunningInstance");
    const HWND window = ::FindWindowW(nullptr, kDisplayName);
    if (!window) return false;
    ::SetForegroundWindow(window);
    return true;
}

bool NotifyCaller(int callerWindow) {
    TORVA_TRACE_SCOPE(L"mablix::NotifyCaller");
    if (callerWindow == 0) return false;
    // The toolbar passes its handle as a 32-bit number; window handles are
    // 32-bit significant in both bitnesses.
    const HWND window = reinterpret_cast<HWND>(static_cast<INT_PTR>(callerWindow));
    if (!::IsWindow(window)) return false;
    return ::PostMessageW(window, kCloseNotice, 2, 0) != FALSE;
}

} // namespace mablix
