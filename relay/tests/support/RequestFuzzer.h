// Seeded random relay requests for the fuzz runs: valid requests of every
// type, and mutations of them (bytes, fields, cuts, growth, other types,
// lying size fields, names without a terminator). One seed gives the same
// requests in every build and every run.
#pragma once

#include <windows.h>

#include <cstdint>
#include <random>
#include <string>

#include "RequestBuilder.h"

namespace torva::relay::test {

class RequestFuzzer {
public:
    // Every key path the requests name, but the root, starts with pathPrefix
    // (empty, or ending in a backslash).
    explicit RequestFuzzer(uint32_t seed, std::wstring pathPrefix = std::wstring())
        : m_random(seed), m_prefix(std::move(pathPrefix)) {}

    // A valid request of a random type on the given database and key
    // (TYPE_END among them).
    Message Seed(uint64_t db, uint64_t key);
    // One to four random mutations.
    void Mutate(Message& message);

    // A uniform number in [0, bound); 0 for bound 0.
    size_t Below(size_t bound);

private:
    uint32_t Interesting(size_t size);
    std::vector<BYTE> Bytes(size_t count);

    std::mt19937 m_random;
    std::wstring m_prefix;
};

// Checks one answer of the dispatcher (the outcome and reply of
// CRequestDispatcher::Answer) to `request`, the whole message as it was
// received. Empty when the answer is well formed: TYPE_END only for a whole
// TYPE_END, else TYPE_ERROR or a reply of the request's kind and size.
std::string ReplyVerdict(const Message& request, int outcome, const Message& reply);

} // namespace torva::relay::test
