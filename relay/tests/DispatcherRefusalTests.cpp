// Requests the dispatcher must refuse with TYPE_ERROR, and libraries that
// misbehave on purpose: the dispatcher must never read or copy past what the
// request or the library really holds.
#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>

#include "DispatcherTestSupport.h"
#include "RecordHandlers.h"
#include "RequestBuilder.h"

using namespace torva::relay;
using namespace torva::relay::test;

namespace {

// What the fault-injecting library saw, per test.
struct Seen {
    size_t nameLength = 0;
    void* db = nullptr;
    DWORD overstate = 0;
    int calls = 0;
} g_seen;

DWORD TVRDB_CALL OpenKeyMeasuringName(TVRDB_HDB, LPCWSTR path, TVRDB_HKEY* key) {
    ++g_seen.calls;
    g_seen.nameLength = std::wcslen(path);
    *key = reinterpret_cast<TVRDB_HKEY>(static_cast<intptr_t>(0x77));
    return 0;
}
DWORD TVRDB_CALL OpenDbNegativeHandle(TVRDB_HDB* db) {
    *db = reinterpret_cast<TVRDB_HDB>(static_cast<intptr_t>(-2));
    return 0;
}
DWORD TVRDB_CALL CloseDbRecording(TVRDB_HDB db) {
    g_seen.db = db;
    return 0;
}
DWORD TVRDB_CALL QueryValueOverstating(TVRDB_HDB, TVRDB_HKEY, LPCWSTR, DWORD* type, BYTE* data,
                                       DWORD* size) {
    ++g_seen.calls;
    if (data) std::memset(data, 0xAB, *size);
    *type = 0;
    *size += g_seen.overstate;
    return 0;
}
DWORD TVRDB_CALL EnumKeyFillingTheField(TVRDB_HDB, TVRDB_HKEY, DWORD, LPWSTR name, DWORD* length) {
    for (int i = 0; i < RELAY_NAME_LENGTH; ++i)
        name[i] = L'A';
    *length = RELAY_NAME_LENGTH;
    return 0;
}
DWORD TVRCT_CALL EncryptWritingThree(const BYTE*, DWORD, BYTE* output, DWORD capacity,
                                     DWORD* length) {
    ++g_seen.calls;
    if (capacity >= 3) std::memcpy(output, "xyz", 3);
    *length = 3 + g_seen.overstate;
    return 0;
}
DWORD TVRDB_CALL SetValueCounting(TVRDB_HDB, TVRDB_HKEY, LPCWSTR, DWORD, const BYTE*, DWORD) {
    ++g_seen.calls;
    return 0;
}

RelayLibraries FaultyLibraries() {
    RelayLibraries libraries;
    libraries.OpenKey = &OpenKeyMeasuringName;
    libraries.OpenDB = &OpenDbNegativeHandle;
    libraries.CloseDB = &CloseDbRecording;
    libraries.QueryValue = &QueryValueOverstating;
    libraries.EnumKey = &EnumKeyFillingTheField;
    libraries.Encrypt = &EncryptWritingThree;
    libraries.SetValue = &SetValueCounting;
    return libraries;
}

class Refusals : public ::testing::Test {
protected:
    Refusals() : dispatcher(FaultyLibraries()) { g_seen = Seen(); }

    std::vector<BYTE> Ask(const std::vector<BYTE>& request) {
        std::vector<BYTE> reply;
        EXPECT_EQ(dispatcher.Answer(request.data(), static_cast<DWORD>(request.size()), reply), 0);
        EXPECT_EQ(ReplyField(reply, kOffSize), reply.size());
        return reply;
    }
    bool IsError(const std::vector<BYTE>& reply) {
        return reply.size() == 8 && ReplyType(reply) == TYPE_ERROR;
    }

    CRequestDispatcher dispatcher;
};

std::vector<BYTE> Header(uint32_t size, uint32_t type, size_t actual) {
    std::vector<BYTE> message(actual, 0);
    if (actual >= 4) Store32(message.data(), kOffSize, size);
    if (actual >= 8) Store32(message.data(), kOffType, type);
    return message;
}

} // namespace

