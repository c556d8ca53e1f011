// The dispatcher answering requests in-process against the real libraries.
#include <gtest/gtest.h>

#include <cstring>

#include "DispatcherTestSupport.h"
#include "LinkedLibraries.h"
#include "RequestBuilder.h"

using namespace torva::relay;
using namespace torva::relay::test;

namespace {

class RealDispatcher : public ::testing::Test {
protected:
    RealDispatcher() : dispatcher(LinkedLibraries()) {}

    std::vector<BYTE> Ask(const std::vector<BYTE>& request) {
        std::vector<BYTE> reply;
        EXPECT_EQ(dispatcher.Answer(request.data(), static_cast<DWORD>(request.size()), reply), 0);
        EXPECT_EQ(ReplyField(reply, kOffSize), reply.size());
        return reply;
    }
    uint64_t OpenDb() {
        const std::vector<BYTE> reply = Ask(MakeOpenDb());
        EXPECT_EQ(ReplyType(reply), static_cast<uint32_t>(TYPE_TVRDB_OPENDB));
        EXPECT_EQ(ReplyField(reply, kOffResult), 0u);
        return reply.size() >= 20 ? Load64(reply.data(), kOffDb) : 0;
    }
    void TearDown() override {
        if (!db) return;
        for (const std::wstring& path : cleanup)
            Ask(MakeKeyRequest(TYPE_TVRDB_DELETEKEY, db, 0, path));
        Ask(MakeCloseDb(db));
    }

    CRequestDispatcher dispatcher;
    uint64_t db = 0;
    std::vector<std::wstring> cleanup;
};

} // namespace

TEST_F(RealDispatcher, KeysAndValuesRoundTripThroughTheDatabase) {
    db = OpenDb();
    ASSERT_NE(db, 0u);
    const std::wstring path = TestKeyPath(L"PAGE001");
    cleanup.push_back(path.substr(0, path.rfind(L'\\')));

    std::vector<BYTE> reply = Ask(MakeKeyRequest(TYPE_TVRDB_CREATEKEY, db, 0, path));
    ASSERT_EQ(ReplyType(reply), static_cast<uint32_t>(TYPE_TVRDB_CREATEKEY));
    ASSERT_EQ(reply.size(), sizeof(RELAY_KEY));
    ASSERT_EQ(ReplyField(reply, kOffResult), 0u);
    const uint64_t key = Load64(reply.data(), kOffKey);
    ASSERT_NE(key, 0u);

    reply = Ask(MakeSetValue(db, key, L"URL", 2, TextBytes(L"https://example.test/login")));
    ASSERT_EQ(ReplyType(reply), static_cast<uint32_t>(TYPE_TVRDB_SETVALUE_RESULT));
    ASSERT_EQ(reply.size(), sizeof(RELAY_RESULT));
    EXPECT_EQ(ReplyField(reply, kOffResult), 0u);

    reply = Ask(MakeQueryValue(db, key, L"url", 512, 1));
    ASSERT_EQ(ReplyType(reply), static_cast<uint32_t>(TYPE_TVRDB_QUERYVALUE_RESULT));
    const uint32_t size = ReplyField(reply, offsetof(RELAY_QUERYVALUE_RESULT, dwDataSize));
    ASSERT_EQ(reply.size(), sizeof(RELAY_QUERYVALUE_RESULT) + size);
    EXPECT_EQ(ReplyField(reply, offsetof(RELAY_QUERYVALUE_RESULT, dwValueType)), 2u);
    EXPECT_EQ(BytesText(reply.data() + 24, size), L"https://example.test/login");

    const std::wstring parent = path.substr(0, path.rfind(L'\\'));
    reply = Ask(MakeKeyRequest(TYPE_TVRDB_OPENKEY, db, 0, parent));
    ASSERT_EQ(ReplyField(reply, kOffResult), 0u);
    const uint64_t parentKey = Load64(reply.data(), kOffKey);
    reply = Ask(MakeEnumKey(db, parentKey, 0));
    ASSERT_EQ(reply.size(), sizeof(RELAY_ENUMKEY));
    EXPECT_EQ(ReplyField(reply, kOffResult), 0u);
    const WCHAR* name =
        reinterpret_cast<const WCHAR*>(reply.data() + offsetof(RELAY_ENUMKEY, szName));
    EXPECT_EQ(std::wstring(name), path);
    EXPECT_EQ(ReplyField(reply, offsetof(RELAY_ENUMKEY, dwNameLength)), path.size());
    EXPECT_EQ(ReplyField(Ask(MakeEnumKey(db, parentKey, 1)), kOffResult),
              static_cast<uint32_t>(TVRDB_E_NO_MORE_ITEMS));

    reply = Ask(MakeKeyRequest(TYPE_TVRDB_DELETEVALUE, db, key, L"URL"));
    ASSERT_EQ(reply.size(), sizeof(RELAY_KEY));
    EXPECT_EQ(ReplyField(reply, kOffResult), 0u);
    EXPECT_EQ(ReplyField(Ask(MakeQueryValue(db, key, L"URL", 0, 0)), kOffResult),
              static_cast<uint32_t>(TVRDB_E_VALUE_NOT_FOUND));

    EXPECT_EQ(ReplyField(Ask(MakeCloseKey(db, key)), kOffResult), 0u);
    reply = Ask(MakeKeyRequest(TYPE_TVRDB_DELETEKEY, db, parentKey, L"PAGE001"));
    EXPECT_EQ(ReplyField(reply, kOffResult), 0u);
    EXPECT_EQ(ReplyField(Ask(MakeKeyRequest(TYPE_TVRDB_OPENKEY, db, 0, path)), kOffResult),
              static_cast<uint32_t>(TVRDB_E_KEY_NOT_FOUND));
    EXPECT_EQ(ReplyField(Ask(MakeCloseKey(db, parentKey)), kOffResult), 0u);
}

