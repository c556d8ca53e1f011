// The log file's on-disk format and the library's fixed settings: file and
// folder names, the line layout, the limits, and the registry values read.
// Log files are read by people and by support tools, so these values must not
// drift.
#pragma once

#include <windows.h>

#include <cstddef>

namespace torva::fenwix {

// File names: "FENWIX_" [user "_"] yyyymmdd "_" module ".log".
inline constexpr wchar_t kFilePrefix[] = L"FENWIX";
inline constexpr wchar_t kFileExtension[] = L".log";
// Replaces module + ".log" when no module base name can be taken.
inline constexpr wchar_t kFallbackModuleFile[] = L"TORVA.log";
inline constexpr std::size_t kDateChars = 8; // yyyymmdd
// A sweep reads a date only when at least this many characters follow the
// prefix: the date and the underscore before the module.
inline constexpr std::size_t kMinDatePartChars = kDateChars + 1;

// Folders. The fallback is "<Windows drive>\TorvaLog\".
inline constexpr wchar_t kFallbackFolderName[] = L"TorvaLog";
inline constexpr wchar_t kDefaultDrive[] = L"C:";
// FOLDERID_LocalAppDataLow: writable by low-integrity browser processes too.
inline constexpr GUID kLocalAppDataLow = {
    0xA520A1A4, 0x1780, 0x4FF6, {0xBD, 0x18, 0x16, 0x73, 0x43, 0xC5, 0xAF, 0x16}};

// Line: "[yyyy/mm/dd, hh:mm:ss, tttttttt] " + " <source>:<line, 5 wide>:: <message>",
// cut to kMaxLineChars and ended by CR LF in code page 932.
inline constexpr wchar_t kTimeStampFormat[] = L"[%04d/%02d/%02d, %02d:%02d:%02d, %08d] ";
inline constexpr wchar_t kBodyFormat[] = L" %s:%5d:: %s";
// Width while the tick count is positive (a negative one adds three).
inline constexpr std::size_t kTimeStampChars = 33;
static_assert(sizeof(L"[2009/01/31, 12:34:56, 00001234] ") / sizeof(wchar_t) - 1 == kTimeStampChars,
              "time stamp width");
inline constexpr std::size_t kMaxMessageChars = 1023;
inline constexpr std::size_t kMaxLineChars = 1023;
static_assert(kMaxLineChars > kTimeStampChars + 3, "a line always keeps its time stamp");
inline constexpr char kLineEnd[] = "\r\n";
inline constexpr UINT kLogCodePage = 932;

// Longest lock event name (characters, without terminator).
inline constexpr std::size_t kMaxLockNameChars = 63;

// Per-process lock: "Global\" "FENWIX" <process id>.
inline constexpr wchar_t kLockNameFormat[] = L"Global\\%s%d";
inline constexpr DWORD kLockTimeoutMs = 10000;

// Registry: HKLM, 32-bit view, DWORD values.
inline constexpr wchar_t kSettingsKey[] = L"SOFTWARE\\Kobel\\TORVA";
inline constexpr wchar_t kLogLevelValue[] = L"LogLevel";
inline constexpr wchar_t kDeleteOldDaysValue[] = L"LogDeleteOldDays";
inline constexpr DWORD kMaxLogLevel = 3;
inline constexpr DWORD kMaxDeleteOldDays = 89;
inline constexpr DWORD kDefaultDeleteOldDays = 30;
// The sweep after a date roll-over does not read the registry again.
inline constexpr DWORD kRollOverDeleteOldDays = 30;

// Naming modes.
inline constexpr int kModeUnset = 0;
inline constexpr int kModePerUser = 1;
inline constexpr int kModePlain = 2;

// Sweep outcome when nothing matched the pattern (or the user is unknown).
inline constexpr int kSweepNothingFound = -1;

} // namespace torva::fenwix
