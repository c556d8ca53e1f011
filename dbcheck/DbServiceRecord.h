// The records exchanged with the database service over its pipe. A request
// and its reply have the same layout and size; integers are little-endian,
// text is UTF-16, bytes not named here are zero.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ostravo {

// Request codes.
constexpr uint32_t DBSVC_CHECK_USERDB = 13; // state of the calling user's database
constexpr uint32_t DBSVC_CHECK_DB = 14;     // state of a named database in a folder
constexpr uint32_t DBSVC_INIT_USERDB = 15;  // initialise the calling user's database
constexpr uint32_t DBSVC_INIT_DB = 16;      // initialise a named database in a folder

// Status in a reply: 0 is done; everything else is the service's failure.
constexpr uint32_t DBSVC_STATUS_DONE = 0;
// The client's own result when no reply was had (no pipe, a write or read
// that failed, a reply that did not fit the request); no service sends it.
constexpr uint32_t DBSVC_RESULT_NO_ANSWER = 3;
// State in a check's reply: 0 intact, anything else damaged.
constexpr uint32_t DBSVC_STATE_INTACT = 0;

// Characters of the folder and name fields, terminator included.
constexpr size_t kDbsvcTextChars = 512;

#pragma pack(push, 1)
struct DbsvcHeader {
    uint32_t processId; // the client's; the service identifies the caller from the pipe
    uint32_t code;
    uint32_t status;   // 0 in a request
    uint32_t dataSize; // bytes after the header
};

// Codes 13 and 15.
struct DbsvcUserRecord {
    DbsvcHeader header;
    uint32_t state; // 13: the state in the reply; 15: 0
};

// Codes 14 and 16.
struct DbsvcNamedRecord {
    DbsvcHeader header;
    char16_t folder[kDbsvcTextChars]; // NUL-terminated
    char16_t name[kDbsvcTextChars];   // NUL-terminated
    uint32_t state;                   // 14: the state in the reply; 16: 0
};
#pragma pack(pop)

static_assert(sizeof(DbsvcHeader) == 16, "record header");
static_assert(sizeof(DbsvcUserRecord) == 20, "record of codes 13 and 15");
static_assert(sizeof(DbsvcNamedRecord) == 2068, "record of codes 14 and 16");
static_assert(offsetof(DbsvcNamedRecord, folder) == 16, "folder field");
static_assert(offsetof(DbsvcNamedRecord, name) == 1040, "name field");
static_assert(offsetof(DbsvcNamedRecord, state) == 2064, "state field");

// The record size of a request code, 0 for a code that is none.
constexpr size_t DbsvcRecordSize(uint32_t code) noexcept {
    return code == DBSVC_CHECK_USERDB || code == DBSVC_INIT_USERDB ? sizeof(DbsvcUserRecord)
           : code == DBSVC_CHECK_DB || code == DBSVC_INIT_DB       ? sizeof(DbsvcNamedRecord)
                                                                   : 0;
}

// The larger record: a buffer of this size holds either.
constexpr size_t kDbsvcMaxRecord = sizeof(DbsvcNamedRecord);

} // namespace ostravo
