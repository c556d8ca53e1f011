// Loads the export store from whatever the databases hold (ExportFixture
// fills them) and writes every section to a CSV file, as an export of a
// fully checked tree would.
//   export_demo <file.csv> [passphrase]
#include "AllSections.h"
#include "ExportFixture.h"
#include "Win32Handles.h"

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2 || argc > 3) {
        std::fputs("Usage: export_demo <file.csv> [passphrase]\n", stderr);
        return 1;
    }
    CExportStore store;
    if (!store.Load()) {
        std::fputs("The user's database could not be opened.\n", stderr);
        return 2;
    }
    if (argc == 3) store.SetExportPassphrase(argv[2]);
    torva::UniqueFile file(::CreateFileW(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        std::fputs("The file could not be created.\n", stderr);
        return 2;
    }
    ExportSink sink(file.get());
    const BatchOutcome outcome =
        WriteSections(store, sink, AllSections(store, export_fixture::kOutsideCodePageUrl));
    file.reset();
    std::printf("%zu pages, %zu applications; %zu sections, %zu sealed fields: %s\n",
                store.Pages().size(), store.Applications().size(), outcome.sectionsDone,
                outcome.sealedFields, outcome.result == WriteResult::Failed ? "FAILED" : "written");
    return outcome.result == WriteResult::Failed ? 2 : 0;
}
