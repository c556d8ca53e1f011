// Wire format of the relay pipe: the message header, every request and reply
// record and their type codes. The 64-bit add-in and the 32-bit relay must
// put the same bytes on the pipe, so every record is packed (the 64-bit
// handle fields sit at offsets that are not multiples of 8) and every size
// and offset is checked at compile time in both builds.
//
// Code that moves these records reads and writes fields through the Load/Store
// helpers at the kOff* offsets rather than through member access, so that no
// unaligned pointer to a packed member is ever formed.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

// Request types.
#define TYPE_TVRCT_ENCRYPT 1
#define TYPE_TVRCT_DECRYPT 2
#define TYPE_TVRAUTH_AUTHENTICATEUSER 3
#define TYPE_TVRDB_OPENDB 4
#define TYPE_TVRDB_CLOSEDB 5
#define TYPE_TVRDB_ENUMKEY 6
#define TYPE_TVRDB_OPENKEY 7
#define TYPE_TVRDB_CLOSEKEY 8
#define TYPE_TVRDB_CREATEKEY 9
#define TYPE_TVRDB_DELETEKEY 10
#define TYPE_TVRDB_QUERYVALUE 11
#define TYPE_TVRDB_SETVALUE 12
#define TYPE_TVRDB_DELETEVALUE 13
#define TYPE_END 127
// Reply types; replies to types 3 to 10 and 13 carry the request's own type.
#define TYPE_TVRDB_SETVALUE_RESULT 15
#define TYPE_TVRDB_QUERYVALUE_RESULT 16
#define TYPE_TVRCT_ENCRYPT_RESULT 18
#define TYPE_TVRCT_DECRYPT_RESULT 19
#define TYPE_ERROR 255

// Name fields hold this many UTF-16 code units, the last always NUL.
#define RELAY_NAME_LENGTH 1024

namespace torva::relay {

// A header announcing more than this is refused before anything is
// allocated. It leaves room for the largest database value (4 MiB) and for
// crypto buffers of the sizes the add-in asks for, with the record around them.
constexpr uint32_t kMaxMessageSize = 8u * 1024u * 1024u;
// Every message starts with the 8-byte header; nothing shorter is a message.
constexpr uint32_t kMinMessageSize = 8;

} // namespace torva::relay

#pragma pack(push, 1)

struct RELAY_COMMON {
    uint32_t dwSize; // whole message in bytes, header included
    uint32_t dwType;
};

// Types 1 and 2; the n input bytes follow the record.
struct RELAY_CRYPT {
    RELAY_COMMON hdr;
    uint32_t dwInputLength;    // n, never 0
    uint32_t dwOutputCapacity; // c, the caller's output buffer
    uint32_t dwOutputLength;   // sent 0
    uint32_t dwReserved;       // sent 0
};

// Types 18 and 19; the whole c-byte output buffer follows the record.
struct RELAY_CRYPT_RESULT {
    RELAY_COMMON hdr;
    uint32_t dwOutputCapacity; // c as requested
    uint32_t dwOutputLength;   // what the library reported
    uint32_t dwResult;
};

// Type 3, request and reply.
struct RELAY_AUTH {
    RELAY_COMMON hdr;
    uint32_t dwResult;
    uint32_t dwAuthCase;
};

// Types 4 and 5, request and reply.
struct RELAY_DB {
    RELAY_COMMON hdr;
    uint32_t dwResult;
    uint64_t db;
};

// Type 6, request and reply.
struct RELAY_ENUMKEY {
    RELAY_COMMON hdr;
    uint32_t dwResult;
    uint64_t db;
    uint64_t key;
    uint32_t dwIndex;
    uint32_t dwNameLength;
    WCHAR szName[RELAY_NAME_LENGTH];
};

// Types 7, 9 (full key path), 10 (sub key to delete) and 13 (value to delete).
struct RELAY_KEY {
    RELAY_COMMON hdr;
    uint32_t dwResult;
    uint64_t db;
    uint64_t key;
    WCHAR szName[RELAY_NAME_LENGTH];
};

// Type 8, request and reply.
struct RELAY_KEY_HANDLE {
    RELAY_COMMON hdr;
    uint32_t dwResult;
    uint64_t db;
    uint64_t key;
};

// Type 11 request.
struct RELAY_QUERYVALUE {
    RELAY_COMMON hdr;
    uint32_t dwResult;
    uint64_t db;
    uint64_t key;
    uint32_t dwValueType;
    uint32_t dwBufferSize;
    uint32_t dwWantData; // 1 when the caller gives a buffer
    WCHAR szName[RELAY_NAME_LENGTH];
};

// Type 16 reply; d data bytes follow when the flag is 1 and d is not 0.
struct RELAY_QUERYVALUE_RESULT {
    RELAY_COMMON hdr;
    uint32_t dwResult;
    uint32_t dwValueType;
    uint32_t dwDataSize;
    uint32_t dwWantData;
};

// Type 12 request; d data bytes follow the record.
struct RELAY_SETVALUE {
    RELAY_COMMON hdr;
    uint32_t dwResult;
    uint64_t db;
    uint64_t key;
    uint32_t dwValueType;
    uint32_t dwDataSize;
    WCHAR szName[RELAY_NAME_LENGTH];
};

// Type 15 reply.
struct RELAY_RESULT {
    RELAY_COMMON hdr;
    uint32_t dwResult;
};

#pragma pack(pop)

