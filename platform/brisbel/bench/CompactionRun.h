// The benchmark's compaction run: sets of large values into a laid-down
// database until the log has been compacted several times, while a second
// process (this program again, in follower mode) keeps querying the same
// database. It tells how long the set that compacts takes, and how long the
// other process waits for its call meanwhile.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace brisbel::bench {

struct CompactionFigures {
    DWORD values = 0;      // laid down before the run
    DWORD sets = 0;        // sets made
    DWORD compactions = 0; // generations passed
    double medianSetMs = 0;
    double longestPlainSetMs = 0;        // of the sets that did not compact
    double longestCompactingSetMs = 0;   // of those that did
    std::vector<double> compactingSetMs; // each of those, in order
    DWORD queries = 0;                   // the follower's calls
    double medianWaitMs = 0;
    double longestWaitMs = 0;             // of all its calls
    double longestWaitInCompactionMs = 0; // of those overlapping a compacting set
};

// Lays down a database of values values in folder, then sets values of
// setSize bytes (rewriting a few names over and over) until compactions
// generations have passed. False when a call failed.
bool RunCompactions(const std::wstring& folder, DWORD values, DWORD setSize, DWORD compactions,
                    CompactionFigures& figures);

// The follower: "--follow FOLDER NAME VALUES EVENTS OUT". Opens the
// database, sets the ready event, queries values until the stop event is
// set, then writes the start and end counter of every call to OUT.
int FollowerMain(int argc, wchar_t** argv);

} // namespace brisbel::bench
