// brisbel_bench [FOLDER]
//
// For databases of 1,000, 10,000 and 100,000 values (100 values per key):
// the time to open (replay) the database, sets, queries and enumerations
// per second, and how the cost of one set changes with the database's size.
// Then, for 10,000 and 100,000 values, sets of large values through several
// compactions: the longest set (the one that compacts) and the longest wait
// of a second process's call meanwhile (see CompactionRun.h).
//
// Each database is laid down by writing its log directly (the same records
// compaction writes), because filling 100,000 values through the flushed
// set call would take minutes of disk flushes; every figure below is then
// measured through the ordinary calls. Sets are dominated by the flush that
// each one waits for.
#include "BenchData.h"
#include "CompactionRun.h"
#include "Database.h"
#include "GenerationSet.h"
#include "KeyPath.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace brisbel;
using namespace brisbel::bench;

namespace {

constexpr DWORD kSampleSets = 500;
// The compaction run: values large enough that the log outgrows the live
// data within a few hundred sets, and enough generations to see the spread.
constexpr DWORD kCompactionSetSize = 16 * 1024;
constexpr DWORD kCompactions = 4;

uint64_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

struct Result {
    DWORD values = 0;
    double openMs = 0;
    double setsPerSecond = 0;
    double medianSetUs = 0;
    double queriesPerSecond = 0;
    double enumsPerSecond = 0;
    double bytesPerSet = 0;
};

std::wstring DatabaseName(DWORD values) {
    return L"bench" + std::to_wstring(values);
}

std::wstring LogPath(const std::wstring& folder, DWORD values) {
    return GenerationSet(folder, DatabaseName(values)).PathOf(1);
}

// Lays the database down, opens it (timed), then times queries and enumeration.
bool Measure(const std::wstring& folder, DWORD values, std::unique_ptr<Database>& out,
             Result& result) {
    const std::wstring name = DatabaseName(values);
    if (!Build(folder, name, values)) return false;
    result.values = values;

    std::wstring identity;
    if (Database::IdentityOf(folder, name, identity)) return false;
    out = std::make_unique<Database>(folder, name, identity);
    Database& db = *out;
    auto start = Clock::now();
    if (db.Open()) return false;
    result.openMs = Seconds(Clock::now() - start) * 1000;

    // Queries: every value once, in key order.
    std::vector<BYTE> buffer(256);
    start = Clock::now();
    for (DWORD i = 0; i < values; ++i) {
        DWORD type = 0, size = static_cast<DWORD>(buffer.size());
        if (db.QueryValue(KeyOf(i / kValuesPerKey), NameOf(i % kValuesPerKey), &type, buffer.data(),
                          &size)) {
            return false;
        }
    }
    result.queriesPerSecond = values / Seconds(Clock::now() - start);

    // Enumeration: every value of every key, as the data manager lists them.
    start = Clock::now();
    DWORD enumerated = 0;
    for (DWORD k = 0; k < values / kValuesPerKey; ++k) {
        const KeyPath key = KeyOf(k);
        for (DWORD v = 0;; ++v) {
            wchar_t valueName[100];
            DWORD nameLength = 100, type = 0, size = static_cast<DWORD>(buffer.size());
            const DWORD status =
                db.EnumValue(key, v, valueName, &nameLength, &type, buffer.data(), &size);
            if (status == TVRDB_E_NO_MORE_ITEMS) break;
            if (status) return false;
            ++enumerated;
        }
    }
    if (enumerated != values) return false;
    result.enumsPerSecond = values / Seconds(Clock::now() - start);

    return true;
}

// Sets: new values spread over the existing keys, each flushed. The three
// databases take turns, so that disk noise (other programs flushing) falls
// on all sizes alike and the ratio between them stays meaningful.
bool MeasureSets(const std::wstring& folder, std::vector<std::unique_ptr<Database>>& dbs,
                 std::vector<Result>& results) {
    std::vector<std::vector<double>> each(dbs.size());
    std::vector<uint64_t> sizeBefore;
    for (const Result& r : results)
        sizeBefore.push_back(FileSize(LogPath(folder, r.values)));
    for (DWORD s = 0; s < kSampleSets; ++s) {
        for (size_t d = 0; d < dbs.size(); ++d) {
            const DWORD i = (s * 7919) % results[d].values;
            const auto data = DataOf(s);
            const auto start = Clock::now();
            if (dbs[d]->SetValue(KeyOf(i / kValuesPerKey), L"New" + std::to_wstring(s),
                                 TVRDB_TYPE_BINARY, data.data(), static_cast<DWORD>(data.size()))) {
                return false;
            }
            each[d].push_back(Seconds(Clock::now() - start) * 1e6);
        }
    }
    for (size_t d = 0; d < dbs.size(); ++d) {
        Result& r = results[d];
        double total = 0;
        for (const double us : each[d])
            total += us;
        r.setsPerSecond = kSampleSets / (total / 1e6);
        std::nth_element(each[d].begin(), each[d].begin() + each[d].size() / 2, each[d].end());
        r.medianSetUs = each[d][each[d].size() / 2];
        r.bytesPerSet = double(FileSize(LogPath(folder, r.values)) - sizeBefore[d]) / kSampleSets;
    }
    return true;
}

void RemoveFiles(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    HANDLE find = ::FindFirstFileW((folder + L"\\bench*.tvdb").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        ::DeleteFileW((folder + L"\\" + found.cFileName).c_str());
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && std::wstring(argv[1]) == L"--follow") return FollowerMain(argc, argv);
    std::wstring folder;
    if (argc > 1) {
        folder = argv[1];
    } else {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"brisbel-bench";
    }
    ::CreateDirectoryW(folder.c_str(), nullptr);
    RemoveFiles(folder);

    std::vector<Result> results;
    std::vector<std::unique_ptr<Database>> dbs;
    for (const DWORD values : {1000u, 10000u, 100000u}) {
        Result result;
        dbs.emplace_back();
        if (!Measure(folder, values, dbs.back(), result)) {
            std::fprintf(stderr, "brisbel_bench: the %lu-value run failed\n",
                         static_cast<unsigned long>(values));
            RemoveFiles(folder);
            return 1;
        }
        results.push_back(result);
    }
    const bool setsDone = MeasureSets(folder, dbs, results);
    dbs.clear();
    RemoveFiles(folder);
    if (!setsDone) {
        std::fprintf(stderr, "brisbel_bench: a set failed\n");
        return 1;
    }
    std::vector<CompactionFigures> compacted;
    for (const DWORD values : {10000u, 100000u}) {
        CompactionFigures figures;
        const bool done = RunCompactions(folder, values, kCompactionSetSize, kCompactions, figures);
        RemoveFiles(folder);
        if (!done) {
            std::fprintf(stderr, "brisbel_bench: the %lu-value compaction run failed\n",
                         static_cast<unsigned long>(values));
            return 1;
        }
        compacted.push_back(figures);
    }

    std::printf("%8s %10s %10s %12s %12s %12s %10s\n", "values", "open ms", "sets/s",
                "set us (med)", "queries/s", "enum vals/s", "bytes/set");
    for (const Result& r : results) {
        std::printf("%8lu %10.1f %10.0f %12.0f %12.0f %12.0f %10.1f\n",
                    static_cast<unsigned long>(r.values), r.openMs, r.setsPerSecond, r.medianSetUs,
                    r.queriesPerSecond, r.enumsPerSecond, r.bytesPerSet);
    }
    const double ratioMean = results[0].setsPerSecond / results[2].setsPerSecond;
    const double ratioMedian = results[2].medianSetUs / results[0].medianSetUs;
    std::printf("cost of one set, 100000 vs 1000 values: %.2fx (mean), %.2fx (median)\n", ratioMean,
                ratioMedian);

    std::printf("\nsets of %lu KB values across compactions, a second process querying about "
                "once a millisecond (times in ms):\n",
                static_cast<unsigned long>(kCompactionSetSize / 1024));
    std::printf("%8s %6s %8s %9s %12s %14s %8s %9s %10s %14s\n", "values", "sets", "compact.",
                "set (med)", "longest set", "longest compact", "queries", "wait (med)",
                "longest wait", "longest in compact");
    for (const CompactionFigures& f : compacted) {
        std::printf("%8lu %6lu %8lu %9.2f %12.1f %14.1f %8lu %9.2f %10.1f %14.1f\n",
                    static_cast<unsigned long>(f.values), static_cast<unsigned long>(f.sets),
                    static_cast<unsigned long>(f.compactions), f.medianSetMs, f.longestPlainSetMs,
                    f.longestCompactingSetMs, static_cast<unsigned long>(f.queries), f.medianWaitMs,
                    f.longestWaitMs, f.longestWaitInCompactionMs);
    }
    for (const CompactionFigures& f : compacted) {
        std::printf("%8lu values, each set that compacted:", static_cast<unsigned long>(f.values));
        for (const double ms : f.compactingSetMs)
            std::printf(" %.1f", ms);
        std::printf("\n");
    }
    return 0;
}