namespace torva::relay {

// Field offsets shared by several records.
constexpr size_t kOffSize = 0;
constexpr size_t kOffType = 4;
constexpr size_t kOffResult = 8; // every record but the crypt ones
constexpr size_t kOffDb = 12;
constexpr size_t kOffKey = 20;

static_assert(sizeof(WCHAR) == 2, "names travel as UTF-16 code units");
static_assert(sizeof(RELAY_COMMON) == 8);
static_assert(offsetof(RELAY_COMMON, dwSize) == kOffSize);
static_assert(offsetof(RELAY_COMMON, dwType) == kOffType);

static_assert(sizeof(RELAY_CRYPT) == 24);
static_assert(offsetof(RELAY_CRYPT, dwInputLength) == 8);
static_assert(offsetof(RELAY_CRYPT, dwOutputCapacity) == 12);
static_assert(offsetof(RELAY_CRYPT, dwOutputLength) == 16);
static_assert(offsetof(RELAY_CRYPT, dwReserved) == 20);

static_assert(sizeof(RELAY_CRYPT_RESULT) == 20);
static_assert(offsetof(RELAY_CRYPT_RESULT, dwOutputCapacity) == 8);
static_assert(offsetof(RELAY_CRYPT_RESULT, dwOutputLength) == 12);
static_assert(offsetof(RELAY_CRYPT_RESULT, dwResult) == 16);

static_assert(sizeof(RELAY_AUTH) == 16);
static_assert(offsetof(RELAY_AUTH, dwResult) == kOffResult);
static_assert(offsetof(RELAY_AUTH, dwAuthCase) == 12);

static_assert(sizeof(RELAY_DB) == 20);
static_assert(offsetof(RELAY_DB, dwResult) == kOffResult);
static_assert(offsetof(RELAY_DB, db) == kOffDb);

static_assert(sizeof(RELAY_ENUMKEY) == 2084);
static_assert(offsetof(RELAY_ENUMKEY, db) == kOffDb);
static_assert(offsetof(RELAY_ENUMKEY, key) == kOffKey);
static_assert(offsetof(RELAY_ENUMKEY, dwIndex) == 28);
static_assert(offsetof(RELAY_ENUMKEY, dwNameLength) == 32);
static_assert(offsetof(RELAY_ENUMKEY, szName) == 36);

static_assert(sizeof(RELAY_KEY) == 2076);
static_assert(offsetof(RELAY_KEY, dwResult) == kOffResult);
static_assert(offsetof(RELAY_KEY, db) == kOffDb);
static_assert(offsetof(RELAY_KEY, key) == kOffKey);
static_assert(offsetof(RELAY_KEY, szName) == 28);

static_assert(sizeof(RELAY_KEY_HANDLE) == 28);
static_assert(offsetof(RELAY_KEY_HANDLE, db) == kOffDb);
static_assert(offsetof(RELAY_KEY_HANDLE, key) == kOffKey);

static_assert(sizeof(RELAY_QUERYVALUE) == 2088);
static_assert(offsetof(RELAY_QUERYVALUE, db) == kOffDb);
static_assert(offsetof(RELAY_QUERYVALUE, key) == kOffKey);
static_assert(offsetof(RELAY_QUERYVALUE, dwValueType) == 28);
static_assert(offsetof(RELAY_QUERYVALUE, dwBufferSize) == 32);
static_assert(offsetof(RELAY_QUERYVALUE, dwWantData) == 36);
static_assert(offsetof(RELAY_QUERYVALUE, szName) == 40);

static_assert(sizeof(RELAY_QUERYVALUE_RESULT) == 24);
static_assert(offsetof(RELAY_QUERYVALUE_RESULT, dwResult) == kOffResult);
static_assert(offsetof(RELAY_QUERYVALUE_RESULT, dwValueType) == 12);
static_assert(offsetof(RELAY_QUERYVALUE_RESULT, dwDataSize) == 16);
static_assert(offsetof(RELAY_QUERYVALUE_RESULT, dwWantData) == 20);

static_assert(sizeof(RELAY_SETVALUE) == 2084);
static_assert(offsetof(RELAY_SETVALUE, db) == kOffDb);
static_assert(offsetof(RELAY_SETVALUE, key) == kOffKey);
static_assert(offsetof(RELAY_SETVALUE, dwValueType) == 28);
static_assert(offsetof(RELAY_SETVALUE, dwDataSize) == 32);
static_assert(offsetof(RELAY_SETVALUE, szName) == 36);

static_assert(sizeof(RELAY_RESULT) == 12);
static_assert(offsetof(RELAY_RESULT, dwResult) == kOffResult);

// Little-endian field access; the targets are x86 and x64 only.
inline uint32_t Load32(const void* base, size_t offset) noexcept {
    uint32_t v;
    std::memcpy(&v, static_cast<const BYTE*>(base) + offset, sizeof v);
    return v;
}
inline uint64_t Load64(const void* base, size_t offset) noexcept {
    uint64_t v;
    std::memcpy(&v, static_cast<const BYTE*>(base) + offset, sizeof v);
    return v;
}
inline void Store32(void* base, size_t offset, uint32_t v) noexcept {
    std::memcpy(static_cast<BYTE*>(base) + offset, &v, sizeof v);
}
inline void Store64(void* base, size_t offset, uint64_t v) noexcept {
    std::memcpy(static_cast<BYTE*>(base) + offset, &v, sizeof v);
}

// Handles cross the pipe as 64-bit fields: a 32-bit process stores its
// pointer-sized handle sign-extended and reads back the low 32 bits.
template <typename H> uint64_t HandleToWire(H handle) noexcept {
    return static_cast<uint64_t>(static_cast<int64_t>(reinterpret_cast<intptr_t>(handle)));
}
template <typename H> H HandleFromWire(uint64_t wire) noexcept {
    return reinterpret_cast<H>(static_cast<intptr_t>(static_cast<int64_t>(wire)));
}

} // namespace torva::relay
