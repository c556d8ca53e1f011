#include "CExpData.h"

#include "RelayRecords.h"
#include "RelayState.h"
#include "TraceScope.h"

#include <algorithm>
#include <cstring>

using namespace torva::relay;

namespace {

constexpr DWORD kLockWait = 30000;
constexpr DWORD kDatabaseReplyWait = 30000;
constexpr size_t kNameChars = RELAY_NAME_LENGTH - 1;

template <typename Record> std::vector<BYTE> NewRecord(uint32_t type, size_t extra = 0) {
    std::vector<BYTE> bytes(sizeof(Record) + extra, 0);
    Store32(bytes.data(), kOffSize, static_cast<uint32_t>(bytes.size()));
    Store32(bytes.data(), kOffType, type);
    return bytes;
}

void StoreName(std::vector<BYTE>& bytes, size_t offset, const wchar_t* name) {
    const size_t chars = std::min(std::wcslen(name), kNameChars);
    std::memcpy(bytes.data() + offset, name, chars * sizeof(wchar_t));
}

bool IsReply(const std::vector<BYTE>& reply, uint32_t type, size_t size) {
    return reply.size() == size && Load32(reply.data(), kOffType) == type;
}

// A new cell holding the relay's handle, or null when none could be had.
ZentripCell* NewCell(uint64_t handle) {
    auto* cell = static_cast<ZentripCell*>(::CoTaskMemAlloc(sizeof(ZentripCell)));
    if (cell) *cell = handle;
    return cell;
}

void FreeCell(ZentripCell** cell) noexcept {
    ::CoTaskMemFree(*cell);
    *cell = nullptr;
}

} // namespace

CExpData::CExpData(bool counted) : m_counted(counted) {
    RelayState& state = RelayState::Instance();
    const bool first = m_counted && state.AddStore();
    (void)ExecIERelay(0);
    // The first store of the process loads the URL list for all of them.
    if (first) (void)SetURLData(URL_RENEW);
    m_nBrowserEnabled = 1;
}

CExpData::~CExpData() {
    if (!m_counted) return;
    if (RelayState::Instance().RemoveStore()) RelayState::Instance().EndRelay();
}

HANDLE CExpData::GetSem() {
    return RelayState::Instance().TakeRequestLock(kLockWait);
}

void CExpData::PutSem(HANDLE& lock) {
    RelayState::Instance().ReleaseRequestLock(lock);
}

BOOL CExpData::ExecIERelay(int renew) {
    TORVA_TRACE_SCOPE(L"CExpData::ExecIERelay");
    RelayState& state = RelayState::Instance();
    // Starting is serialised with the exchanges: take the lock unless this
    // thread already holds it for the request that called.
    if (state.ThisThreadHoldsLock()) TORVA_RETURN_BOOL(state.EnsureRelay(renew));
    HANDLE lock = GetSem();
    if (!lock) TORVA_RETURN_BOOL(FALSE);
    const BOOL started = state.EnsureRelay(renew);
    PutSem(lock);
    TORVA_RETURN_BOOL(started);
}

bool CExpData::Request(const std::vector<BYTE>& request, DWORD replyWait,
                       std::vector<BYTE>& reply) {
    HANDLE lock = GetSem();
    if (!lock) return false;
    RelayState& state = RelayState::Instance();
    const bool done = state.EnsureRelay(1) && state.Exchange(request, replyWait, reply);
    PutSem(lock);
    return done;
}

DWORD CExpData::Zentrip_OpenDB(ZentripCell** db) {
    TORVA_TRACE_SCOPE(L"CExpData::Zentrip_OpenDB");
    if (!db) TORVA_RETURN_INT(kZentripFailure);
    *db = nullptr;
    std::vector<BYTE> reply;
    if (!Request(NewRecord<RELAY_DB>(TYPE_TVRDB_OPENDB), kDatabaseReplyWait, reply) ||
        !IsReply(reply, TYPE_TVRDB_OPENDB, sizeof(RELAY_DB))) {
        TORVA_RETURN_INT(kZentripFailure);
    }
    const DWORD result = Load32(reply.data(), kOffResult);
    if (result != 0) TORVA_RETURN_INT(result);
    *db = NewCell(Load64(reply.data(), kOffDb));
    TORVA_RETURN_INT(*db ? result : kZentripFailure);
}

