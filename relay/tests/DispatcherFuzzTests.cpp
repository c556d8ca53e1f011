// Seeded random requests through the dispatcher, in-process: valid requests
// of every type, mutated. Every answer must be a well-formed reply of the
// request's kind or TYPE_ERROR, and TYPE_END only for a whole TYPE_END.
// The database calls go to a database of the test's own; authentication,
// which would ask the user, is answered "denied" by the test.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "DispatcherTestSupport.h"
#include "LinkedLibraries.h"
#include "RecordHandlers.h"
#include "RequestBuilder.h"

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

// Checks one answer; returns an empty string when it is well formed.
std::string Verdict(const std::vector<BYTE>& request, int outcome, const std::vector<BYTE>& reply) {
    const bool whole = request.size() >= 8 && Load32(request.data(), kOffSize) == request.size();
    const uint32_t type = request.size() >= 8 ? Load32(request.data(), kOffType) : 0;
    if (outcome == CRequestDispatcher::kEnd) {
        return whole && type == TYPE_END ? "" : "TYPE_END answer for another request";
    }
    if (reply.size() < 8) return "reply shorter than a header";
    if (Load32(reply.data(), kOffSize) != reply.size()) return "reply size field disagrees";
    const uint32_t replyType = Load32(reply.data(), kOffType);
    if (replyType == TYPE_ERROR) return reply.size() == 8 ? "" : "long error reply";
    if (!whole) return "answered a message that was not whole";
    switch (type) {
    case TYPE_TVRCT_ENCRYPT:
    case TYPE_TVRCT_DECRYPT: {
        const uint32_t expected = type == TYPE_TVRCT_ENCRYPT ? TYPE_TVRCT_ENCRYPT_RESULT : TYPE_TVRCT_DECRYPT_RESULT;
        if (replyType != expected || reply.size() < 20) return "bad crypt reply";
        const uint32_t c = Load32(reply.data(), offsetof(RELAY_CRYPT_RESULT, dwOutputCapacity));
        if (c != Load32(request.data(), offsetof(RELAY_CRYPT, dwOutputCapacity))) return "capacity changed";
        return reply.size() == 20ull + c ? "" : "crypt reply size";
    }
    case TYPE_TVRDB_QUERYVALUE: {
        if (replyType != TYPE_TVRDB_QUERYVALUE_RESULT || reply.size() < 24) return "bad query reply";
        const uint32_t d = Load32(reply.data(), offsetof(RELAY_QUERYVALUE_RESULT, dwDataSize));
        const uint32_t buffer = Load32(request.data(), offsetof(RELAY_QUERYVALUE, dwBufferSize));
        if (reply.size() == 24) return "";
        return reply.size() == 24ull + d && d <= buffer ? "" : "query data size";
    }
    case TYPE_TVRDB_SETVALUE:
        return replyType == TYPE_TVRDB_SETVALUE_RESULT && reply.size() == 12 ? "" : "bad set reply";
    default: {
        const uint32_t fixed = FixedRecordSize(type);
        if (fixed == 0) return "answered an unknown type";
        if (replyType != type || reply.size() != fixed) return "bad fixed reply";
        if (type == TYPE_TVRDB_ENUMKEY &&
            (reply[offsetof(RELAY_ENUMKEY, szName) + 2046] | reply[offsetof(RELAY_ENUMKEY, szName) + 2047]) != 0) {
            return "enumerated name not terminated";
        }
        return "";
    }
    }
}

class Fuzzer {
public:
    explicit Fuzzer(uint32_t seed) : m_random(seed) {}

