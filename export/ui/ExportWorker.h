// The export worker thread: authenticates the user (case 1), then writes
// the sections of the checked items to the target through RunExport, and
// tells the progress dialog of each state by posted messages. It moves the
// progress bar directly. The main window stays disabled while it runs.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "CExportStore.h"
#include "ExportBatch.h"

namespace vantrel {

struct ExportJob {
    HWND dialog = nullptr;   // the progress dialog
    HWND progress = nullptr; // its progress bar
    CExportStore* store = nullptr;
    std::wstring path;
    std::vector<SectionWrite> sections; // one per checked item, in tree order
    size_t unreadSecrets = 0;           // passwords of these items written empty
};

// The thread function; takes ownership of the job (an ExportJob*). Exit
// code 0, or -1 after a refused authentication. The store's passphrase is
// wiped when it ends.
UINT __cdecl ExportThreadProc(LPVOID job);

// True from the worker's start until it has ended.
bool ExportWorkerRunning() noexcept;
// The command marks the worker started before the thread exists.
void MarkExportWorkerRunning(bool running) noexcept;

} // namespace vantrel
