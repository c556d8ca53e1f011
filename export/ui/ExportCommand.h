// The export command of the main frame: the export dialog, the progress
// dialog and the worker thread that writes the file. The main frame hands
// in what the command needs of it through IExportHost.
#pragma once

#include <vector>

#include "CExportStore.h"
#include "CWnd.h"
#include "ItemSections.h"

namespace vantrel {

class CExportingDlg;

class IExportHost { // what the export command needs of the main frame
public:
    virtual ~IExportHost() = default;
    virtual CWnd* MainWindow() = 0;                      // owns the dialogs
    virtual std::vector<CheckedItem> CheckedItems() = 0; // ticked items, tree order
    virtual CExportStore& Store() = 0;
    virtual CExportingDlg*& ProgressDialog() = 0; // the frame's member
};

void ExportCommand(IExportHost& host);         // command 32772, steps 1-4
void ReleaseProgressDialog(IExportHost& host); // on WM_USER+42
bool ExportRunning();                          // WM_CLOSE is ignored while true

} // namespace vantrel
