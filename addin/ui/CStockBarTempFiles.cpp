// The registration dialogs' leftover HTML copies.
#include "CStockBar.h"

#include "CRegistDlg.h"
#include "PathHelpers.h"
#include "SetformFileName.h"

#include "Trace.h"
#include "Win32Handles.h"

#include <string>

namespace {

// A dialog busy in a relay wait still pumps messages; one that does not
// answer within this time is taken to be alive (its copy stays for a later
// sweep rather than vanishing under an open dialog).
constexpr UINT kAliveTimeoutMs = 2000;

// True when the file belongs to an open registration dialog.
bool Spared(HWND window) {
    // 0 and 0xFFFF (HWND_BROADCAST) would reach every top-level window.
    if (!window || window == HWND_BROADCAST || !::IsWindow(window)) return false;
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutW(window, CRegistDlg::WM_REGIST_ALIVE, 0, 0,
                               SMTO_ABORTIFHUNG | SMTO_BLOCK, kAliveTimeoutMs, &answer))
        return GetLastError() == ERROR_TIMEOUT;
    return answer == 1;
}

} // namespace

void CStockBar::DeleteTempHtmlFile() {
    TORVA_TRACE_ENTER(L"CStockBar::DeleteTempHtmlFile");
    std::wstring folder;
    GetTempDirPath(folder);
    if (folder.empty()) return;
    WIN32_FIND_DATAW found{};
    const torva::UniqueFind find(::FindFirstFileW((folder + L"setform*.html").c_str(), &found));
    if (!find) return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::wstring name = found.cFileName;
        if (Spared(WindowOfSetformName(name))) continue;
        ::DeleteFileW((folder + name).c_str());
    } while (::FindNextFileW(find.get(), &found));
    TORVA_TRACE_RETURN_VOID(L"CStockBar::DeleteTempHtmlFile");
}
