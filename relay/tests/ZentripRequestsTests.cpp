// Every request type through a real relay process and the real libraries,
// and malformed requests that the relay must refuse while it goes on serving.
// All tests of this suite share one relay start.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "AddinChannel.h"
#include "AutoAnswer.h"
#include "Brisbel.h"
#include "Peltrix.h"
#include "RelayCalls.h"
#include "RelayRecords.h"
#include "RelayTestEnvironment.h"
#include "RequestBuilder.h"

using namespace torva::relay;
using namespace torva::relay::test;
using peltrix::test::AutoAnswer;

namespace {

std::string Hex(const std::vector<BYTE>& bytes) {
    std::string text;
    char digits[3];
    for (BYTE b : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", b);
        text += digits;
    }
    return text;
}

std::wstring RunKey() {
    return L"RELAYTEST\\E" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
           std::to_wstring(::GetTickCount());
}

class ZentripRequests : public ::testing::Test {
protected:
    static void SetUpTestSuite() { channel = new AddinChannel(RelayFolder(), RelayReadyOpens()); }
    static void TearDownTestSuite() {
        channel->End(5000);
        delete channel;
        channel = nullptr;
    }
    void SetUp() override {
        calls = std::make_unique<RelayCalls>(*channel);
        ASSERT_EQ(calls->OpenDB(db), 0u) << ToString(calls->LastStatus());
        ASSERT_NE(db, 0u);
    }
    void TearDown() override {
        for (const std::wstring& path : cleanup)
            calls->DeleteKey(db, 0, path);
        EXPECT_EQ(calls->CloseDB(db), 0u);
    }
    // The reply to a raw request, which must come back as an exchange.
    std::vector<BYTE> Raw(const std::vector<BYTE>& request) {
        std::vector<BYTE> reply;
        EXPECT_EQ(channel->Exchange(request, AddinChannel::kDatabaseReplyWait, reply),
                  ExchangeStatus::Ok);
        return reply;
    }

    static AddinChannel* channel;
    std::unique_ptr<RelayCalls> calls;
    uint64_t db = 0;
    std::vector<std::wstring> cleanup;
};

AddinChannel* ZentripRequests::channel = nullptr;

} // namespace

TEST_F(ZentripRequests, DatabaseRequestsOfEveryTypeRoundTrip) {
    const std::wstring root = RunKey();
    cleanup.push_back(root);
    uint64_t page = 0;
    ASSERT_EQ(calls->CreateKey(db, root + L"\\WEBFORMDATA\\PAGE001", page), 0u);
    ASSERT_NE(page, 0u);
    EXPECT_EQ(calls->SetValue(db, page, L"URL", 2, TextBytes(L"https://example.test/")), 0u);
    const DWORD flag = 1;
    EXPECT_EQ(calls->SetValue(db, page, L"CHANGEFLG", 1,
                              std::vector<BYTE>((const BYTE*)&flag, (const BYTE*)&flag + 4)),
              0u);
    EXPECT_EQ(calls->SetValue(db, page, L"BLOB", 0, {}), 0u);

    uint32_t type = 0, size = 0;
    std::vector<BYTE> buffer(512);
    ASSERT_EQ(calls->QueryValue(db, page, L"url", type, &buffer, size), 0u);
    EXPECT_EQ(type, 2u);
    EXPECT_EQ(BytesText(buffer.data(), size), L"https://example.test/");
    ASSERT_EQ(calls->QueryValue(db, page, L"URL", type, nullptr, size), 0u);
    EXPECT_EQ(size, 42u);
    std::vector<BYTE> small(10, 0xEE);
    EXPECT_EQ(calls->QueryValue(db, page, L"URL", type, &small, size),
              static_cast<DWORD>(TVRDB_E_MORE_DATA));
    EXPECT_EQ(size, 42u);
    EXPECT_EQ(small, std::vector<BYTE>(10, 0xEE));
    ASSERT_EQ(calls->QueryValue(db, page, L"CHANGEFLG", type, &buffer, size), 0u);
    EXPECT_EQ(type, 1u);
    EXPECT_EQ(size, 4u);
    ASSERT_EQ(calls->QueryValue(db, page, L"BLOB", type, &buffer, size), 0u);
    EXPECT_EQ(size, 0u);

    uint64_t parent = 0;
    ASSERT_EQ(calls->OpenKey(db, root + L"\\WEBFORMDATA", parent), 0u);
    std::wstring name;
    uint32_t length = 0;
    ASSERT_EQ(calls->EnumKey(db, parent, 0, name, length), 0u);
    EXPECT_EQ(name, root + L"\\WEBFORMDATA\\PAGE001");
    EXPECT_EQ(length, name.size());
    EXPECT_EQ(calls->EnumKey(db, parent, 1, name, length),
              static_cast<DWORD>(TVRDB_E_NO_MORE_ITEMS));

    EXPECT_EQ(calls->DeleteValue(db, page, L"URL"), 0u);
    EXPECT_EQ(calls->QueryValue(db, page, L"URL", type, nullptr, size),
              static_cast<DWORD>(TVRDB_E_VALUE_NOT_FOUND));
    EXPECT_EQ(calls->CloseKey(db, page), 0u);
    EXPECT_EQ(calls->DeleteKey(db, parent, L"PAGE001"), 0u);
    uint64_t gone = 0;
    EXPECT_EQ(calls->OpenKey(db, root + L"\\WEBFORMDATA\\PAGE001", gone),
              static_cast<DWORD>(TVRDB_E_KEY_NOT_FOUND));
    EXPECT_EQ(calls->CloseKey(db, parent), 0u);
    EXPECT_EQ(channel->RelayStarts(), 1);
}

