#include "RecordHandlers.h"

#include "RelayRecords.h"
#include "ZentripTrace.h"

namespace torva::relay {
namespace {

// A name field is the caller's: whatever it holds, the library must see a
// terminated string that ends inside the field.
WCHAR* TerminatedName(BYTE* record, size_t offset) noexcept {
    WCHAR* name = reinterpret_cast<WCHAR*>(record + offset);
    name[RELAY_NAME_LENGTH - 1] = L'\0';
    return name;
}

TVRDB_HDB Db(const BYTE* record) noexcept {
    return HandleFromWire<TVRDB_HDB>(Load64(record, kOffDb));
}
TVRDB_HKEY Key(const BYTE* record) noexcept {
    return HandleFromWire<TVRDB_HKEY>(Load64(record, kOffKey));
}

// Runs the library call of `type` on the record in place. False when the
// table lacks the function.
bool Call(const RelayLibraries& lib, uint32_t type, BYTE* record) {
    DWORD result = 0;
    switch (type) {
    case TYPE_TVRAUTH_AUTHENTICATEUSER: {
        ZT_TRACE_PROGRESS(L"case TYPE_TVRAUTH_AUTHENTICATEUSER");
        ZT_TRACE_PROGRESS(L"[Zentrip]TYPE_TVRAUTH_AUTHENTICATEUSER\n");
        if (!lib.AuthenticateUser) return false;
        result = lib.AuthenticateUser(
            static_cast<eAuthCase>(Load32(record, offsetof(RELAY_AUTH, dwAuthCase))));
        break;
    }
    case TYPE_TVRDB_OPENDB: {
        ZT_TRACE_PROGRESS(L"[Zentrip]TYPE_TVRDB_OPENDB\n");
        if (!lib.OpenDB) return false;
        TVRDB_HDB db = nullptr;
        result = lib.OpenDB(&db);
        Store64(record, kOffDb, HandleToWire(db));
        break;
    }
    case TYPE_TVRDB_CLOSEDB:
        ZT_TRACE_PROGRESS(L"[Zentrip]TYPE_TVRDB_CLOSEDB\n");
        if (!lib.CloseDB) return false;
        result = lib.CloseDB(Db(record));
        break;
    case TYPE_TVRDB_ENUMKEY: {
        ZT_TRACE_PROGRESS(L"[Zentrip]TYPE_TVRDB_ENUMKEY\n");
        if (!lib.EnumKey) return false;
        WCHAR* name = TerminatedName(record, offsetof(RELAY_ENUMKEY, szName));
        DWORD length = Load32(record, offsetof(RELAY_ENUMKEY, dwNameLength));
        result = lib.EnumKey(Db(record), Key(record),
                             Load32(record, offsetof(RELAY_ENUMKEY, dwIndex)), name, &length);
        // The library wrote into the field; it still ends inside it.
        name[RELAY_NAME_LENGTH - 1] = L'\0';
        Store32(record, offsetof(RELAY_ENUMKEY, dwNameLength), length);
        break;
    }
    case TYPE_TVRDB_OPENKEY:
    case TYPE_TVRDB_CREATEKEY: {
        ZT_TRACE_PROGRESS(type == TYPE_TVRDB_OPENKEY ? L"[Zentrip]TYPE_TVRDB_OPENKEY\n"
                                                     : L"[Zentrip]TYPE_TVRDB_CREATEKEY\n");
        auto* call = type == TYPE_TVRDB_OPENKEY ? lib.OpenKey : lib.CreateKey;
        if (!call) return false;
        TVRDB_HKEY key = nullptr;
        result = call(Db(record), TerminatedName(record, offsetof(RELAY_KEY, szName)), &key);
        Store64(record, kOffKey, HandleToWire(key));
        break;
    }
    case TYPE_TVRDB_CLOSEKEY:
        ZT_TRACE_PROGRESS(L"[Zentrip]TYPE_TVRDB_CLOSEKEY\n");
        if (!lib.CloseKey) return false;
        result = lib.CloseKey(Db(record), Key(record));
        break;
    case TYPE_TVRDB_DELETEKEY:
        ZT_TRACE_PROGRESS(L"[Zentrip]TYPE_TVRDB_DELETEKEY\n");
        if (!lib.DeleteKey) return false;
        result = lib.DeleteKey(Db(record), Key(record),
                               TerminatedName(record, offsetof(RELAY_KEY, szName)));
        break;
    case TYPE_TVRDB_DELETEVALUE:
        ZT_TRACE_PROGRESS(L"[Zentrip]TYPE_TVRDB_DELETEVALUE\n");
        if (!lib.DeleteValue) return false;
        result = lib.DeleteValue(Db(record), Key(record),
                                 TerminatedName(record, offsetof(RELAY_KEY, szName)));
        break;
    default:
        return false;
    }
    Store32(record, kOffResult, result);
    return true;
}

} // namespace

uint32_t FixedRecordSize(uint32_t type) noexcept {
    switch (type) {
    case TYPE_TVRAUTH_AUTHENTICATEUSER:
        return sizeof(RELAY_AUTH);
    case TYPE_TVRDB_OPENDB:
    case TYPE_TVRDB_CLOSEDB:
        return sizeof(RELAY_DB);
    case TYPE_TVRDB_ENUMKEY:
        return sizeof(RELAY_ENUMKEY);
    case TYPE_TVRDB_OPENKEY:
    case TYPE_TVRDB_CREATEKEY:
    case TYPE_TVRDB_DELETEKEY:
    case TYPE_TVRDB_DELETEVALUE:
        return sizeof(RELAY_KEY);
    case TYPE_TVRDB_CLOSEKEY:
        return sizeof(RELAY_KEY_HANDLE);
    default:
        return 0;
    }
}

bool AnswerFixedRecord(const RelayLibraries& libraries, uint32_t type, BYTE* request, DWORD size,
                       Reply& reply) {
    const uint32_t recordSize = FixedRecordSize(type);
    if (recordSize == 0 || size < recordSize) return false; // a truncated record
    if (!Call(libraries, type, request)) return false;
    Store32(request, kOffSize, recordSize);
    Store32(request, kOffType, type);
    reply.assign(request, request + recordSize);
    return true;
}

} // namespace torva::relay
