// Measures one relay exchange (a short TvrDB_QueryValue through a real relay
// and Brisbel) against a bare named-pipe round trip of the same request and
// reply sizes between the same two bitnesses, and where an exchange spends
// its time: percentiles of both, each add-in step's share, and the slowest
// exchanges step by step (a tail that sits in no step in particular is the
// machine's scheduling, met at any of the exchange's many system calls).
// Options:
//   --relay=<folder>|installed   the relay (default: installed)
//   --echo=<path>                the bare peer (default: relay_pipe_echo.exe
//                                beside the relay)
//   --count=<n>                  measured round trips of each kind (1000+)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

#include "AddinChannel.h"
#include "ChildProcess.h"
#include "RelayCalls.h"
#include "RelayRecords.h"
#include "RelayTestEnvironment.h"
#include "RequestBuilder.h"

using namespace torva::relay;
using namespace torva::relay::test;

namespace {

double Micros(LARGE_INTEGER from, LARGE_INTEGER to) {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1e6 /
           static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return t;
}

struct Stats {
    double median, p99, mean;
};

Stats Summarise(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const size_t n = samples.size();
    return {samples[n / 2], samples[std::min(n - 1, (n * 99) / 100)],
            std::accumulate(samples.begin(), samples.end(), 0.0) / static_cast<double>(n)};
}

// Exchanges of a QueryValue for a short value, with the time of each step.
bool MeasureExchanges(int count, std::vector<double>& totals,
                      std::vector<std::vector<double>>& steps, uint32_t& requestSize,
                      uint32_t& replySize) {
    AddinChannel channel(RelayFolder(), RelayReadyOpens());
    RelayCalls calls(channel);
    uint64_t db = 0, key = 0;
    const std::wstring path = L"RELAYBENCH\\P" + std::to_wstring(::GetCurrentProcessId());
    if (calls.OpenDB(db) != 0 || calls.CreateKey(db, path, key) != 0 ||
        calls.SetValue(db, key, L"SHORT", 2, TextBytes(L"abc123")) != 0) {
        std::fprintf(stderr, "relay set-up failed: %s\n", ToString(calls.LastStatus()));
        return false;
    }
    const std::vector<BYTE> request = MakeQueryValue(db, key, L"SHORT", 512, 1);
    requestSize = static_cast<uint32_t>(request.size());
    std::vector<BYTE> reply;
    LARGE_INTEGER marks[13];
    AddinChannel::Hooks hooks;
    hooks.stepDone = [&](int step) { marks[step] = Now(); };
    steps.assign(13, {});
    for (int i = -100; i < count; ++i) {
        for (LARGE_INTEGER& mark : marks)
            mark.QuadPart = 0;
        marks[0] = Now();
        if (channel.Exchange(request, AddinChannel::kDatabaseReplyWait, reply, hooks) !=
                ExchangeStatus::Ok ||
            MessageType(reply) != TYPE_TVRDB_QUERYVALUE_RESULT || reply.size() != 24 + 12) {
            std::fprintf(stderr, "exchange %d failed\n", i);
            return false;
        }
        const LARGE_INTEGER end = Now();
        if (i < 0) continue;
        totals.push_back(Micros(marks[0], end));
        LARGE_INTEGER previous = marks[0];
        for (int s = 1; s <= 12; ++s) {
            if (!marks[s].QuadPart) continue;
            steps[s].push_back(Micros(previous, marks[s]));
            previous = marks[s];
        }
    }
    replySize = static_cast<uint32_t>(reply.size());
    calls.CloseKey(db, key);
    calls.DeleteKey(db, 0, L"RELAYBENCH");
    calls.CloseDB(db);
    channel.End(5000);
    return true;
}

bool MeasureBarePipe(const std::wstring& echo, int count, uint32_t requestSize, uint32_t replySize,
                     std::vector<double>& totals) {
    const std::wstring name =
        L"\\\\.\\pipe\\RelayBenchBare" + std::to_wstring(::GetCurrentProcessId());
    torva::UniqueFile pipe(::CreateNamedPipeW(
        name.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 8192, 8192, 0, nullptr));
    if (!pipe) return false;
    ChildProcess peer(L"\"" + echo + L"\" " + name);
    if (!peer.Started()) {
        std::fprintf(stderr, "cannot start %ls\n", echo.c_str());
        return false;
    }
    if (!::ConnectNamedPipe(pipe.get(), nullptr) && ::GetLastError() != ERROR_PIPE_CONNECTED)
        return false;
    std::vector<BYTE> request(requestSize, 0), reply(replySize);
    Store32(request.data(), 0, requestSize);
    Store32(request.data(), 4, replySize);
    for (int i = -100; i < count; ++i) {
        const LARGE_INTEGER start = Now();
        DWORD moved = 0;
        if (!::WriteFile(pipe.get(), request.data(), requestSize, &moved, nullptr) ||
            moved != requestSize)
            return false;
        for (DWORD done = 0; done < replySize; done += moved) {
            if (!::ReadFile(pipe.get(), reply.data() + done, replySize - done, &moved, nullptr) ||
                !moved)
                return false;
        }
        const LARGE_INTEGER end = Now();
        if (i >= 0) totals.push_back(Micros(start, end));
    }
    pipe.reset();
    return true;
}

} // namespace

