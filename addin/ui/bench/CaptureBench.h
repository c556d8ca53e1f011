// The submit capture as the browser's process runs it, hosted here (see
// HostedBand): a login page that is not stored is typed into and its submit
// button clicked; the capture asks "登録確認", which is answered yes; the
// registration dialog opens, gets an entry name and its OK; the save's PIN
// is typed by an AutoAnswer set up beforehand; the dialog closes. Each round
// starts from a page not stored (what the round before stored is deleted
// first, untimed).
#pragma once

#include "RelayState.h"

#include <string>
#include <vector>

namespace bench {

struct CaptureResult {
    bool ok = false;
    std::wstring why;            // what went wrong when !ok
    double warmupQuestionMs = 0; // the first round, not in the samples
    double warmupSaveMs = 0;
    std::vector<double> toQuestion;                 // the click -> "登録確認" activated
    std::vector<double> okToClose;                  // the registration's OK -> its window destroyed
    RelayState::ExchangeCounts questionExchanges{}; // summed over the sampled rounds
    RelayState::ExchangeCounts saveExchanges{};
    int stored = 0; // sampled rounds whose page was stored
};

// Runs warm-up + rounds captures; the store must be able to reach a relay.
CaptureResult RunCaptureBench(int rounds);

} // namespace bench