TEST_F(ZentripRequests, EncryptedBytesDecryptToTheInput) {
    const std::vector<BYTE> secret = TextBytes(L"s3cr3t-\u79D8\u5BC6");
    std::vector<BYTE> sealed, opened;
    ASSERT_EQ(calls->Crypt(1, secret, 4 * static_cast<uint32_t>(secret.size()) + 64, sealed), 0u);
    ASSERT_GT(sealed.size(), secret.size());
    ASSERT_EQ(calls->Crypt(2, sealed, 4 * static_cast<uint32_t>(sealed.size()), opened), 0u);
    EXPECT_EQ(opened, secret);
    sealed[sealed.size() / 2] ^= 0x40;
    EXPECT_NE(calls->Crypt(2, sealed, 4 * static_cast<uint32_t>(sealed.size()), opened), 0u);
}

TEST_F(ZentripRequests, AuthenticationAllowedAndDenied) {
    // Case numbers of this program alone, per relay bitness.
    const DWORD allowCase = RelayIs32Bit() ? 93 : 91;
    const AutoAnswer allow(allowCase, AutoAnswer::kAllow);
    const AutoAnswer deny(allowCase + 1, AutoAnswer::kDeny);
    ASSERT_TRUE(allow.Applied() && deny.Applied());
    EXPECT_TRUE(calls->IsAuthent(allowCase));
    EXPECT_FALSE(calls->IsAuthent(allowCase + 1));
    EXPECT_EQ(calls->LastStatus(), ExchangeStatus::Ok);
    EXPECT_EQ(Load32(calls->LastReply().data(), kOffResult),
              static_cast<uint32_t>(TVRAUTH_E_CANCELLED));
}

TEST_F(ZentripRequests, MalformedRequestsGetTheErrorAndTheRelayGoesOn) {
    std::vector<std::pair<const char*, std::vector<BYTE>>> cases;
    for (uint32_t size : {0u, 4u, 7u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        std::vector<BYTE> header(8);
        Store32(header.data(), kOffSize, size);
        Store32(header.data(), kOffType, TYPE_TVRDB_OPENDB);
        cases.emplace_back("header size", header);
    }
    std::vector<BYTE> crypt = MakeCrypt(TYPE_TVRCT_ENCRYPT, std::vector<BYTE>(8, 1), 64);
    Store32(crypt.data(), offsetof(RELAY_CRYPT, dwInputLength), 0xFFFFFFF0u);
    cases.emplace_back("crypt length that wraps", crypt);
    std::vector<BYTE> set = MakeSetValue(db, 0, L"V", 0, std::vector<BYTE>(16, 1));
    Store32(set.data(), offsetof(RELAY_SETVALUE, dwDataSize), 0xFFFFF800u);
    cases.emplace_back("set length that wraps", set);
    std::vector<BYTE> truncated = MakeEnumKey(db, 0, 0);
    truncated.resize(20);
    Store32(truncated.data(), kOffSize, 20);
    cases.emplace_back("truncated record", truncated);
    for (uint32_t type : {0u, 14u, 126u}) {
        std::vector<BYTE> unknown = MakeOpenDb();
        Store32(unknown.data(), kOffType, type);
        cases.emplace_back("unknown type", unknown);
    }
    for (const auto& [what, request] : cases) {
        const std::vector<BYTE> reply = Raw(request);
        EXPECT_EQ(Hex(reply), "08000000ff000000") << what;
    }

    // A name that fills its field without a terminator reaches the library cut.
    std::vector<BYTE> open = MakeKeyRequest(TYPE_TVRDB_OPENKEY, db, 0, L"");
    for (size_t i = offsetof(RELAY_KEY, szName); i < open.size(); i += 2)
        open[i] = 'K';
    const std::vector<BYTE> reply = Raw(open);
    ASSERT_EQ(reply.size(), sizeof(RELAY_KEY));
    EXPECT_EQ(Load32(reply.data(), kOffType), static_cast<uint32_t>(TYPE_TVRDB_OPENKEY));
    EXPECT_NE(Load32(reply.data(), kOffResult), 0u);

    uint64_t key = 0;
    const std::wstring root = RunKey();
    cleanup.push_back(root);
    EXPECT_EQ(calls->CreateKey(db, root, key), 0u);
    EXPECT_EQ(calls->CloseKey(db, key), 0u);
    EXPECT_EQ(channel->RelayStarts(), 1);
}

// The same bytes are expected from the 64-bit and the 32-bit relay.
TEST_F(ZentripRequests, GoldenRepliesAreTheSameFromEitherBuild) {
    EXPECT_EQ(Hex(Raw(MakeCloseKey(0x1122334455667788ull, 0x0102030405060708ull))),
              "1c0000000800000016000000887766554433221108070605040302"
              "01");
    uint64_t key = 0;
    const std::wstring root = RunKey();
    cleanup.push_back(root);
    ASSERT_EQ(calls->CreateKey(db, root, key), 0u);
    ASSERT_EQ(calls->SetValue(db, key, L"GOLD", 2, TextBytes(L"abc")), 0u);
    EXPECT_EQ(Hex(Raw(MakeQueryValue(db, key, L"GOLD", 64, 1))),
              "1e000000100000000000000002000000060000000100000061006200630"
              "0");
    EXPECT_EQ(Hex(Raw(MakeQueryValue(db, key, L"GOLD", 0, 0))),
              "180000001000000000000000020000000600000000000000");
    EXPECT_EQ(Hex(Raw(MakeSetValue(db, key, L"GOLD", 7, {1}))), "0c0000000f00000014000000");
    EXPECT_EQ(calls->CloseKey(db, key), 0u);
}
