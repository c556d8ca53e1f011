#include "CMainFrame.h"

#include "CDataInfoView.h"
#include "CTvrExpItemView.h"
#include "VantrelGlobals.h"
#include "WindowPlacementRules.h"
#include "resource.h"

namespace {

constexpr wchar_t kSection[] = L"Position";
constexpr int kDefaultSplit = 320;
constexpr COLORREF kToolImageMask = RGB(255, 0, 255);

} // namespace

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
ON_WM_CREATE()
ON_WM_CLOSE()
ON_WM_DESTROY()
ON_COMMAND(ID_EXPORT, &CMainFrame::OnExport)
ON_UPDATE_COMMAND_UI(ID_EXPORT, &CMainFrame::OnUpdateExport)
ON_MESSAGE(kReleaseProgressMessage, &CMainFrame::OnReleaseProgress)
END_MESSAGE_MAP()

CMainFrame::~CMainFrame() {
    if (m_pExportingDlg) ReleaseProgressDialog();
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCTW& cs) {
    if (!CFrameWnd::PreCreateWindow(cs)) return FALSE;
    // The title stays the program's name.
    cs.style &= ~FWS_ADDTOTITLE;
    return TRUE;
}

int CMainFrame::OnCreate(LPCREATESTRUCT cs) {
    if (CFrameWnd::OnCreate(cs) == -1) return -1;

    if (!m_wndToolBar.CreateEx(this, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP,
                               AFX_IDW_TOOLBAR) ||
        !m_wndToolBar.LoadToolBar(IDR_MAINFRAME))
        return -1;
    m_toolImages.Create(20, 20, ILC_COLOR8 | ILC_MASK, 3, 3);
    m_wndToolBar.GetToolBarCtrl().SetImageList(&m_toolImages);
    CBitmap images;
    if (images.LoadBitmap(IDR_MAINFRAME)) m_toolImages.Add(&images, kToolImageMask);
    m_wndToolBar.SetBarStyle(m_wndToolBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY);

    static const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM,
                                      ID_INDICATOR_SCRL};
    if (!m_wndStatusBar.Create(this) || !m_wndStatusBar.SetIndicators(indicators, 4)) return -1;

    CWinApp* app = AfxGetApp();
    RECT current{};
    GetWindowRect(&current);
    const RECT stored{static_cast<LONG>(app->GetProfileInt(kSection, L"Left", current.left)),
                      static_cast<LONG>(app->GetProfileInt(kSection, L"Top", current.top)),
                      static_cast<LONG>(app->GetProfileInt(kSection, L"Right", current.right)),
                      static_cast<LONG>(app->GetProfileInt(kSection, L"Bottom", current.bottom))};
    // A reversed or empty rectangle (a hand-edited file) keeps the window
    // where it is.
    if (vantrel::IsUsableStoredRect(stored)) {
        MoveWindow(&stored, TRUE);
        m_restoredFromProfile = (stored.left != current.left || stored.top != current.top ||
                                 stored.right != current.right || stored.bottom != current.bottom);
    }
    // The tree's width is measured against the window as restored.
    RECT frame{};
    GetWindowRect(&frame);
    m_wndSplitter.SetColumnInfo(
        0, vantrel::TreeColumnWidth(m_storedSplit, frame.right - frame.left), 0);
    RecalcLayout();
    m_wndSplitter.RecalcLayout();
    return 0;
}

BOOL CMainFrame::OnCreateClient(LPCREATESTRUCT, CCreateContext* context) {
    m_storedSplit = static_cast<int>(AfxGetApp()->GetProfileInt(kSection, L"Split", kDefaultSplit));
    RECT frame{};
    GetWindowRect(&frame);
    const int width = vantrel::TreeColumnWidth(m_storedSplit, frame.right - frame.left);
    if (!m_wndSplitter.CreateStatic(this, 1, 2, WS_CHILD | WS_VISIBLE, AFX_IDW_PANE_FIRST))
        return FALSE;
    if (!m_wndSplitter.CreateView(0, 0, RUNTIME_CLASS(CTvrExpItemView), SIZE{width, 100}, context))
        return FALSE;
    if (!m_wndSplitter.CreateView(0, 1, RUNTIME_CLASS(CDataInfoView), SIZE{0, 0}, context))
        return FALSE;
    return TRUE;
}

void CMainFrame::OnClose() {
    // Closing now would destroy the views and the progress dialog the
    // worker still uses, and leave the file half written.
    if (ExportInProgress()) return;
    SavePosition();
    CFrameWnd::OnClose();
}

void CMainFrame::OnDestroy() {
    // The progress dialog is owned by this window: it goes, and its object
    // with it, while the frame is still whole.
    if (m_pExportingDlg) ReleaseProgressDialog();
    CFrameWnd::OnDestroy();
}

void CMainFrame::SavePosition() {
    CWinApp* app = AfxGetApp();
    // The normal place, also when the window is minimised or maximised
    // (its screen rectangle then is the icon's or the whole screen's).
    WINDOWPLACEMENT placement{};
    if (GetWindowPlacement(&placement)) {
        RECT rect = placement.rcNormalPosition;
        // Workspace coordinates: offset by the work area of a top-level window.
        RECT work{};
        if (!(GetExStyle() & WS_EX_TOOLWINDOW) &&
            ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
            ::OffsetRect(&rect, work.left, work.top);
        if (vantrel::IsUsableStoredRect(rect)) {
            app->WriteProfileInt(kSection, L"Left", rect.left);
            app->WriteProfileInt(kSection, L"Top", rect.top);
            app->WriteProfileInt(kSection, L"Right", rect.right);
            app->WriteProfileInt(kSection, L"Bottom", rect.bottom);
        }
    }
    if (CWnd* tree = m_wndSplitter.GetPane(0, 0)) {
        RECT treeRect{};
        tree->GetWindowRect(&treeRect);
        app->WriteProfileInt(kSection, L"Split", treeRect.right - treeRect.left);
    }
}

void CMainFrame::OnExport() {
    RunExportCommand();
}

void CMainFrame::OnUpdateExport(CCmdUI* ui) {
    ui->Enable(g_pTvrExpItemView && g_pTvrExpItemView->IsAnyItemChecked(nullptr));
}

LRESULT CMainFrame::OnReleaseProgress(WPARAM, LPARAM) {
    ReleaseProgressDialog();
    return 0;
}
