// The main window of Vantrel: the tool bar, the status bar and a splitter
// with the item tree on the left and the report on the right. Its place and
// the tree's width are kept in the profile section "Position".
#pragma once

#include "CSplitterWndEx.h"
#include "ExportCommand.h"
#include "Framework.h"

class CMainFrame : public CFrameWnd, public vantrel::IExportHost {
    DECLARE_DYNCREATE(CMainFrame)
    DECLARE_MESSAGE_MAP()

public:
    CMainFrame() = default;
    ~CMainFrame() override;

    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
    BOOL OnCreateClient(LPCREATESTRUCT cs, CCreateContext* context) override;

    // Whether WM_CREATE moved the window to a position of the profile.
    bool RestoredFromProfile() const noexcept { return m_restoredFromProfile; }
    // Whether the export's progress dialog has a window (system keys are
    // then kept from the views).
    bool HasProgressWindow() const;

    int OnCreate(LPCREATESTRUCT cs);
    void OnClose();
    void OnDestroy();

    // What the export command needs of the frame (MainFrameExport.cpp).
    CWnd* MainWindow() override;
    std::vector<vantrel::CheckedItem> CheckedItems() override;
    CExportStore& Store() override;
    vantrel::CExportingDlg*& ProgressDialog() override;

private:
    void OnExport();
    void OnUpdateExport(CCmdUI* ui);
    LRESULT OnReleaseProgress(WPARAM wParam, LPARAM lParam);
    // The export command's side of the frame (MainFrameExport.cpp).
    void RunExportCommand();
    void ReleaseProgressDialog();
    bool ExportInProgress() const;
    void SavePosition();

    CSplitterWndEx m_wndSplitter;
    CStatusBar m_wndStatusBar;
    CToolBar m_wndToolBar;
    vantrel::CExportingDlg* m_pExportingDlg = nullptr;
    CImageList m_toolImages;
    int m_storedSplit = 0;
    bool m_restoredFromProfile = false;
};
