// Starts Vantrel.exe and exports everything the user's databases hold as a
// user would: the root's box ticked, the export button of the tool bar, the
// export dialog filled in (OK to the question of an empty passphrase, Yes
// to overwriting), the PIN dialog of the export answered with the test PIN
// and the progress dialog closed with OK once it reports the end. Prints
// what the progress dialog said; exit code 0 on "成功", or on "警告" (written,
// with secrets that could not be read). Never installed.
//   vantrel_user <file.csv> [passphrase [program]]
#include "AutoAnswer.h"
#include "Peltrix.h"
#include "VantrelProcess.h"

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
    std::string bytes(text.size() * 3 + 1, '\0');
    bytes.resize(static_cast<size_t>(
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(),
                              static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fputs("Usage: vantrel_user <file.csv> [passphrase [program]]\n", stderr);
        return 1;
    }
    peltrix::test::AutoAnswer allow(AUTHCASE_EXPORT, peltrix::test::AutoAnswer::kAllow);
    vantrel::test::VantrelProcess run;
    if (!run.Start(argc > 3 ? argv[3] : L"") || !run.WaitUntilReady(600000)) {
        std::fputs("Vantrel did not start (or another instance runs).\n", stderr);
        return 2;
    }
    if (!run.TickEverything()) {
        std::fputs("Nothing stored could be ticked.\n", stderr);
        return 2;
    }
    const vantrel::test::ExportSeen seen =
        run.Export(argv[1], argc > 2 ? argv[2] : L"", nullptr, 900000);
    for (const std::wstring& question : seen.questions)
        std::printf("answered: %s\n", Utf8(question).c_str());
    if (!seen.error.empty()) std::printf("error: %s\n", Utf8(seen.error).c_str());
    if (!seen.ended) {
        std::fputs("The export did not end in time.\n", stderr);
        return 2;
    }
    std::printf("%s: %s (%.2f s from the export button to the end, %d items)\n",
                Utf8(seen.title).c_str(), Utf8(seen.status).c_str(), seen.seconds, seen.sections);
    run.Close(60000);
    return seen.title == L"成功" || seen.title == L"警告" ? 0 : 1;
}
