#include "CTvrIEToolApp.h"
#include "CTvrIEToolDlg.h"
#include "MablixShell.h"
#include "TraceHook.h"
#include "TraceScope.h"
#include "resource.h"

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

BEGIN_MESSAGE_MAP(CTvrIEToolApp, CWinApp)
ON_COMMAND(ID_HELP, &CTvrIEToolApp::OnTvrIEToolHelp)
END_MESSAGE_MAP()

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

    const torva::InstanceState instance = m_instance.Acquire();
    if (instance != torva::InstanceState::First) {
        if (instance == torva::InstanceState::AlreadyRunning) mablix::ActivateRunningInstance();
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
        // The dialog tells the caller when it closes (CloseDlg).
        CTvrIEToolDlg dialog;
        dialog.m_nCallerWnd = m_nCallerWnd;
        m_pMainWnd = &dialog;
        (void)dialog.DoModal();
        m_pMainWnd = nullptr;
    }
    TORVA_RETURN_BOOL(FALSE);
}

void CTvrIEToolApp::OnTvrIEToolHelp() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolApp::OnTvrIEToolHelp");
}

int CTvrIEToolApp::ExitInstance() {
    const int code = CWinApp::ExitInstance();
    m_instance.Release();
    torva::trace::TraceHook::Unbind();
    return code;
}
