// Start-up of Vantrel.exe to a filled tree over a large fixture: 1,000 extra
// web pages and 200 extra applications (or the numbers given), of the
// Vantrel.exe beside it or the one named third. Prints the fill, the start
// to the enabled window and the number of tree items.
#include "ExportFixture.h"
#include "VantrelProcess.h"

#include <chrono>
#include <cstdio>
#include <cwchar>

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    export_fixture::Options options;
    options.extraPages = argc > 1 ? _wtoi(argv[1]) : 1000;
    options.extraApplications = argc > 2 ? _wtoi(argv[2]) : 200;
    auto start = std::chrono::steady_clock::now();
    if (export_fixture::Fill(options) != 0) {
        std::fwprintf(stderr, L"the fixture could not be written\n");
        return 1;
    }
    std::printf("fixture fill (%d pages, %d applications): %.1f s\n", options.extraPages,
                options.extraApplications, Seconds(start));
    int code = 1;
    {
        vantrel::test::VantrelProcess run;
        start = std::chrono::steady_clock::now();
        if (run.Start(argc > 3 ? argv[3] : L"") && run.WaitUntilReady(600000)) {
            const double ready = Seconds(start);
            const LRESULT items = ::SendMessageW(run.Tree(), TVM_GETCOUNT, 0, 0);
            std::printf("start-up to the filled tree: %.1f s (%ld tree items)\n", ready,
                        static_cast<long>(items));
            run.Close(60000);
            code = 0;
        } else {
            std::printf("the program did not become ready\n");
        }
    }
    export_fixture::Clear();
    return code;
}
