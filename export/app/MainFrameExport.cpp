// The export command's side of the main frame: the frame hands the export
// its own window, the tree's checked items, the application's store and its
// progress-dialog pointer.
#include "CExportingDlg.h"
#include "CMainFrame.h"
#include "CTvrExpItemView.h"
#include "VantrelGlobals.h"

void CMainFrame::RunExportCommand() {
    vantrel::ExportCommand(*this);
}

void CMainFrame::ReleaseProgressDialog() {
    vantrel::ReleaseProgressDialog(*this);
}

bool CMainFrame::ExportInProgress() const {
    return vantrel::ExportRunning();
}

bool CMainFrame::HasProgressWindow() const {
    return m_pExportingDlg && m_pExportingDlg->GetSafeHwnd();
}

CWnd* CMainFrame::MainWindow() {
    return this;
}

std::vector<vantrel::CheckedItem> CMainFrame::CheckedItems() {
    // Without the tree there is nothing checked: the worker reports that.
    if (!g_pTvrExpItemView) return {};
    return g_pTvrExpItemView->CheckedItemsForExport();
}

CExportStore& CMainFrame::Store() {
    return TheExportStore();
}

vantrel::CExportingDlg*& CMainFrame::ProgressDialog() {
    return m_pExportingDlg;
}
