// The figures the add-in's benchmarks print: median and percentile of a
// set of samples, and relay exchanges per run by request type.
#pragma once

#include "RelayState.h"
#include "RelayTypeName.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace bench {

// The value below which share of the sorted samples fall (nearest rank).
inline double Percentile(std::vector<double> samples, double share) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    size_t rank = static_cast<size_t>(share * static_cast<double>(samples.size()) + 0.999999);
    rank = std::clamp<size_t>(rank, 1, samples.size());
    return samples[rank - 1];
}

inline double Median(std::vector<double> samples) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const size_t n = samples.size();
    return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

// "N (Type n, Type n, ...)": the exchanges summed over runs, per run.
inline void PrintExchanges(const RelayState::ExchangeCounts& sum, int runs) {
    unsigned total = 0;
    for (unsigned count : sum)
        total += count;
    std::printf("%.1f (", static_cast<double>(total) / runs);
    bool first = true;
    for (size_t type = 0; type < sum.size(); ++type) {
        if (!sum[type]) continue;
        std::printf("%s%ls %.1f", first ? "" : ", ", torva::relay::RequestTypeName(type),
                    static_cast<double>(sum[type]) / runs);
        first = false;
    }
    std::printf(")");
}

} // namespace bench
