#include "CTvrIEToolApp.h"
#include "CTvrIEToolDlg.h"
#include "MablixShell.h"
#include "TraceHook.h"
#include "TraceScope.h"

#include "Brisbel.h"
#include "Peltrix.h"

#include <commctrl.h>

#include <cstdlib>
#include <cwchar>
#include <string>

namespace {
constexpr int kAuthManagerStart = 5;
const wchar_t kProfileKey[] = L"アプリケーション ウィザードで生成されたローカル アプリケーション";
} // namespace

CTvrIEToolApp theApp;

CTvrIEToolApp::CTvrIEToolApp() = default;

BOOL CTvrIEToolApp::IsAuthent(int authCase) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolApp::IsAuthent");
    TORVA_RETURN_BOOL(::TvrAuth_AuthenticateUser(static_cast<eAuthCase>(authCase)) == 0 ? TRUE
                                                                                          : FALSE);
}

BOOL CTvrIEToolApp::InitInstance() {
    // Tracing is bound before the first traced call.
    torva::trace::TraceHook::Bind(nullptr, L"Mablix.exe");
    TORVA_TRACE_SCOPE(L"CTvrIEToolApp::InitInstance");

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = 0xFF;
    ::InitCommonControlsEx(&controls);
    CWinApp::InitInstance();
    AfxEnableControlContainer();

    SetRegistryKey(kProfileKey);
    std::free(const_cast<wchar_t*>(m_pszAppName));
    m_pszAppName = _wcsdup(mablix::kDisplayName);

    bool running = false;
    m_hInstanceEvent = mablix::CreateInstanceEvent(&running);
    if (!m_hInstanceEvent) {
        if (running) mablix::ActivateRunningInstance();
        TORVA_RETURN_BOOL(FALSE);
    }

    m_nCallerWnd = mablix::ParseCallerWindow(::GetCommandLineW());

    TVRDB_HDB db = nullptr;
    if (::TvrDB_OpenDB(&db) != 0) {
        ::MessageBoxW(nullptr, L"データベースのオープンに失敗しました", m_pszAppName,
                      MB_ICONHAND | MB_OK);
        TORVA_RETURN_BOOL(FALSE);
    }
    ::TvrDB_CloseDB(db);

    if (!IsAuthent(kAuthManagerStart)) {
        ::MessageBoxW(nullptr, L"認証に失敗しました。管理ツールを起動できません。", m_pszAppName,
                      MB_ICONHAND | MB_OK);
        TORVA_RETURN_BOOL(FALSE);
    }

    {
        CTvrIEToolDlg dialog;
        m_pMainWnd = &dialog;
        (void)dialog.DoModal();
        m_pMainWnd = nullptr;
        // Every closing path of the dialog ends here: the preview file
        // goes once the control has let go of it, and only when this
        // process wrote it.
        dialog.DeletePreviewFile();
    }
    mablix::NotifyCaller(m_nCallerWnd);
    TORVA_RETURN_BOOL(FALSE);
}

int CTvrIEToolApp::ExitInstance() {
    const int code = CWinApp::ExitInstance();
    if (m_hInstanceEvent) {
        ::CloseHandle(m_hInstanceEvent);
        m_hInstanceEvent = nullptr;
    }
    torva::trace::TraceHook::Unbind();
    return code;
}