TEST_F(Refusals, UnknownTypesGetTheErrorReply) {
    for (uint32_t type : {0u, 14u, 15u, 16u, 17u, 18u, 126u, 128u, 255u, 0xFFFFFFFFu}) {
        EXPECT_TRUE(IsError(Ask(Header(20, type, 20)))) << type;
    }
}

TEST_F(Refusals, EndGetsNoReply) {
    std::vector<BYTE> reply{1};
    const std::vector<BYTE> end = MakeEnd();
    EXPECT_EQ(dispatcher.Answer(end.data(), 8, reply), CRequestDispatcher::kEnd);
}

TEST_F(Refusals, MessagesShorterThanAHeaderOrDisagreeingWithItAreRefused) {
    EXPECT_TRUE(IsError(Ask(Header(0, 4, 0))));
    EXPECT_TRUE(IsError(Ask(Header(4, 4, 4))));
    EXPECT_TRUE(IsError(Ask(Header(7, 4, 7))));
    EXPECT_TRUE(IsError(Ask(Header(0, 4, 20))));
    EXPECT_TRUE(IsError(Ask(Header(21, 4, 20))));
    EXPECT_TRUE(IsError(Ask(Header(0xFFFFFFFF, 4, 20))));
}

TEST_F(Refusals, TruncatedFixedRecordsAreRefusedWithoutCallingTheLibrary) {
    for (uint32_t type : {3u, 4u, 5u, 6u, 7u, 8u, 9u, 10u, 13u}) {
        const uint32_t full = FixedRecordSize(type);
        for (uint32_t size : {8u, full - 1}) {
            EXPECT_TRUE(IsError(Ask(Header(size, type, size)))) << type << " " << size;
        }
    }
    EXPECT_TRUE(IsError(Ask(Header(2087, TYPE_TVRDB_QUERYVALUE, 2087))));
    EXPECT_TRUE(IsError(Ask(Header(2083, TYPE_TVRDB_SETVALUE, 2083))));
    EXPECT_TRUE(IsError(Ask(Header(23, TYPE_TVRCT_ENCRYPT, 23))));
    EXPECT_EQ(g_seen.calls, 0);
}

