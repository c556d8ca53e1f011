#include "RequestFuzzer.h"

#include "CRequestDispatcher.h"
#include "RecordHandlers.h"
#include "RelayRecords.h"

namespace torva::relay::test {

Message RequestFuzzer::Seed(uint64_t db, uint64_t key) {
    const std::wstring names[] = {m_prefix + L"URL", m_prefix + L"FUZZ\\A",
                                  m_prefix + L"FUZZ\\B\\C", L"", m_prefix + L"TITLE"};
    const std::wstring& name = names[Below(5)];
    switch (Below(14)) {
    case 0:
        return MakeCrypt(TYPE_TVRCT_ENCRYPT, Bytes(1 + Below(64)),
                         static_cast<uint32_t>(Below(400)));
    case 1:
        return MakeCrypt(TYPE_TVRCT_DECRYPT, Bytes(1 + Below(120)),
                         static_cast<uint32_t>(Below(400)));
    case 2:
        return MakeAuth(static_cast<uint32_t>(Below(8)));
    case 3:
        return MakeOpenDb();
    case 4:
        return MakeCloseDb(Below(4) ? 0 : db);
    case 5:
        return MakeEnumKey(db, Below(2) ? key : 0, static_cast<uint32_t>(Below(4)));
    case 6:
        return MakeKeyRequest(TYPE_TVRDB_OPENKEY, db, 0, name);
    case 7:
        return MakeCloseKey(db, key ^ Below(2));
    case 8:
        return MakeKeyRequest(TYPE_TVRDB_CREATEKEY, db, 0, m_prefix + L"FUZZ\\" + name);
    case 9:
        return MakeKeyRequest(TYPE_TVRDB_DELETEKEY, db, key, L"B");
    case 10:
        return MakeQueryValue(db, key, name, static_cast<uint32_t>(Below(64)),
                              static_cast<uint32_t>(Below(3)));
    case 11:
        return MakeSetValue(db, key, name, static_cast<uint32_t>(Below(4)), Bytes(Below(40)));
    case 12:
        return MakeKeyRequest(TYPE_TVRDB_DELETEVALUE, db, key, name);
    default:
        return MakeEnd();
    }
}

void RequestFuzzer::Mutate(Message& message) {
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
            if (Below(2) && message.size() >= 8) {
                Store32(message.data(), kOffSize, static_cast<uint32_t>(message.size()));
            }
            break;
        }
        case 3: { // grow
            const std::vector<BYTE> tail = Bytes(Below(100));
            message.insert(message.end(), tail.begin(), tail.end());
            if (Below(2) && message.size() >= 8) {
                Store32(message.data(), kOffSize, static_cast<uint32_t>(message.size()));
            }
            break;
        }
        case 4: // another type
            if (message.size() >= 8) {
                Store32(message.data(), kOffType,
                        Below(4) ? static_cast<uint32_t>(Below(20)) : Interesting(0));
            }
            break;
        case 5: // a lying size field
            if (message.size() >= 4) Store32(message.data(), kOffSize, Interesting(message.size()));
            break;
        default: // a name with no terminator
            if (message.size() >= 2084) {
                for (size_t i = 28; i < message.size(); i += 2)
                    message[i] = 'N';
            }
            break;
        }
    }
}

size_t RequestFuzzer::Below(size_t bound) {
    return bound ? std::uniform_int_distribution<size_t>(0, bound - 1)(m_random) : 0;
}

uint32_t RequestFuzzer::Interesting(size_t size) {
    const uint32_t values[] = {0,
                               1,
                               7,
                               8,
                               9,
                               0x7FFFFFFF,
                               0x80000000,
                               0xFFFFFFFF,
                               0xFFFFFFF0,
                               kMaxMessageSize,
                               kMaxMessageSize + 1,
                               2084,
                               2088,
                               static_cast<uint32_t>(size),
                               static_cast<uint32_t>(size) + 1,
                               static_cast<uint32_t>(size) - 1,
                               static_cast<uint32_t>(size) - 24};
    return values[Below(sizeof values / sizeof values[0])];
}

std::vector<BYTE> RequestFuzzer::Bytes(size_t count) {
    std::vector<BYTE> bytes(count);
    for (BYTE& b : bytes)
        b = static_cast<BYTE>(Below(256));
    return bytes;
}

std::string ReplyVerdict(const Message& request, int outcome, const Message& reply) {
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
        const uint32_t expected =
            type == TYPE_TVRCT_ENCRYPT ? TYPE_TVRCT_ENCRYPT_RESULT : TYPE_TVRCT_DECRYPT_RESULT;
        if (replyType != expected || reply.size() < 20) return "bad crypt reply";
        const uint32_t c = Load32(reply.data(), offsetof(RELAY_CRYPT_RESULT, dwOutputCapacity));
        if (c != Load32(request.data(), offsetof(RELAY_CRYPT, dwOutputCapacity)))
            return "capacity changed";
        return reply.size() == 20ull + c ? "" : "crypt reply size";
    }
    case TYPE_TVRDB_QUERYVALUE: {
        if (replyType != TYPE_TVRDB_QUERYVALUE_RESULT || reply.size() < 24)
            return "bad query reply";
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
        if (type == TYPE_TVRDB_ENUMKEY && (reply[offsetof(RELAY_ENUMKEY, szName) + 2046] |
                                           reply[offsetof(RELAY_ENUMKEY, szName) + 2047]) != 0) {
            return "enumerated name not terminated";
        }
        return "";
    }
    }
}

} // namespace torva::relay::test
