#include "ExportWorker.h"

#include <atomic>
#include <memory>

#include "ExportMessages.h"
#include "ExportRun.h"
#include "Peltrix.h"
#include "ResourceStrings.h"

#include <commctrl.h>

namespace vantrel {

namespace {

std::atomic<bool> g_workerRunning{false};

} // namespace

bool ExportWorkerRunning() noexcept {
    return g_workerRunning.load();
}

void MarkExportWorkerRunning(bool running) noexcept {
    g_workerRunning.store(running);
}

UINT __cdecl ExportThreadProc(LPVOID param) {
    std::unique_ptr<ExportJob> job(static_cast<ExportJob*>(param));
    const HWND dialog = job->dialog;
    const HWND progress = job->progress;
    const size_t count = job->sections.size();
    const size_t unread = job->unreadSecrets;

    ExportRequest request;
    request.path = job->path;
    request.sections = std::move(job->sections);
    request.authenticate = [] {
        return static_cast<int>(TvrAuth_AuthenticateUser(AUTHCASE_EXPORT));
    };
    request.started = [dialog, progress, count] {
        ::PostMessageW(dialog, kExportStateMessage, kExportStarted, 0);
        if (count > 0) ::SendMessageW(progress, PBM_SETRANGE32, 0, static_cast<LPARAM>(count));
    };
    request.progress = [progress](size_t done) {
        ::SendMessageW(progress, PBM_SETPOS, static_cast<WPARAM>(done), 0);
    };

    // RunExport wipes the store's passphrase whatever the outcome.
    const ExportOutcome outcome = RunExport(*job->store, request);
    job.reset();

    WPARAM state = kExportFailed;
    LPARAM reason = 0;
    UINT exitCode = 0;
    switch (outcome) {
    case ExportOutcome::Done:
        state = kExportDone;
        reason = static_cast<LPARAM>(unread);
        break;
    case ExportOutcome::AuthRefused:
        exitCode = static_cast<UINT>(-1);
        break;
    case ExportOutcome::NoItems:
        reason = kNoCheckedItems;
        break;
    case ExportOutcome::SharingViolation:
    case ExportOutcome::CreateFailed:
        ::MessageBoxW(nullptr, GetResourceString(CreateErrorMessageId(outcome)),
                      GetResourceString(22097), MB_OK | MB_ICONERROR);
        break;
    case ExportOutcome::WriteFailed:
        break;
    }
    // The main window may be closed again once the dialog hears of the end.
    MarkExportWorkerRunning(false);
    ::PostMessageW(dialog, kExportStateMessage, state, reason);
    return exitCode;
}

} // namespace vantrel