DWORD CExpData::Zentrip_CloseDB(ZentripCell** db) {
    TORVA_TRACE_SCOPE(L"CExpData::Zentrip_CloseDB");
    if (!db || !*db) TORVA_RETURN_INT(kZentripFailure);
    std::vector<BYTE> request = NewRecord<RELAY_DB>(TYPE_TVRDB_CLOSEDB);
    Store64(request.data(), kOffDb, **db);
    FreeCell(db);
    std::vector<BYTE> reply;
    if (!Request(request, kDatabaseReplyWait, reply) ||
        !IsReply(reply, TYPE_TVRDB_CLOSEDB, sizeof(RELAY_DB))) {
        TORVA_RETURN_INT(kZentripFailure);
    }
    TORVA_RETURN_INT(Load32(reply.data(), kOffResult));
}

DWORD CExpData::Zentrip_EnumKey(const ZentripCell* db, const ZentripCell* key, DWORD index,
                                wchar_t* name, DWORD capacity, DWORD* length) {
    TORVA_TRACE_SCOPE(L"CExpData::Zentrip_EnumKey");
    if (!db || !key || !name || capacity == 0 || !length) TORVA_RETURN_INT(kZentripFailure);
    std::vector<BYTE> request = NewRecord<RELAY_ENUMKEY>(TYPE_TVRDB_ENUMKEY);
    Store64(request.data(), kOffDb, *db);
    Store64(request.data(), kOffKey, *key);
    Store32(request.data(), offsetof(RELAY_ENUMKEY, dwIndex), index);
    std::vector<BYTE> reply;
    if (!Request(request, kDatabaseReplyWait, reply) ||
        !IsReply(reply, TYPE_TVRDB_ENUMKEY, sizeof(RELAY_ENUMKEY))) {
        TORVA_RETURN_INT(kZentripFailure);
    }
    const auto* replyName =
        reinterpret_cast<const wchar_t*>(reply.data() + offsetof(RELAY_ENUMKEY, szName));
    size_t chars = 0;
    while (chars < RELAY_NAME_LENGTH && chars + 1 < capacity && replyName[chars])
        ++chars;
    std::memcpy(name, replyName, chars * sizeof(wchar_t));
    name[chars] = L'\0';
    *length = Load32(reply.data(), offsetof(RELAY_ENUMKEY, dwNameLength));
    TORVA_RETURN_INT(Load32(reply.data(), kOffResult));
}

DWORD CExpData::KeyCall(uint32_t type, const ZentripCell* db, const wchar_t* path,
                        ZentripCell** key) {
    if (!key) return kZentripFailure;
    *key = nullptr;
    if (!db || !path) return kZentripFailure;
    std::vector<BYTE> request = NewRecord<RELAY_KEY>(type);
    Store64(request.data(), kOffDb, *db);
    StoreName(request, offsetof(RELAY_KEY, szName), path);
    std::vector<BYTE> reply;
    if (!Request(request, kDatabaseReplyWait, reply) || !IsReply(reply, type, sizeof(RELAY_KEY))) {
        return kZentripFailure;
    }
    const DWORD result = Load32(reply.data(), kOffResult);
    if (result != 0) return result;
    *key = NewCell(Load64(reply.data(), kOffKey));
    return *key ? result : kZentripFailure;
}

DWORD CExpData::Zentrip_OpenKey(const ZentripCell* db, const wchar_t* path, ZentripCell** key) {
    TORVA_TRACE_SCOPE(L"CExpData::Zentrip_OpenKey");
    TORVA_RETURN_INT(KeyCall(TYPE_TVRDB_OPENKEY, db, path, key));
}

DWORD CExpData::Zentrip_CreateKey(const ZentripCell* db, const wchar_t* path, ZentripCell** key) {
    TORVA_TRACE_SCOPE(L"CExpData::Zentrip_CreateKey");
    TORVA_RETURN_INT(KeyCall(TYPE_TVRDB_CREATEKEY, db, path, key));
}