TEST_F(RealDispatcher, QueriesWithoutBufferOrWithTooSmallOneSendNoData) {
    db = OpenDb();
    const std::wstring path = TestKeyPath(L"Q");
    cleanup.push_back(path.substr(0, path.rfind(L'\\')));
    std::vector<BYTE> reply = Ask(MakeKeyRequest(TYPE_TVRDB_CREATEKEY, db, 0, path));
    const uint64_t key = Load64(reply.data(), kOffKey);
    ASSERT_EQ(
        ReplyField(Ask(MakeSetValue(db, key, L"TITLE", 2, TextBytes(L"0123456789"))), kOffResult),
        0u);

    reply = Ask(MakeQueryValue(db, key, L"TITLE", 0, 0));
    ASSERT_EQ(reply.size(), sizeof(RELAY_QUERYVALUE_RESULT));
    EXPECT_EQ(ReplyField(reply, kOffResult), 0u);
    EXPECT_EQ(ReplyField(reply, offsetof(RELAY_QUERYVALUE_RESULT, dwDataSize)), 20u);
    EXPECT_EQ(ReplyField(reply, offsetof(RELAY_QUERYVALUE_RESULT, dwWantData)), 0u);

    reply = Ask(MakeQueryValue(db, key, L"TITLE", 6, 1));
    ASSERT_EQ(reply.size(), sizeof(RELAY_QUERYVALUE_RESULT));
    EXPECT_EQ(ReplyField(reply, kOffResult), static_cast<uint32_t>(TVRDB_E_MORE_DATA));
    EXPECT_EQ(ReplyField(reply, offsetof(RELAY_QUERYVALUE_RESULT, dwDataSize)), 20u);
    EXPECT_EQ(ReplyField(reply, offsetof(RELAY_QUERYVALUE_RESULT, dwWantData)), 1u);

    ASSERT_EQ(ReplyField(Ask(MakeSetValue(db, key, L"EMPTY", 0, {})), kOffResult), 0u);
    reply = Ask(MakeQueryValue(db, key, L"EMPTY", 16, 1));
    ASSERT_EQ(reply.size(), sizeof(RELAY_QUERYVALUE_RESULT));
    EXPECT_EQ(ReplyField(reply, kOffResult), 0u);
    EXPECT_EQ(ReplyField(reply, offsetof(RELAY_QUERYVALUE_RESULT, dwDataSize)), 0u);
    Ask(MakeCloseKey(db, key));
}