int main(int argc, char** argv) {
    int count = 2000;
    std::wstring echo;
    bool relayGiven = false;
    std::vector<char*> rest = {argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--count=", 8) == 0) {
            count = std::max(1000, std::atoi(argv[i] + 8));
        } else if (std::strncmp(argv[i], "--echo=", 7) == 0) {
            const std::string path = argv[i] + 7;
            echo.assign(path.begin(), path.end());
        } else {
            relayGiven = relayGiven || std::strncmp(argv[i], "--relay=", 8) == 0;
            rest.push_back(argv[i]);
        }
    }
    char installed[] = "--relay=installed";
    if (!relayGiven) rest.push_back(installed);
    int restCount = static_cast<int>(rest.size());
    rest.push_back(nullptr);
    if (!ParseRelayArguments(&restCount, rest.data())) return 2;
    if (echo.empty()) echo = RelayFolder() + L"relay_pipe_echo.exe";

    DWORD kind = 0;
    ::GetBinaryTypeW(echo.c_str(), &kind);
    std::printf("client: %d-bit, relay: %d-bit, bare peer: %ls (%d-bit)\n",
                static_cast<int>(sizeof(void*) * 8), RelayIs32Bit() ? 32 : 64, echo.c_str(),
                kind == SCS_32BIT_BINARY ? 32 : 64);

    std::vector<double> exchange, bare;
    std::vector<std::vector<double>> steps;
    uint32_t requestSize = 0, replySize = 0;
    if (!MeasureExchanges(count, exchange, steps, requestSize, replySize)) return 1;
    if (!MeasureBarePipe(echo, count, requestSize, replySize, bare)) return 1;

    const Stats e = Summarise(exchange), b = Summarise(bare);
    std::printf("%d round trips each; request %u bytes, reply %u bytes\n", count, requestSize,
                replySize);
    std::printf("%-28s %10s %10s %10s\n", "", "median us", "p99 us", "mean us");
    std::printf("%-28s %10.1f %10.1f %10.1f\n", "relay exchange (QueryValue)", e.median, e.p99,
                e.mean);
    std::printf("%-28s %10.1f %10.1f %10.1f\n", "bare pipe round trip", b.median, b.p99, b.mean);
    std::printf("%-28s %10.2f %10.2f %10.2f\n", "ratio", e.median / b.median, e.p99 / b.p99,
                e.mean / b.mean);

    const char* names[13] = {"",
                             "A1 request lock",
                             "A2 relay alive, reset events",
                             "A3 SetSendData",
                             "A4 set WriteDataFinished",
                             "A5 ConnectPipe (relay opens)",
                             "A6 reset event",
                             "A7 PipeWrite",
                             "A8 wait for the relay's answer",
                             "A9 set ReadDataReady",
                             "A10 PipeRead (relay writes)",
                             "",
                             "A12 reset, disconnect"};
    std::printf("\npercentiles (us)          p50      p90      p95      p98      p99    p99.5    "
                "p99.9      max\n");
    const auto percentiles = [](const char* what, std::vector<double> samples) {
        std::sort(samples.begin(), samples.end());
        std::printf("  %-20s", what);
        for (double p : {0.5, 0.9, 0.95, 0.98, 0.99, 0.995, 0.999}) {
            std::printf(
                " %8.1f",
                samples[std::min(samples.size() - 1,
                                 static_cast<size_t>(p * static_cast<double>(samples.size())))]);
        }
        std::printf(" %8.1f\n", samples.back());
    };
    percentiles("relay exchange", exchange);
    percentiles("bare pipe", bare);

    // The slowest exchanges, step by step: where the tail comes from.
    std::vector<size_t> order(exchange.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return exchange[a] > exchange[b]; });
    const size_t slowest = std::max<size_t>(1, order.size() / 100);
    std::printf(
        "\nadd-in steps of one exchange (median / mean / p99 us; mean over the slowest 1%%):\n");
    for (int s = 1; s <= 12; ++s) {
        if (steps[s].size() != exchange.size()) continue;
        const Stats st = Summarise(steps[s]);
        double tail = 0;
        for (size_t i = 0; i < slowest; ++i)
            tail += steps[s][order[i]];
        std::printf("  %-34s %8.1f %8.1f %8.1f %8.1f\n", names[s], st.median, st.mean, st.p99,
                    tail / static_cast<double>(slowest));
    }
    std::printf("\nthe five slowest exchanges, us per step (A1..A12):\n");
    for (size_t i = 0; i < std::min<size_t>(5, order.size()); ++i) {
        std::printf("  #%-5zu %8.1f:", order[i], exchange[order[i]]);
        for (int s = 1; s <= 12; ++s) {
            if (steps[s].size() == exchange.size()) std::printf(" %.0f", steps[s][order[i]]);
        }
        std::printf("\n");
    }
    return 0;
}
