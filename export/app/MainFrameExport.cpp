// The export command's side of the main frame. The export dialogs and their
// worker are not part of this program yet: the command shows nothing, no
// progress dialog is ever made and no export runs.
#include "CMainFrame.h"

void CMainFrame::RunExportCommand() {}

void CMainFrame::ReleaseProgressDialog() {
    m_pExportingDlg = nullptr;
}

bool CMainFrame::ExportInProgress() const {
    return false;
}

bool CMainFrame::HasProgressWindow() const {
    return false;
}