TEST_F(RealDispatcher, FixedRepliesKeepTheFieldsTheyDoNotAnswer) {
    std::vector<BYTE> request = MakeCloseKey(0x1122334455667788ull, 0x0102030405060708ull);
    const std::vector<BYTE> reply = Ask(request);
    ASSERT_EQ(reply.size(), request.size());
    EXPECT_EQ(ReplyType(reply), static_cast<uint32_t>(TYPE_TVRDB_CLOSEKEY));
    EXPECT_NE(ReplyField(reply, kOffResult), 0u); // not a handle the library gave
    Store32(request.data(), kOffResult, ReplyField(reply, kOffResult));
    EXPECT_EQ(reply, request);
}

TEST_F(RealDispatcher, EncryptedBytesDecryptToTheInput) {
    const std::vector<BYTE> secret = TextBytes(L"p@ssw0rd-\u30D1\u30B9");
    std::vector<BYTE> reply =
        Ask(MakeCrypt(TYPE_TVRCT_ENCRYPT, secret, 4 * static_cast<uint32_t>(secret.size()) + 64));
    ASSERT_EQ(ReplyType(reply), static_cast<uint32_t>(TYPE_TVRCT_ENCRYPT_RESULT));
    const uint32_t capacity = ReplyField(reply, offsetof(RELAY_CRYPT_RESULT, dwOutputCapacity));
    ASSERT_EQ(reply.size(), sizeof(RELAY_CRYPT_RESULT) + capacity);
    ASSERT_EQ(ReplyField(reply, offsetof(RELAY_CRYPT_RESULT, dwResult)), 0u);
    const uint32_t length = ReplyField(reply, offsetof(RELAY_CRYPT_RESULT, dwOutputLength));
    ASSERT_GT(length, secret.size());
    ASSERT_LE(length, capacity);
    const std::vector<BYTE> sealed(reply.begin() + 20, reply.begin() + 20 + length);
    EXPECT_NE(sealed, secret);

    reply = Ask(MakeCrypt(TYPE_TVRCT_DECRYPT, sealed, static_cast<uint32_t>(sealed.size())));
    ASSERT_EQ(ReplyType(reply), static_cast<uint32_t>(TYPE_TVRCT_DECRYPT_RESULT));
    ASSERT_EQ(ReplyField(reply, offsetof(RELAY_CRYPT_RESULT, dwResult)), 0u);
    const uint32_t plain = ReplyField(reply, offsetof(RELAY_CRYPT_RESULT, dwOutputLength));
    EXPECT_EQ(std::vector<BYTE>(reply.begin() + 20, reply.begin() + 20 + plain), secret);
}

TEST_F(RealDispatcher, TooSmallCryptCapacityReportsTheNeededLength) {
    const std::vector<BYTE> input(100, 0x5A);
    const std::vector<BYTE> reply = Ask(MakeCrypt(TYPE_TVRCT_ENCRYPT, input, 10));
    ASSERT_EQ(reply.size(), 30u);
    EXPECT_EQ(ReplyField(reply, offsetof(RELAY_CRYPT_RESULT, dwResult)),
              static_cast<uint32_t>(TVRCT_E_MORE_DATA));
    EXPECT_GT(ReplyField(reply, offsetof(RELAY_CRYPT_RESULT, dwOutputLength)), 100u);
    EXPECT_EQ(std::vector<BYTE>(reply.begin() + 20, reply.end()), std::vector<BYTE>(10, 0));
}

TEST_F(RealDispatcher, SetOutputDataLeavesTheReplyInTheSendBuffer) {
    LoadedRelayEnd end;
    end.Receive(MakeCloseDb(0x42));
    EXPECT_EQ(dispatcher.SetOutputData(end), 0);
    ASSERT_EQ(end.GetSendSize(), sizeof(RELAY_DB));
    EXPECT_EQ(Load32(end.GetSendData(), kOffType), static_cast<uint32_t>(TYPE_TVRDB_CLOSEDB));

    end.Receive(MakeEnd());
    EXPECT_EQ(dispatcher.SetOutputData(end), CRequestDispatcher::kEnd);

    end.Receive({1, 2, 3});
    EXPECT_EQ(dispatcher.SetOutputData(end), 0);
    ASSERT_EQ(end.GetSendSize(), 8u);
    EXPECT_EQ(Load32(end.GetSendData(), kOffType), static_cast<uint32_t>(TYPE_ERROR));
    EXPECT_EQ(Load32(end.GetSendData(), kOffSize), 8u);
}
