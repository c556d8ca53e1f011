// Seeded random requests through the dispatcher, in-process: valid requests
// of every type, mutated. Every answer must be a well-formed reply of the
// request's kind or TYPE_ERROR, and TYPE_END only for a whole TYPE_END.
// The database calls go to a database of the test's own; authentication,
// which would ask the user, is answered "denied" by the test.
#include <gtest/gtest.h>

#include <cstdio>

#include "DispatcherTestSupport.h"
#include "LinkedLibraries.h"
#include "RequestFuzzer.h"

using namespace torva::relay;
using namespace torva::relay::test;

namespace {

constexpr uint32_t kSeed = 20261208;
constexpr int kRequests = 100000;
const wchar_t kFuzzDatabase[] = L"RELAYFUZZ";

DWORD TVRDB_CALL OpenFuzzDatabase(TVRDB_HDB* db) {
    return TvrDB_OpenDBEx(db, 0, kFuzzDatabase);
}
DWORD TVRAUTH_CALL Deny(eAuthCase) {
    return TVRAUTH_E_DENIED;
}

} // namespace

TEST(DispatcherFuzz, EveryMutatedRequestGetsAWellFormedAnswer) {
    RelayLibraries libraries = LinkedLibraries();
    libraries.OpenDB = &OpenFuzzDatabase;
    libraries.AuthenticateUser = &Deny;
    CRequestDispatcher dispatcher(libraries);

    TVRDB_HDB database = nullptr;
    ASSERT_EQ(TvrDB_OpenDBEx(&database, 0, kFuzzDatabase), 0u);
    TVRDB_HKEY fuzzKey = nullptr;
    ASSERT_EQ(TvrDB_CreateKey(database, L"FUZZ", &fuzzKey), 0u);
    const uint64_t db = HandleToWire(database);
    const uint64_t key = HandleToWire(fuzzKey);

    std::printf("seed %u, %d requests\n", kSeed, kRequests);
    RequestFuzzer fuzzer(kSeed);
    int errors = 0, replies = 0, ends = 0;
    std::vector<BYTE> reply;
    for (int i = 0; i < kRequests; ++i) {
        std::vector<BYTE> request = fuzzer.Seed(db, key);
        if (i % 10 != 0) fuzzer.Mutate(request);
        const int outcome =
            dispatcher.Answer(request.data(), static_cast<DWORD>(request.size()), reply);
        const std::string verdict = ReplyVerdict(request, outcome, reply);
        ASSERT_EQ(verdict, "") << "request " << i << " of seed " << kSeed;
        if (outcome == CRequestDispatcher::kEnd) {
            ++ends;
        } else if (Load32(reply.data(), kOffType) == TYPE_ERROR) {
            ++errors;
        } else {
            ++replies;
        }
    }
    std::printf("%d replies, %d errors, %d ends\n", replies, errors, ends);
    // The mix must reach both the libraries and the refusals.
    EXPECT_GT(replies, kRequests / 10);
    EXPECT_GT(errors, kRequests / 10);

    (void)TvrDB_CloseKey(database, fuzzKey);
    (void)TvrDB_DeleteKey(database, nullptr, L"FUZZ");
    (void)TvrDB_CloseDB(database);
}
