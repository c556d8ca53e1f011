// Add-in benchmark (not a test): the fill-in of a stored login page from
// DocumentComplete to its last field, with the relay exchanges per load, in
// this process as in the browser's; and the private bytes of a real
// iexplore.exe with Quorvel.dll registered after 10 and 500 loads.
//   addin_ui_bench [--loads=N] [--memory-loads=N] [--no-memory] [--relay=FOLDER]
// The store's relay is the installed Zentrip.exe (the shipped 32-bit one)
// unless --relay names the folder of another.
#include "BenchStats.h"
#include "FillBench.h"
#include "MemoryBench.h"

#include "RelayRecords.h"
#include "RelayState.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

int IntArg(const wchar_t* arg, const wchar_t* name, int value) {
    const size_t length = std::wcslen(name);
    return std::wcsncmp(arg, name, length) == 0 ? _wtoi(arg + length) : value;
}

void PrintFill(const bench::FillResult& fill, int loads) {
    std::printf("Fill-in in the browser's process (band hosted in-process), %d loads\n", loads);
    if (!fill.ok) {
        std::printf("  FAILED: %ls\n", fill.why.c_str());
        return;
    }
    std::printf("  %-44s %10s %10s\n", "", "median", "90th pct");
    std::printf("  %-44s %7.1f ms %7.1f ms\n", "DocumentComplete -> last field set",
                bench::Median(fill.toLastField), bench::Percentile(fill.toLastField, 0.9));
    std::printf("  %-44s %7.1f ms %7.1f ms\n", "DocumentComplete -> the band's handler done",
                bench::Median(fill.toHandlerEnd), bench::Percentile(fill.toHandlerEnd, 0.9));
    std::printf("  first load (warm-up, not above): %.1f ms; loads not filled as stored: %d;"
                " control changes per load: %d\n",
                fill.warmupMs, fill.unfilled, fill.changesPerLoad);
    std::printf("  relay exchanges per load: ");
    bench::PrintExchanges(fill.exchanges, loads);
    std::printf("\n");
}

void PrintMemory(const bench::MemoryResult& memory, int few, int many) {
    std::printf("iexplore.exe with Quorvel.dll, private bytes\n");
    if (!memory.ok) {
        std::printf("  FAILED: %ls\n", memory.why.c_str());
        return;
    }
    std::printf("  (read from %ls)\n", memory.source);
    const double kb = 1024.0;
    std::printf("  after %4d loads: %10.0f KB\n", few, memory.afterFew / kb);
    std::printf("  after %4d loads: %10.0f KB\n", many, memory.afterMany / kb);
    const double growth =
        (static_cast<double>(memory.afterMany) - static_cast<double>(memory.afterFew)) / kb;
    std::printf("  growth: %.0f KB (%.2f KB per load); %d loads took %.1f s\n", growth,
                growth / (many - few), many - few, memory.manySeconds);
    std::printf("  committed private regions (VirtualQueryEx)\n");
    std::printf("  after %4d loads: %10.0f KB\n", few, memory.committedFew / kb);
    std::printf("  after %4d loads: %10.0f KB\n", many, memory.committedMany / kb);
    const double committedGrowth =
        (static_cast<double>(memory.committedMany) - static_cast<double>(memory.committedFew)) / kb;
    std::printf("  growth: %.0f KB (%.2f KB per load)\n", committedGrowth,
                committedGrowth / (many - few));
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    int loads = 50, memoryLoads = 500;
    bool memory = true;
    std::wstring relay;
    for (int i = 1; i < argc; ++i) {
        loads = IntArg(argv[i], L"--loads=", loads);
        memoryLoads = IntArg(argv[i], L"--memory-loads=", memoryLoads);
        if (std::wcscmp(argv[i], L"--no-memory") == 0) memory = false;
        if (std::wcsncmp(argv[i], L"--relay=", 8) == 0) relay = argv[i] + 8;
    }
    if (!relay.empty() && relay.back() != L'\\') relay += L'\\';
    RelayState::Instance().SetRelayFolder(relay);
    RelayState::Instance().SetReadyOpens(2400); // a 32-bit relay may need a minute to start
    loads = std::max(loads, 1);
    const int few = 10;
    memoryLoads = std::max(memoryLoads, few + 1);

    const bench::FillResult fill = bench::RunFillBench(loads);
    PrintFill(fill, loads);
    std::fflush(stdout);
    bench::MemoryResult mem;
    if (memory) {
        mem = bench::RunMemoryBench(few, memoryLoads);
        PrintMemory(mem, few, memoryLoads);
    }
    return fill.ok && (!memory || mem.ok) ? 0 : 1;
}
