// The fill-in as the browser's process runs it, hosted here: the browser
// stand-in's WebBrowser object in a top window, a band site, and the band
// object (CStockBar) created and sited in this process as the browser does.
// Each load navigates to the stored login page; the band fills it in from
// DocumentComplete, the PIN typed by an AutoAnswer set up beforehand.
#pragma once

#include "RelayState.h"

#include <string>
#include <vector>

namespace bench {

struct FillResult {
    bool ok = false;
    std::wstring why;                       // what went wrong when !ok
    double warmupMs = 0;                    // the first load, not in the samples
    std::vector<double> toLastField;        // DocumentComplete -> last field's value set
    std::vector<double> toHandlerEnd;       // DocumentComplete -> the event's sinks returned
    int unfilled = 0;                       // loads whose fields were not all as stored
    RelayState::ExchangeCounts exchanges{}; // summed over the sampled loads
    int changesPerLoad = 0;                 // control changes of the last load
};

// Runs warm-up + loads page loads; the store must be able to reach a relay.
FillResult RunFillBench(int loads);

} // namespace bench