    std::vector<BYTE> Seed(uint64_t db, uint64_t key) {
        const std::wstring names[] = {L"URL", L"FUZZ\\A", L"FUZZ\\B\\C", L"", L"TITLE"};
        const std::wstring& name = names[Below(5)];
        switch (Below(14)) {
        case 0: return MakeCrypt(TYPE_TVRCT_ENCRYPT, Bytes(1 + Below(64)), Below(400));
        case 1: return MakeCrypt(TYPE_TVRCT_DECRYPT, Bytes(1 + Below(120)), Below(400));
        case 2: return MakeAuth(Below(8));
        case 3: return MakeOpenDb();
        case 4: return MakeCloseDb(Below(4) ? 0 : db);
        case 5: return MakeEnumKey(db, Below(2) ? key : 0, Below(4));
        case 6: return MakeKeyRequest(TYPE_TVRDB_OPENKEY, db, 0, name);
        case 7: return MakeCloseKey(db, key ^ Below(2));
        case 8: return MakeKeyRequest(TYPE_TVRDB_CREATEKEY, db, 0, L"FUZZ\\" + name);
        case 9: return MakeKeyRequest(TYPE_TVRDB_DELETEKEY, db, key, L"B");
        case 10: return MakeQueryValue(db, key, name, Below(64), Below(3));
        case 11: return MakeSetValue(db, key, name, Below(4), Bytes(Below(40)));
        case 12: return MakeKeyRequest(TYPE_TVRDB_DELETEVALUE, db, key, name);
        default: return MakeEnd();
        }
    }

    void Mutate(std::vector<BYTE>& message) {
        const int rounds = 1 + static_cast<int>(Below(4));
        for (int r = 0; r < rounds; ++r) {
            switch (Below(7)) {
            case 0: // a byte anywhere
                if (!message.empty()) message[Below(message.size())] = static_cast<BYTE>(Below(256));
                break;
            case 1: // an interesting number in a field
                if (message.size() >= 4) {
                    const size_t at = Below(message.size() - 3) & ~size_t{3};
                    Store32(message.data(), at, Interesting(message.size()));
                }
                break;
            case 2: { // cut, header kept truthful or not
                message.resize(Below(message.size() + 1));
                if (Below(2) && message.size() >= 8) Store32(message.data(), kOffSize, static_cast<uint32_t>(message.size()));
                break;
            }
            case 3: { // grow
                const std::vector<BYTE> tail = Bytes(Below(100));
                message.insert(message.end(), tail.begin(), tail.end());
                if (Below(2) && message.size() >= 8) Store32(message.data(), kOffSize, static_cast<uint32_t>(message.size()));
                break;
            }
            case 4: // another type
                if (message.size() >= 8) Store32(message.data(), kOffType, Below(4) ? Below(20) : Interesting(0));
                break;
            case 5: // a lying size field
                if (message.size() >= 4) Store32(message.data(), kOffSize, Interesting(message.size()));
                break;
            default: // a name with no terminator
                if (message.size() >= 2084) {
                    for (size_t i = 28; i < message.size(); i += 2) message[i] = 'N';
                }
                break;
            }
        }
    }

private:
    uint32_t Interesting(size_t size) {
        const uint32_t values[] = {0, 1, 7, 8, 9, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFFF0,
                                   kMaxMessageSize, kMaxMessageSize + 1, 2084, 2088,
                                   static_cast<uint32_t>(size), static_cast<uint32_t>(size) + 1,
                                   static_cast<uint32_t>(size) - 1, static_cast<uint32_t>(size) - 24};
        return values[Below(sizeof values / sizeof values[0])];
    }
    std::vector<BYTE> Bytes(size_t count) {
        std::vector<BYTE> bytes(count);
        for (BYTE& b : bytes) b = static_cast<BYTE>(Below(256));
        return bytes;
    }
    size_t Below(size_t bound) {
        return bound ? std::uniform_int_distribution<size_t>(0, bound - 1)(m_random) : 0;
    }
    std::mt19937 m_random;
};

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
    Fuzzer fuzzer(kSeed);
    int errors = 0, replies = 0, ends = 0;
    std::vector<BYTE> reply;
    for (int i = 0; i < kRequests; ++i) {
        std::vector<BYTE> request = fuzzer.Seed(db, key);
        if (i % 10 != 0) fuzzer.Mutate(request);
        const int outcome = dispatcher.Answer(request.data(), static_cast<DWORD>(request.size()), reply);
        const std::string verdict = Verdict(request, outcome, reply);
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
