// Export benchmark: the store loaded from a fixture of 1,000 web pages and
// 200 applications (besides the fixture's edge cases), then every record
// written to a file with a passphrase. Prints the load time, the write time,
// the number of sealed fields and the time per sealed field.
//   export_bench [pages applications]
#include "CExportStore.h"
#include "CExportWriter.h"
#include "AllSections.h"
#include "ExportFixture.h"
#include "Win32Handles.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<int> g_sealed{0};
std::atomic<long long> g_sealMicros{0};

DWORD TVRCT_CALL CountingPassEncrypt(LPCWSTR passphrase, DWORD passphraseLength, const BYTE* input,
                                     DWORD inputLength, BYTE* output, DWORD capacity,
                                     DWORD* outputLength) {
    const auto start = Clock::now();
    const DWORD result = TvrCT_PassEncrypt(passphrase, passphraseLength, input, inputLength, output,
                                           capacity, outputLength);
    g_sealMicros +=
        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
    ++g_sealed;
    return result;
}

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    export_fixture::Options options;
    options.extraPages = argc > 2 ? _wtoi(argv[1]) : 1000;
    options.extraApplications = argc > 2 ? _wtoi(argv[2]) : 200;

    auto start = Clock::now();
    if (const DWORD r = export_fixture::Fill(options)) {
        std::fprintf(stderr, "fixture failed (%lu)\n", static_cast<unsigned long>(r));
        return 2;
    }
    const double fillSeconds = Since(start);

    CExportStore store;
    start = Clock::now();
    if (!store.Load()) {
        std::fputs("the user's database could not be opened\n", stderr);
        return 2;
    }
    const double loadSeconds = Since(start);

    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"export_bench.csv";
    torva::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return 2;

    CryptApi counting = LibraryCryptApi();
    counting.PassEncrypt = &CountingPassEncrypt;
    store.SetExportPassphrase(L"bench passphrase");
    // The edge page that code page 932 cannot hold would end the export.
    const std::vector<SectionWrite> sections =
        AllSections(store, export_fixture::kOutsideCodePageUrl);
    ExportSink sink(file.get());
    start = Clock::now();
    const BatchOutcome outcome = WriteSections(store, sink, sections, {}, counting);
    const double writeSeconds = Since(start);
    LARGE_INTEGER size = {};
    ::GetFileSizeEx(file.get(), &size);
    file.reset();
    ::DeleteFileW(path.c_str());

    std::printf("pages %zu, applications %zu\n", store.Pages().size(), store.Applications().size());
    std::printf("fixture fill      %8.2f s\n", fillSeconds);
    std::printf("store load        %8.2f s\n", loadSeconds);
    std::printf("write (sealed)    %8.2f s, %zu sections, %s, %lld bytes, %u threads\n",
                writeSeconds, outcome.sectionsDone,
                outcome.result == WriteResult::Failed ? "FAILED" : "written",
                static_cast<long long>(size.QuadPart), std::thread::hardware_concurrency());
    std::printf("sealed fields     %8d, %.1f ms each of the write, %.1f ms of one thread each\n",
                g_sealed.load(), g_sealed ? 1000.0 * writeSeconds / g_sealed : 0.0,
                g_sealed ? g_sealMicros.load() / 1000.0 / g_sealed : 0.0);
    std::printf("load + write      %8.2f s\n", loadSeconds + writeSeconds);
    return 0;
}
