// The wire format between this library and the product's log reader: the
// 48-byte log record and the 114-byte mailslot message that carries one
// record. The reader is another component; every size, offset and constant
// here is fixed and must not drift. All fields are little-endian.
#pragma once

#include "Garrulon.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace torva::garrulon {

inline constexpr wchar_t kMailslotName[] = L"\\\\.\\mailslot\\Garrulon";
inline constexpr wchar_t kDefaultSessionName[] = L"Default_LogFile";
inline constexpr std::size_t kMaxNameChars = TVRLOG_MAX_NAME;
inline constexpr std::size_t kNameRoomChars = kMaxNameChars + 1;
inline constexpr std::size_t kRecordDataBytes = TVRLOG_RECORD_DATA;
inline constexpr std::size_t kMaxRecords = TVRLOG_MAX_RECORDS;

inline constexpr std::uint32_t kMessageKind = 20;
inline constexpr std::uint32_t kFormatVersion = 0x00010001;

// How often and how patiently a close tries to reach the reader.
inline constexpr int kCloseOpenAttempts = 4;
inline constexpr DWORD kCloseRetryPauseMs = 100;

static_assert(sizeof(wchar_t) == 2, "session names travel as UTF-16");
static_assert(sizeof(SYSTEMTIME) == 16, "eight 16-bit time fields");
static_assert(sizeof(kDefaultSessionName) / sizeof(wchar_t) <= kNameRoomChars,
              "the default name fits the name field");

#pragma pack(push, 1)

struct LogRecord {
    SYSTEMTIME localTime;                // when the record was appended
    std::uint32_t tickCount;             // milliseconds since system start
    std::uint32_t reserved;              // zero
    std::uint8_t data[kRecordDataBytes]; // caller's bytes, zero-padded
};

struct MailslotMessage {
    std::uint32_t kind;                  // kMessageKind
    std::uint32_t processId;             // the sending process
    std::uint32_t reserved0;             // zero
    std::uint32_t formatVersion;         // kFormatVersion
    std::uint32_t reserved1;             // zero
    std::uint32_t messageSize;           // sizeof(MailslotMessage)
    wchar_t sessionName[kNameRoomChars]; // NUL-terminated, zero-padded
    LogRecord record;
};

#pragma pack(pop)

static_assert(sizeof(LogRecord) == 48, "log record size");
static_assert(offsetof(LogRecord, localTime) == 0, "record: time");
static_assert(offsetof(LogRecord, tickCount) == 16, "record: tick count");
static_assert(offsetof(LogRecord, reserved) == 20, "record: reserved");
static_assert(offsetof(LogRecord, data) == 24, "record: data");

static_assert(sizeof(MailslotMessage) == 114, "mailslot message size");
static_assert(offsetof(MailslotMessage, kind) == 0, "message: kind");
static_assert(offsetof(MailslotMessage, processId) == 4, "message: process id");
static_assert(offsetof(MailslotMessage, reserved0) == 8, "message: reserved");
static_assert(offsetof(MailslotMessage, formatVersion) == 12, "message: version");
static_assert(offsetof(MailslotMessage, reserved1) == 16, "message: reserved");
static_assert(offsetof(MailslotMessage, messageSize) == 20, "message: size");
static_assert(offsetof(MailslotMessage, sessionName) == 24, "message: session name");
static_assert(sizeof(MailslotMessage::sessionName) == 42, "message: session name room");
static_assert(offsetof(MailslotMessage, record) == 66, "message: record");

// The message that carries record for the session named name (NUL-terminated
// within kNameRoomChars) from process processId.
[[nodiscard]] MailslotMessage ComposeMessage(const wchar_t (&name)[kNameRoomChars],
                                             const LogRecord& record, DWORD processId);

} // namespace torva::garrulon
