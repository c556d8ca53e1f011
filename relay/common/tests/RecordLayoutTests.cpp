// The records must put the same bytes on the pipe from the 32-bit relay and
// the 64-bit add-in: these tests run in both builds against the same
// expected bytes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "RelayRecords.h"

using namespace torva::relay;

namespace {

std::string Hex(const void* data, size_t size) {
    std::string text;
    char digits[3];
    for (size_t i = 0; i < size; ++i) {
        std::snprintf(digits, sizeof digits, "%02x", static_cast<const BYTE*>(data)[i]);
        text += digits;
    }
    return text;
}

struct Layout {
    const char* record;
    size_t size;
    size_t expected;
};

} // namespace

TEST(RecordLayout, EveryRecordHasItsWireSize) {
    const Layout layouts[] = {
        {"RELAY_COMMON", sizeof(RELAY_COMMON), 8},
        {"RELAY_CRYPT", sizeof(RELAY_CRYPT), 24},
        {"RELAY_CRYPT_RESULT", sizeof(RELAY_CRYPT_RESULT), 20},
        {"RELAY_AUTH", sizeof(RELAY_AUTH), 16},
        {"RELAY_DB", sizeof(RELAY_DB), 20},
        {"RELAY_ENUMKEY", sizeof(RELAY_ENUMKEY), 2084},
        {"RELAY_KEY", sizeof(RELAY_KEY), 2076},
        {"RELAY_KEY_HANDLE", sizeof(RELAY_KEY_HANDLE), 28},
        {"RELAY_QUERYVALUE", sizeof(RELAY_QUERYVALUE), 2088},
        {"RELAY_QUERYVALUE_RESULT", sizeof(RELAY_QUERYVALUE_RESULT), 24},
        {"RELAY_SETVALUE", sizeof(RELAY_SETVALUE), 2084},
        {"RELAY_RESULT", sizeof(RELAY_RESULT), 12},
    };
    for (const Layout& layout : layouts) {
        EXPECT_EQ(layout.size, layout.expected) << layout.record;
    }
}

TEST(RecordLayout, HandleFieldsSitAtUnalignedOffsets) {
    EXPECT_EQ(offsetof(RELAY_DB, db), 12u);
    EXPECT_EQ(offsetof(RELAY_KEY, key), 20u);
    EXPECT_EQ(offsetof(RELAY_ENUMKEY, szName), 36u);
    EXPECT_EQ(offsetof(RELAY_QUERYVALUE, szName), 40u);
    EXPECT_EQ(offsetof(RELAY_SETVALUE, szName), 36u);
    EXPECT_EQ(offsetof(RELAY_QUERYVALUE_RESULT, dwWantData), 20u);
    EXPECT_EQ(offsetof(RELAY_CRYPT_RESULT, dwResult), 16u);
}

// The same bytes are expected from both builds: filled through the packed
// structs as the add-in fills them.
TEST(RecordLayout, GoldenCloseKeyRequest) {
    RELAY_KEY_HANDLE record{};
    record.hdr.dwSize = sizeof record;
    record.hdr.dwType = TYPE_TVRDB_CLOSEKEY;
    record.db = 0xFFFFFFFF80001234ull;
    record.key = 0x0000000012345678ull;
    EXPECT_EQ(Hex(&record, sizeof record),
              "1c000000080000000000000034120080ffffffff7856341200000000");
}

TEST(RecordLayout, GoldenQueryValueRequest) {
    RELAY_QUERYVALUE record{};
    record.hdr.dwSize = sizeof record;
    record.hdr.dwType = TYPE_TVRDB_QUERYVALUE;
    record.db = 0x11;
    record.key = 0x22;
    record.dwBufferSize = 512;
    record.dwWantData = 1;
    std::memcpy(record.szName, L"URL", 3 * sizeof(WCHAR));
    const std::string hex = Hex(&record, sizeof record);
    EXPECT_EQ(hex.substr(0, 92), "280800000b00000000000000110000000000000022000000000000000000"
                                 "00000002000001000000550052004c00");
    EXPECT_EQ(hex.find_first_not_of('0', 92), std::string::npos);
}

TEST(RecordLayout, GoldenCryptRequestAndReplyHeader) {
    BYTE message[sizeof(RELAY_CRYPT) + 3]{};
    RELAY_CRYPT record{};
    record.hdr.dwSize = sizeof message;
    record.hdr.dwType = TYPE_TVRCT_ENCRYPT;
    record.dwInputLength = 3;
    record.dwOutputCapacity = 76;
    std::memcpy(message, &record, sizeof record);
    std::memcpy(message + sizeof record, "abc", 3);
    EXPECT_EQ(Hex(message, sizeof message),
              "1b00000001000000030000004c0000000000000000000000616263");

    RELAY_CRYPT_RESULT reply{};
    reply.hdr.dwSize = 20 + 76;
    reply.hdr.dwType = TYPE_TVRCT_ENCRYPT_RESULT;
    reply.dwOutputCapacity = 76;
    reply.dwOutputLength = 31;
    reply.dwResult = 0;
    EXPECT_EQ(Hex(&reply, sizeof reply), "60000000120000004c0000001f00000000000000");
}

TEST(RecordLayout, HandlesRoundTripAndSignExtendInThirtyTwoBits) {
    void* handle = reinterpret_cast<void*>(static_cast<uintptr_t>(0x80001234u));
    const uint64_t wire = HandleToWire(handle);
    EXPECT_EQ(HandleFromWire<void*>(wire), handle);
    if (sizeof(void*) == 4) {
        EXPECT_EQ(wire, 0xFFFFFFFF80001234ull);
        // The add-in hands back what it got; the low 32 bits are the handle.
        EXPECT_EQ(HandleFromWire<void*>(0x0000000080001234ull), handle);
    } else {
        EXPECT_EQ(wire, 0x0000000080001234ull);
    }
}

TEST(RecordLayout, FieldHelpersAreLittleEndianAndUnaligned) {
    BYTE bytes[16]{};
    Store64(bytes, 3, 0x0102030405060708ull);
    Store32(bytes, 11, 0xA0B0C0D0u);
    EXPECT_EQ(Hex(bytes, sizeof bytes), "0000000807060504030201d0c0b0a000");
    EXPECT_EQ(Load64(bytes, 3), 0x0102030405060708ull);
    EXPECT_EQ(Load32(bytes, 11), 0xA0B0C0D0u);
}
