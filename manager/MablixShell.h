// The pieces of the manager's start-up and close that stand apart from its
// windows: the caller's window from the command line, the single-instance
// event and the close notice to the toolbar.
#pragma once

#include <windows.h>

namespace mablix {

// The toolbar's window handle from a command line that holds "IEWND=<n>"
// anywhere, in any case; 0 when "IEWND" is missing or no number follows.
int ParseCallerWindow(const wchar_t* commandLine);

// Brings the running instance's window (its caption "Webフォームデータ管理")
// to the front; false when no such window was found.
bool ActivateRunningInstance();

// Posts WM_USER+400 (wParam 2, lParam 0) to the caller's window so that the
// toolbar reloads its page list; nothing when the handle is 0 or the window
// is gone. True when posted.
bool NotifyCaller(int callerWindow);

// The process's single-instance event, held for the process's life by the
// first instance.
inline constexpr wchar_t kInstanceEvent[] = L"MABLIX_CHECK_EVENT";
inline constexpr wchar_t kDisplayName[] = L"Webフォームデータ管理";
inline constexpr UINT kCloseNotice = WM_USER + 400;

} // namespace mablix
