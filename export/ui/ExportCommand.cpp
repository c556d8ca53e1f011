#include "ExportCommand.h"

#include <string>

#include "CExportDlg.h"
#include "CExportingDlg.h"
#include "ExportDialogIds.h"
#include "ExportMessages.h"
#include "ExportWorker.h"

namespace vantrel {

namespace {

// The target of the export in progress, set before the worker starts.
std::wstring g_exportTargetPath;

void DeleteProgressDialog(CExportingDlg*& dialog) {
    if (!dialog) return;
    // The window goes before the object it is bound to.
    if (dialog->GetSafeHwnd()) dialog->DestroyWindow();
    delete dialog;
    dialog = nullptr;
}

} // namespace

bool ExportRunning() {
    return ExportWorkerRunning();
}

void ReleaseProgressDialog(IExportHost& host) {
    DeleteProgressDialog(host.ProgressDialog());
}

void ExportCommand(IExportHost& host) {
    if (ExportWorkerRunning()) return;
    CWnd* main = host.MainWindow();

    // 1. The target and the passphrase.
    CExportDlg dialog(main);
    if (dialog.DoModal() != IDOK) return;

    // 2. A progress dialog left from the export before.
    CExportingDlg*& progress = host.ProgressDialog();
    DeleteProgressDialog(progress);

    // 3. The texts of this export; the dialog's copy of the passphrase goes.
    g_exportTargetPath = dialog.m_strPath.str();
    CExportStore& store = host.Store();
    store.SetExportPassphrase(dialog.m_strPassphrase.str());
    dialog.WipePassphrase();

    // 4. The progress dialog, owned by the main window, and the worker.
    // The checked items are collected here, on the thread of the tree.
    auto job = std::make_unique<ExportJob>();
    job->store = &store;
    job->path = g_exportTargetPath;
    const std::vector<CheckedItem> checked = host.CheckedItems();
    for (const CheckedItem& item : checked)
        job->sections.push_back(SectionFor(store, item));
    job->unreadSecrets = UnreadSecrets(store, checked);

    progress = new CExportingDlg(main);
    if (!progress->Create(IDD_EXPORTING, main)) {
        delete progress;
        progress = nullptr;
        store.SetExportPassphrase(std::wstring());
        return;
    }
    progress->ShowWindow(SW_SHOW);
    job->dialog = progress->GetSafeHwnd();
    job->progress = ::GetDlgItem(job->dialog, IDC_EXPORTING_PROGRESS);

    MarkExportWorkerRunning(true);
    ExportJob* handed = job.release();
    if (!AfxBeginThread(&ExportThreadProc, handed)) {
        delete handed;
        MarkExportWorkerRunning(false);
        store.SetExportPassphrase(std::wstring());
        progress->PostMessage(kExportStateMessage, kExportFailed, 0);
    }
}

} // namespace vantrel
