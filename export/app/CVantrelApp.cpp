#include "CVantrelApp.h"

#include <commctrl.h>
#include <objbase.h>

#include "AdminTest.h"
#include "CAboutDlg.h"
#include "CMainFrame.h"
#include "CTvrExpItemView.h"
#include "CVantrelDoc.h"
#include "DpiScale.h"
#include "ResourceStrings.h"
#include "VantrelGlobals.h"
#include "WindowPlacementRules.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CVantrelApp, CWinApp)
ON_COMMAND(ID_APP_ABOUT, &CVantrelApp::OnAppAbout)
ON_COMMAND(ID_FILE_NEW, &CWinApp::OnFileNew)
ON_COMMAND(ID_FILE_OPEN, &CWinApp::OnFileOpen)
END_MESSAGE_MAP()

CExportStore& TheExportStore() {
    return static_cast<CVantrelApp*>(AfxGetApp())->Store();
}

CVantrelApp::CVantrelApp() : CWinApp(kVantrelCaption) {}

BOOL CVantrelApp::InitInstance() {
    LoadResourceStrings(::GetModuleHandleW(nullptr));

    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), 0xFF};
    ::InitCommonControlsEx(&controls);
    (void)::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    CWinApp::InitInstance();

    if (!AfxOleInit()) {
        ::MessageBoxW(nullptr,
                      L"OLE の初期化に失敗しました。OLE "
                      L"ライブラリのバージョンが正しいことを確認してください。",
                      kVantrelCaption, MB_ICONWARNING);
        return FALSE;
    }
    AfxEnableControlContainer();
    LoadStdProfileSettings(0);

    if (IsAdministratorUser()) {
        // The cache gives the sign-in wording (22103) on later Windows versions.
        ::MessageBoxW(nullptr, GetResourceString(22102), kVantrelCaption, MB_ICONWARNING);
        return FALSE;
    }

    TVRDB_HDB db = nullptr;
    if (LibraryDbApi().OpenDB(&db) != 0) return FALSE;
    if (LibraryDbApi().CloseDB(db) != 0) return FALSE;

    // A second instance ends without a word; the running one is not disturbed.
    if (m_instance.Acquire() != vantrel::InstanceState::First) return FALSE;

    AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CVantrelDoc),
                                          RUNTIME_CLASS(CMainFrame),
                                          RUNTIME_CLASS(CTvrExpItemView)));
    CCommandLineInfo commandLine;
    ParseCommandLine(commandLine);
    if (!ProcessShellCommand(commandLine)) {
        FreeResourceStrings();
        return FALSE;
    }

    m_pMainWnd->ShowWindow(SW_HIDE);
    SizeMainWindow();

    m_pMainWnd->ShowWindow(SW_SHOW);
    m_pMainWnd->UpdateWindow();
    m_pMainWnd->EnableWindow(FALSE);
    m_store.Load();
    if (g_pTvrExpItemView) g_pTvrExpItemView->FillTree();
    m_pMainWnd->EnableWindow(TRUE);
    m_pMainWnd->SetActiveWindow();
    return TRUE;
}

void CVantrelApp::SizeMainWindow() {
    auto* frame = static_cast<CMainFrame*>(m_pMainWnd);
    // The position restored from the profile when the frame was made is
    // the user's: the start-up size would undo it.
    if (frame->RestoredFromProfile()) return;
    const SIZE size = vantrel::InitialWindowSize(vantrel::ScreenDpiX(), vantrel::ScreenDpiY());
    frame->SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    RECT placed{};
    frame->GetWindowRect(&placed);
    const SIZE maximised{::GetSystemMetrics(SM_CXMAXIMIZED), ::GetSystemMetrics(SM_CYMAXIMIZED)};
    if (vantrel::MustMoveToOrigin(SIZE{placed.right - placed.left, placed.bottom - placed.top},
                                  maximised))
        frame->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void CVantrelApp::OnAppAbout() {
    CAboutDlg about(m_pMainWnd);
    about.DoModal();
}
