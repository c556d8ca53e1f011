// The byte layouts Corvane writes: data sealed under the user's key, data
// sealed under a passphrase, and the user's key file. Every field is
// little-endian. Data written by one version must stay readable by every later
// one: a layout change takes a new version byte, never a changed meaning.
#pragma once

#include <windows.h>

#include <cstddef>

namespace corvane::format {

constexpr DWORD kKeySize = 32;   // AES-256
constexpr DWORD kNonceSize = 12; // GCM's native 96-bit nonce, random per message
constexpr DWORD kTagSize = 16;   // full-length GCM tag
constexpr DWORD kSaltSize = 16;

#pragma pack(push, 1)

// TvrCT_Encrypt: UserHeader, ciphertext (as long as the plain text), tag.
// The bytes before the nonce (version and reserved) are authenticated as
// associated data. The reserved byte keeps the overhead even: callers seal
// UTF-16 text and some of them store or read the result as UTF-16 text, 2
// bytes per character, which would lose the last byte of an odd length.
struct UserHeader {
    BYTE version;  // kUserVersion
    BYTE reserved; // zero
    BYTE nonce[kNonceSize];
};
constexpr BYTE kUserVersion = 2;

// The first layout, still read (never written): no reserved byte, so an odd
// overhead; only the version byte is associated data.
struct UserHeaderV1 {
    BYTE version; // kUserVersion1
    BYTE nonce[kNonceSize];
};
constexpr BYTE kUserVersion1 = 1;

// TvrCT_PassEncrypt: PassHeader, ciphertext, tag. The whole header is
// authenticated as associated data; salt and iteration count also feed the
// key, so a changed one fails as a wrong passphrase would.
struct PassHeader {
    BYTE version;
    DWORD iterations; // PBKDF2-HMAC-SHA-256 rounds
    BYTE salt[kSaltSize];
    BYTE nonce[kNonceSize];
};
constexpr BYTE kPassVersion = 1;
constexpr DWORD kDefaultIterations = 100000;
// Upper bound accepted when reading: a forged count must not keep a caller
// busy for minutes before the tag check fails.
constexpr DWORD kMaxIterations = 2000000;

// UserKey.bin: KeyFileHeader, then the DPAPI blob (user scope) that holds the
// kKeySize key bytes.
struct KeyFileHeader {
    char magic[4]; // kKeyFileMagic
    BYTE version;
    BYTE reserved[3]; // zero
};
constexpr char kKeyFileMagic[4] = {'C', 'V', 'U', 'K'};
constexpr BYTE kKeyFileVersion = 1;
// A DPAPI blob of a 32-byte secret is a few hundred bytes; anything far larger
// is not ours.
constexpr DWORD kMaxKeyFileSize = 64 * 1024;

#pragma pack(pop)

constexpr DWORD kUserOverhead = sizeof(UserHeader) + kTagSize;
constexpr DWORD kUserOverheadV1 = sizeof(UserHeaderV1) + kTagSize;
constexpr DWORD kPassOverhead = sizeof(PassHeader) + kTagSize;

static_assert(offsetof(UserHeader, nonce) == 2);
static_assert(sizeof(UserHeader) == 14);
static_assert(sizeof(UserHeaderV1) == 13);
static_assert(offsetof(PassHeader, iterations) == 1);
static_assert(offsetof(PassHeader, salt) == 5);
static_assert(offsetof(PassHeader, nonce) == 21);
static_assert(sizeof(PassHeader) == 33);
static_assert(sizeof(KeyFileHeader) == 8);
static_assert(kUserOverhead == 30 && kUserOverhead % sizeof(wchar_t) == 0);
static_assert(kUserOverheadV1 == 29);
static_assert(kPassOverhead == 49);
// The public header promises at most input + 64 bytes (hence also 2n + 64
// for n = 0, which one caller offers).
static_assert(kUserOverhead <= 64 && kPassOverhead <= 64);

} // namespace corvane::format