TEST_F(Refusals, CryptLengthsThatDisagreeOrWrapAreRefused) {
    std::vector<BYTE> request = MakeCrypt(TYPE_TVRCT_ENCRYPT, std::vector<BYTE>(8, 1), 64);
    for (uint32_t n : {0u, 7u, 9u, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
        Store32(request.data(), offsetof(RELAY_CRYPT, dwInputLength), n);
        EXPECT_TRUE(IsError(Ask(request))) << n;
    }
    request = MakeCrypt(TYPE_TVRCT_ENCRYPT, std::vector<BYTE>(8, 1), 0);
    EXPECT_TRUE(IsError(Ask(request)));
    request = MakeCrypt(TYPE_TVRCT_ENCRYPT, std::vector<BYTE>(8, 1), 0xFFFFFFFF);
    EXPECT_TRUE(IsError(Ask(request)));
    EXPECT_EQ(g_seen.calls, 0);
}

TEST_F(Refusals, SetValueDataBeyondTheMessageIsRefusedEvenWhenTheSumWraps) {
    std::vector<BYTE> request = MakeSetValue(1, 2, L"V", 0, std::vector<BYTE>(40, 7));
    for (uint32_t d : {41u, 0xFFFFF800u, 0xFFFFFFFFu, 0xFFFFF7DCu + 40u}) {
        Store32(request.data(), offsetof(RELAY_SETVALUE, dwDataSize), d);
        EXPECT_TRUE(IsError(Ask(request))) << d;
    }
    EXPECT_EQ(g_seen.calls, 0);
    Store32(request.data(), offsetof(RELAY_SETVALUE, dwDataSize), 40);
    EXPECT_EQ(ReplyType(Ask(request)), static_cast<uint32_t>(TYPE_TVRDB_SETVALUE_RESULT));
    EXPECT_EQ(g_seen.calls, 1);
}

TEST_F(Refusals, QueryBufferBeyondTheCapIsRefused) {
    EXPECT_TRUE(IsError(Ask(MakeQueryValue(1, 2, L"V", 0xFFFFFFFF, 1))));
    EXPECT_TRUE(IsError(Ask(MakeQueryValue(1, 2, L"V", kMaxMessageSize, 1))));
    EXPECT_EQ(g_seen.calls, 0);
}

TEST_F(Refusals, NamesWithoutTerminatorAreCutInsideTheirField) {
    std::vector<BYTE> request = MakeKeyRequest(TYPE_TVRDB_OPENKEY, 1, 0, L"");
    WCHAR* name = reinterpret_cast<WCHAR*>(request.data() + offsetof(RELAY_KEY, szName));
    for (int i = 0; i < RELAY_NAME_LENGTH; ++i)
        name[i] = L'K';
    const std::vector<BYTE> reply = Ask(request);
    ASSERT_EQ(reply.size(), sizeof(RELAY_KEY));
    EXPECT_EQ(g_seen.nameLength, static_cast<size_t>(RELAY_NAME_LENGTH - 1));
    EXPECT_EQ(Load64(reply.data(), kOffKey), 0x77u);
}

TEST_F(Refusals, EnumeratedNameThatFillsTheFieldIsTerminated) {
    const std::vector<BYTE> reply = Ask(MakeEnumKey(1, 2, 0));
    ASSERT_EQ(reply.size(), sizeof(RELAY_ENUMKEY));
    const WCHAR* name =
        reinterpret_cast<const WCHAR*>(reply.data() + offsetof(RELAY_ENUMKEY, szName));
    EXPECT_EQ(name[RELAY_NAME_LENGTH - 1], L'\0');
    EXPECT_EQ(name[RELAY_NAME_LENGTH - 2], L'A');
}

TEST_F(Refusals, QueryDataTheLibraryClaimsBeyondTheBufferIsNotSent) {
    g_seen.overstate = 100;
    EXPECT_TRUE(IsError(Ask(MakeQueryValue(1, 2, L"V", 16, 1))));
    g_seen.overstate = 0;
    const std::vector<BYTE> reply = Ask(MakeQueryValue(1, 2, L"V", 16, 1));
    ASSERT_EQ(reply.size(), 24u + 16u);
    EXPECT_EQ(std::vector<BYTE>(reply.begin() + 24, reply.end()), std::vector<BYTE>(16, 0xAB));
}

TEST_F(Refusals, CryptReplyCarriesExactlyTheCapacityWhateverLengthIsReported) {
    g_seen.overstate = 1000;
    const std::vector<BYTE> reply = Ask(MakeCrypt(TYPE_TVRCT_ENCRYPT, {1, 2, 3, 4}, 8));
    ASSERT_EQ(reply.size(), 28u);
    EXPECT_EQ(ReplyField(reply, offsetof(RELAY_CRYPT_RESULT, dwOutputLength)), 1003u);
    const std::vector<BYTE> expected = {'x', 'y', 'z', 0, 0, 0, 0, 0};
    EXPECT_EQ(std::vector<BYTE>(reply.begin() + 20, reply.end()), expected);
}

TEST_F(Refusals, HandlesTravelSignExtendedAndComeBackWhole) {
    const std::vector<BYTE> reply = Ask(MakeOpenDb());
    ASSERT_EQ(reply.size(), sizeof(RELAY_DB));
    EXPECT_EQ(Load64(reply.data(), kOffDb), 0xFFFFFFFFFFFFFFFEull);
    Ask(MakeCloseDb(0xFFFFFFFFFFFFFFFEull));
    EXPECT_EQ(g_seen.db, reinterpret_cast<void*>(static_cast<intptr_t>(-2)));
}

TEST_F(Refusals, MissingLibraryFunctionIsRefused) {
    EXPECT_TRUE(IsError(Ask(MakeAuth(3))));
    EXPECT_TRUE(IsError(Ask(MakeCrypt(TYPE_TVRCT_DECRYPT, {1}, 8))));
}

TEST_F(Refusals, ErrorDataIsTheEightByteErrorMessage) {
    LoadedRelayEnd end;
    dispatcher.SetErrorData(end);
    ASSERT_EQ(end.GetSendSize(), 8u);
    EXPECT_EQ(Load32(end.GetSendData(), kOffSize), 8u);
    EXPECT_EQ(Load32(end.GetSendData(), kOffType), static_cast<uint32_t>(TYPE_ERROR));
}
