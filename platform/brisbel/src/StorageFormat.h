// The on-disk format of a Brisbel database, in one place.
//
// A database NAME in folder F lives in generation files
// "F\NAME.<generation as 8 hex digits>.tvdb". Each file is a FileHeader
// followed by an append-only log of records; replaying the log of the
// highest sealed generation from the start rebuilds the whole database.
// Compaction writes the live state into generation + 1, seals it, and only
// then marks the old file superseded (see GenerationSet and LogStore).
//
// All integers are little-endian (the library runs on x86 and x64 only).
#pragma once

#include "Brisbel.h"

#include <cstddef>
#include <cstdint>

namespace brisbel::format {

constexpr wchar_t kFileExtension[] = L".tvdb";
constexpr size_t kGenerationDigits = 8;

constexpr uint32_t kFileMagic = 0x42445654; // "TVDB"
constexpr uint32_t kFileVersion = 1;

// FileHeader::flags
constexpr uint32_t kFlagSealed = 1;     // complete: a reader may open this generation
constexpr uint32_t kFlagSuperseded = 2; // a later sealed generation exists: holders reopen
constexpr uint32_t kKnownFlags = kFlagSealed | kFlagSuperseded;

#pragma pack(push, 1)
struct FileHeader {
    uint32_t magic;
    uint32_t version;
    uint32_t generation; // equals the generation in the file name
    uint32_t flags;
    uint32_t reserved[3]; // zero
    uint32_t crc;         // crc32 of the 28 bytes before it
};

struct RecordHeader {
    uint32_t crc;        // crc32 of everything after this field: length, kind, reserved, payload
    uint32_t length;     // payload bytes that follow the header
    uint8_t kind;        // RecordKind
    uint8_t reserved[3]; // zero
};
#pragma pack(pop)

static_assert(sizeof(FileHeader) == 32, "file header layout");
static_assert(offsetof(FileHeader, crc) == 28, "file header crc is last");
static_assert(sizeof(RecordHeader) == 12, "record header layout");
static_assert(offsetof(RecordHeader, length) == 4, "record length follows the crc");
static_assert(offsetof(RecordHeader, kind) == 8, "record kind follows the length");

// Payloads. A string is a uint16 count of UTF-16 units followed by the units
// (no terminator); a key path joins its components with '\'.
//   kCreateKey   path
//   kDeleteKey   path                      (the key and everything below it)
//   kSetValue    path, name, uint32 type, uint32 size, size bytes
//   kDeleteValue path, name
enum RecordKind : uint8_t {
    kCreateKey = 1,
    kDeleteKey = 2,
    kSetValue = 3,
    kDeleteValue = 4,
};

constexpr size_t kStringPrefixSize = sizeof(uint16_t);
constexpr size_t kMaxStringBytes = kStringPrefixSize + TVRDB_MAX_NAME * sizeof(wchar_t);
// The largest payload a writer produces; a header announcing more is damage.
constexpr uint32_t kMaxPayload =
    static_cast<uint32_t>(2 * kMaxStringBytes + 2 * sizeof(uint32_t)) + TVRDB_MAX_VALUE_SIZE;

static_assert(sizeof(wchar_t) == 2, "strings are stored as UTF-16 units");
static_assert(TVRDB_MAX_NAME <= 0xFFFF, "string lengths are stored in 16 bits");

} // namespace brisbel::format
