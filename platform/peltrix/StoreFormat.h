// Layout of the stand-in's settings under its HKCU key (the settings root).
//
//   <root>
//     PinRecord        REG_BINARY  PinRecord below; absent = no PIN set
//     Secrets (sub key)
//       AuthRule         REG_BINARY  the authentication rule bytes
//       Secret<k>_<i>    REG_BINARY  device secret of kind k (1-4), index i (from 1)
//       PINCacheTime     REG_DWORD   the PIN cache time
//
// The PIN itself is never stored: only its salted PBKDF2-SHA-256 hash. The
// record lives below HKCU like every setting of this stand-in, so a program
// of the user that rewrites it sets a PIN of its own; only a store that a
// privileged service alone may write would close that.
// Older builds read "AutoAnswer<case>" values under the root as answers given
// in advance; such values are left where they are and never read.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace peltrix {

constexpr wchar_t kProductSettingsRoot[] = L"Software\\Kobel\\Peltrix";

constexpr wchar_t kPinRecordValue[] = L"PinRecord";
constexpr wchar_t kSecretsKey[] = L"Secrets";
constexpr wchar_t kAuthRuleValue[] = L"AuthRule";
constexpr wchar_t kSecretPrefix[] = L"Secret";
constexpr wchar_t kPinCacheTimeValue[] = L"PINCacheTime";

constexpr DWORD kFirstDeviceKind = 1;
constexpr DWORD kLastDeviceKind = 4;

constexpr std::size_t kSaltBytes = 16;
constexpr std::size_t kHashBytes = 32;
constexpr std::uint32_t kPinRecordMagic = 0x4E495050; // "PPIN" little-endian
constexpr std::uint32_t kPinRecordVersion = 1;
// One check costs a guesser about 0.2 s of CPU per PIN on a current x64 core
// while the user waits no longer than that; the count is stored in each
// record, so raising it later leaves older records readable.
constexpr std::uint32_t kDefaultIterations = 100000;
// Records with fewer rounds are treated as damaged rather than trusted.
constexpr std::uint32_t kMinIterations = 1000;
constexpr std::uint32_t kMaxIterations = 10000000;

constexpr std::size_t kMaxPinChars = 64;

#pragma pack(push, 1)
struct PinRecord {
    std::uint32_t magic;
    std::uint32_t version;
    std::uint32_t iterations;
    std::uint8_t salt[kSaltBytes];
    std::uint8_t hash[kHashBytes];
};
#pragma pack(pop)
static_assert(sizeof(PinRecord) == 60, "PinRecord is stored as is; its size is fixed");
static_assert(offsetof(PinRecord, salt) == 12, "PinRecord layout is fixed");
static_assert(offsetof(PinRecord, hash) == 28, "PinRecord layout is fixed");

} // namespace peltrix
