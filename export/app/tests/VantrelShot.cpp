// Starts the Vantrel.exe beside it over the fixture, ticks the web-form
// data and shows the report of the main sample item, for a screenshot; with
// a file name second, opens the export dialog from the tool bar with that
// file and a passphrase typed in. The fixture is removed when it ends.
//   vantrel_shot [seconds [file.csv]]
#include "ExportFixture.h"
#include "ResourceStrings.h"
#include "VantrelProcess.h"

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    const DWORD seconds = argc > 1 ? static_cast<DWORD>(_wtoi(argv[1])) : 30;
    LoadResourceStrings(::GetModuleHandleW(nullptr));
    if (export_fixture::Fill(export_fixture::Options{}) != 0) {
        std::fwprintf(stderr, L"the fixture could not be written\n");
        return 1;
    }
    int code = 1;
    {
        vantrel::test::VantrelProcess run;
        if (run.Start() && run.WaitUntilReady(60000)) {
            const HTREEITEM root = run.Root();
            const HTREEITEM webForms = run.Find(root, GetResourceString(22064));
            run.ClickCheckBox(webForms);
            const HTREEITEM page = run.FindEndingWith(
                webForms, std::wstring(L"(") + export_fixture::kRichPageUrl + L")");
            run.ClickLabel(run.Find(page, export_fixture::kRichItemName));
            ::SendMessageW(run.Tree(), WM_VSCROLL, SB_TOP, 0);
            if (argc > 2) {
                ::Sleep(300); // the tool button follows at the next idle moment
                run.OpenExportDialog(argv[2], L"passphrase");
            }
            ::WaitForSingleObject(run.Handle(), seconds * 1000);
            run.Close(10000);
            code = 0;
        }
    }
    export_fixture::Clear();
    return code;
}