DWORD CExpData::Zentrip_CloseKey(const ZentripCell* db, ZentripCell** key) {
    TORVA_TRACE_SCOPE(L"CExpData::Zentrip_CloseKey");
    if (!key || !*key) TORVA_RETURN_INT(kZentripFailure);
    if (!db) {
        FreeCell(key);
        TORVA_RETURN_INT(kZentripFailure);
    }
    std::vector<BYTE> request = NewRecord<RELAY_KEY_HANDLE>(TYPE_TVRDB_CLOSEKEY);
    Store64(request.data(), kOffDb, *db);
    Store64(request.data(), kOffKey, **key);
    FreeCell(key);
    std::vector<BYTE> reply;
    if (!Request(request, kDatabaseReplyWait, reply) ||
        !IsReply(reply, TYPE_TVRDB_CLOSEKEY, sizeof(RELAY_KEY_HANDLE))) {
        TORVA_RETURN_INT(kZentripFailure);
    }
    TORVA_RETURN_INT(Load32(reply.data(), kOffResult));
}

DWORD CExpData::NamedKeyCall(uint32_t type, const ZentripCell* db, const ZentripCell* key,
                             const wchar_t* name) {
    if (!db || !key || !name) return kZentripFailure;
    std::vector<BYTE> request = NewRecord<RELAY_KEY>(type);
    Store64(request.data(), kOffDb, *db);
    Store64(request.data(), kOffKey, *key);
    StoreName(request, offsetof(RELAY_KEY, szName), name);
    std::vector<BYTE> reply;
    if (!Request(request, kDatabaseReplyWait, reply) || !IsReply(reply, type, sizeof(RELAY_KEY))) {
        return kZentripFailure;
    }
    return Load32(reply.data(), kOffResult);
}

DWORD CExpData::Zentrip_DeleteKey(const ZentripCell* db, const ZentripCell* parent,
                                  const wchar_t* name) {
    TORVA_TRACE_SCOPE(L"CExpData::Zentrip_DeleteKey");
    TORVA_RETURN_INT(NamedKeyCall(TYPE_TVRDB_DELETEKEY, db, parent, name));
}

DWORD CExpData::Zentrip_DeleteValue(const ZentripCell* db, const ZentripCell* key,
                                    const wchar_t* name) {
    TORVA_TRACE_SCOPE(L"CExpData::Zentrip_DeleteValue");
    TORVA_RETURN_INT(NamedKeyCall(TYPE_TVRDB_DELETEVALUE, db, key, name));
}

DWORD CExpData::Zentrip_QueryValue(const ZentripCell* db, const ZentripCell* key,
                                   const wchar_t* name, DWORD* type, BYTE* data, DWORD* size) {
    TORVA_TRACE_SCOPE(L"CExpData::Zentrip_QueryValue");
    if (!db || !key || !name || !type || !size) TORVA_RETURN_INT(kZentripFailure);
    std::vector<BYTE> request = NewRecord<RELAY_QUERYVALUE>(TYPE_TVRDB_QUERYVALUE);
    Store64(request.data(), kOffDb, *db);
    Store64(request.data(), kOffKey, *key);
    Store32(request.data(), offsetof(RELAY_QUERYVALUE, dwBufferSize), data ? *size : 0);
    Store32(request.data(), offsetof(RELAY_QUERYVALUE, dwWantData), data ? 1 : 0);
    StoreName(request, offsetof(RELAY_QUERYVALUE, szName), name);
    std::vector<BYTE> reply;
    if (!Request(request, kDatabaseReplyWait, reply) ||
        reply.size() < sizeof(RELAY_QUERYVALUE_RESULT) ||
        Load32(reply.data(), kOffType) != TYPE_TVRDB_QUERYVALUE_RESULT) {
        TORVA_RETURN_INT(kZentripFailure);
    }
    const DWORD result = Load32(reply.data(), kOffResult);
    const DWORD dataSize = Load32(reply.data(), offsetof(RELAY_QUERYVALUE_RESULT, dwDataSize));
    *type = Load32(reply.data(), offsetof(RELAY_QUERYVALUE_RESULT, dwValueType));
    if (data && Load32(reply.data(), offsetof(RELAY_QUERYVALUE_RESULT, dwWantData)) == 1 &&
        dataSize != 0 && reply.size() == sizeof(RELAY_QUERYVALUE_RESULT) + size_t{dataSize}) {
        std::memcpy(data, reply.data() + sizeof(RELAY_QUERYVALUE_RESULT),
                    std::min(dataSize, *size));
    }
    *size = dataSize;
    TORVA_RETURN_INT(result);
}

