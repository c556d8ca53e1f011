// Start-up of Vantrel.exe to a filled tree over a large fixture: 1,000 extra
// web pages and 200 extra applications (or the numbers given), of the
// Vantrel.exe beside it or the one named third. Prints the fill, the start
// to the enabled window and the number of tree items, then exports every
// item (but the page code page 932 cannot hold) with a passphrase through
// the tool bar, the export dialog and the PIN dialog, and prints its time.
#include "AutoAnswer.h"
#include "ExportFixture.h"
#include "Peltrix.h"
#include "VantrelProcess.h"

#include <chrono>
#include <cstdio>
#include <cwchar>

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The export ended with its file written: "成功", or "警告" when secrets
// that could not be read were written empty.
bool Written(const std::wstring& title) {
    return title == L"成功" || title == L"警告";
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
            peltrix::test::AutoAnswer allow(AUTHCASE_EXPORT, peltrix::test::AutoAnswer::kAllow);
            wchar_t dir[MAX_PATH] = {};
            ::GetTempPathW(MAX_PATH, dir);
            const std::wstring target = std::wstring(dir) + L"vantrel_bench.csv";
            ::DeleteFileW(target.c_str());
            if (run.TickEverything(export_fixture::kOutsideCodePageUrl)) {
                const vantrel::test::ExportSeen seen =
                    run.Export(target, L"bench passphrase", nullptr, 1800000);
                WIN32_FILE_ATTRIBUTE_DATA file{};
                ::GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &file);
                std::printf("export with a passphrase, export button to the end: %.1f s (%d items, "
                            "%lu bytes, %s)\n",
                            seen.seconds, seen.sections, file.nFileSizeLow,
                            Written(seen.title) ? "success" : "failure");
                code = Written(seen.title) ? 0 : 1;
            } else {
                std::printf("nothing could be ticked\n");
            }
            ::DeleteFileW(target.c_str());
            run.Close(60000);
        } else {
            std::printf("the program did not become ready\n");
        }
    }
    export_fixture::Clear();
    return code;
}
