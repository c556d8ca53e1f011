// Capture benchmark (not a test): a submit on a page not stored to the
// capture's question "登録確認", and the registration dialog's OK to the
// dialog's close (the save's PIN answered in advance by an AutoAnswer),
// with the relay exchanges of each, in this process as in the browser's.
//   addin_capture_bench [--rounds=N] [--relay=FOLDER]
// The store's relay is the installed Zentrip.exe (the shipped 32-bit one)
// unless --relay names the folder of another.
#include "BenchStats.h"
#include "CaptureBench.h"

#include "RelayState.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

void PrintCapture(const bench::CaptureResult& r, int rounds) {
    std::printf("Submit capture in the browser's process (band hosted in-process), %d rounds\n",
                rounds);
    if (!r.ok) std::printf("  FAILED: %ls\n", r.why.c_str());
    if (r.toQuestion.empty()) return;
    const int done = static_cast<int>(r.toQuestion.size());
    std::printf("  %-46s %10s %10s\n", "", "median", "90th pct");
    std::printf("  %-46s %7.1f ms %7.1f ms\n", "submit click -> confirmation question shown",
                bench::Median(r.toQuestion), bench::Percentile(r.toQuestion, 0.9));
    std::printf("  %-46s %7.1f ms %7.1f ms\n", "registration OK -> registration dialog closed",
                bench::Median(r.okToClose), bench::Percentile(r.okToClose, 0.9));
    std::printf("  first round (warm-up, not above): %.1f ms / %.1f ms; rounds stored as"
                " registered: %d of %d\n",
                r.warmupQuestionMs, r.warmupSaveMs, r.stored, done);
    std::printf("  relay exchanges per round, click -> question: ");
    bench::PrintExchanges(r.questionExchanges, done);
    std::printf("\n  relay exchanges per round, OK -> closed: ");
    bench::PrintExchanges(r.saveExchanges, done);
    std::printf("\n");
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    int rounds = 20;
    std::wstring relay;
    for (int i = 1; i < argc; ++i) {
        if (std::wcsncmp(argv[i], L"--rounds=", 9) == 0) rounds = _wtoi(argv[i] + 9);
        if (std::wcsncmp(argv[i], L"--relay=", 8) == 0) relay = argv[i] + 8;
    }
    if (!relay.empty() && relay.back() != L'\\') relay += L'\\';
    RelayState::Instance().SetRelayFolder(relay);
    RelayState::Instance().SetReadyOpens(2400); // a 32-bit relay may need a minute to start
    rounds = std::max(rounds, 1);
    const bench::CaptureResult result = bench::RunCaptureBench(rounds);
    PrintCapture(result, rounds);
    std::fflush(stdout);
    return result.ok ? 0 : 1;
}