DWORD CExpData::Zentrip_SetValue(const ZentripCell* db, const ZentripCell* key, const wchar_t* name,
                                 DWORD type, const BYTE* data, DWORD size) {
    TORVA_TRACE_SCOPE(L"CExpData::Zentrip_SetValue");
    if (!db || !key || !name || (size != 0 && !data)) TORVA_RETURN_INT(kZentripFailure);
    std::vector<BYTE> request = NewRecord<RELAY_SETVALUE>(TYPE_TVRDB_SETVALUE, size);
    Store64(request.data(), kOffDb, *db);
    Store64(request.data(), kOffKey, *key);
    Store32(request.data(), offsetof(RELAY_SETVALUE, dwValueType), type);
    Store32(request.data(), offsetof(RELAY_SETVALUE, dwDataSize), size);
    StoreName(request, offsetof(RELAY_SETVALUE, szName), name);
    if (size != 0) std::memcpy(request.data() + sizeof(RELAY_SETVALUE), data, size);
    std::vector<BYTE> reply;
    if (!Request(request, kDatabaseReplyWait, reply) ||
        !IsReply(reply, TYPE_TVRDB_SETVALUE_RESULT, sizeof(RELAY_RESULT))) {
        TORVA_RETURN_INT(kZentripFailure);
    }
    TORVA_RETURN_INT(Load32(reply.data(), kOffResult));
}

DWORD CExpData::Zentrip_Crypt(int mode, const BYTE* input, DWORD inputLength, BYTE* output,
                              DWORD capacity, DWORD* outputLength) {
    TORVA_TRACE_SCOPE(L"CExpData::Zentrip_Crypt");
    if ((mode != 1 && mode != 2) || !input || inputLength == 0 || !output || capacity == 0 ||
        !outputLength) {
        TORVA_RETURN_HEX(kCryptFailure);
    }
    *outputLength = 0;
    std::vector<BYTE> request =
        NewRecord<RELAY_CRYPT>(mode == 1 ? TYPE_TVRCT_ENCRYPT : TYPE_TVRCT_DECRYPT, inputLength);
    Store32(request.data(), offsetof(RELAY_CRYPT, dwInputLength), inputLength);
    Store32(request.data(), offsetof(RELAY_CRYPT, dwOutputCapacity), capacity);
    std::memcpy(request.data() + sizeof(RELAY_CRYPT), input, inputLength);
    std::vector<BYTE> reply;
    const uint32_t replyType = mode == 1 ? TYPE_TVRCT_ENCRYPT_RESULT : TYPE_TVRCT_DECRYPT_RESULT;
    if (!Request(request, INFINITE, reply) ||
        !IsReply(reply, replyType, sizeof(RELAY_CRYPT_RESULT) + size_t{capacity})) {
        TORVA_RETURN_HEX(kCryptFailure);
    }
    const DWORD produced = Load32(reply.data(), offsetof(RELAY_CRYPT_RESULT, dwOutputLength));
    std::memcpy(output, reply.data() + sizeof(RELAY_CRYPT_RESULT), std::min(produced, capacity));
    *outputLength = produced;
    TORVA_RETURN_HEX(Load32(reply.data(), offsetof(RELAY_CRYPT_RESULT, dwResult)));
}

BOOL CExpData::IsAuthent(eAuthCase authCase) {
    TORVA_TRACE_SCOPE(L"CExpData::IsAuthent");
    std::vector<BYTE> request = NewRecord<RELAY_AUTH>(TYPE_TVRAUTH_AUTHENTICATEUSER);
    Store32(request.data(), offsetof(RELAY_AUTH, dwAuthCase), authCase);
    std::vector<BYTE> reply;
    if (!Request(request, INFINITE, reply) ||
        !IsReply(reply, TYPE_TVRAUTH_AUTHENTICATEUSER, sizeof(RELAY_AUTH))) {
        TORVA_RETURN_BOOL(FALSE);
    }
    TORVA_RETURN_BOOL(Load32(reply.data(), kOffResult) == 0 ? TRUE : FALSE);
}
