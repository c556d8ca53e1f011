// The value layer of CExpData: database and key handles with the retry rule,
// text and DWORD values.
#include "CExpData.h"
#include "TraceScope.h"

#include "Trace.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr int kOpenKeyTries = 5;
constexpr DWORD kOpenKeyRetryWait = 100;
constexpr DWORD kTypeDword = 1;
constexpr DWORD kTypeText = 2;
constexpr DWORD kNothingStored = 4;
constexpr DWORD kKeyNotFound = 8;
// The database's answer to a buffer too small for the value; the size it
// needs comes with it.
constexpr DWORD kMoreData = 23;
// What the first read of a value offers (in bytes).
constexpr size_t kFirstReadSize = 512;

} // namespace

BOOL CExpData::OpenDB(ZentripCell** db) {
    TORVA_TRACE_SCOPE(L"CExpData::OpenDB");
    if (!db) TORVA_RETURN_BOOL(FALSE);
    if (Zentrip_OpenDB(db) == 0) TORVA_RETURN_BOOL(TRUE);
    *db = nullptr;
    TORVA_RETURN_BOOL(FALSE);
}

void CExpData::CloseDB(ZentripCell** db) {
    TORVA_TRACE_SCOPE(L"CExpData::CloseDB");
    if (db && *db) (void)Zentrip_CloseDB(db);
}

DWORD CExpData::OpenKey(const ZentripCell* db, const wchar_t* path, ZentripCell** key) {
    TORVA_TRACE_SCOPE(L"CExpData::OpenKey");
    if (!db) TORVA_RETURN_INT(kKeyNotFound);
    DWORD result = kZentripFailure;
    for (int attempt = 0; attempt < kOpenKeyTries; ++attempt) {
        result = Zentrip_OpenKey(db, path, key);
        // "Nothing stored" and "no such key" will not change by waiting.
        if (result == 0 || result == kNothingStored || result == kKeyNotFound) break;
        ::SleepEx(kOpenKeyRetryWait, TRUE);
    }
    TORVA_RETURN_INT(result);
}

void CExpData::CloseKey(const ZentripCell* db, ZentripCell** key) {
    TORVA_TRACE_SCOPE(L"CExpData::CloseKey");
    if (db && key && *key) (void)Zentrip_CloseKey(db, key);
}

DWORD CExpData::CreateKey(const ZentripCell* db, const wchar_t* path, ZentripCell** key) {
    TORVA_TRACE_SCOPE(L"CExpData::CreateKey");
    if (!db) TORVA_RETURN_INT(kZentripFailure);
    TORVA_RETURN_INT(Zentrip_CreateKey(db, path, key));
}

std::wstring CExpData::GetStringValue(const ZentripCell* db, const ZentripCell* key,
                                      const wchar_t* name) {
    TORVA_TRACE_SCOPE(L"CExpData::GetStringValue");
    DWORD type = 0;
    std::vector<BYTE> bytes;
    std::wstring value;
    if (ReadValueBytes(db, key, name, type, bytes) && bytes.size() >= sizeof(wchar_t)) {
        value.assign(bytes.size() / sizeof(wchar_t), L'\0');
        std::memcpy(value.data(), bytes.data(), value.size() * sizeof(wchar_t));
    }
    TORVA_TRACE_DETAIL(value.empty() ? L"* sValue is Empty *" : L"* return sValue success. *");
    return value;
}

void CExpData::SetStringValue(const ZentripCell* db, const ZentripCell* key, const wchar_t* name,
                              const std::wstring& text) {
    TORVA_TRACE_SCOPE(L"CExpData::SetStringValue");
    if (key) (void)CreateValue(db, key, name, text);
}

std::int32_t CExpData::GetDwordValue(const ZentripCell* db, const ZentripCell* key,
                                     const wchar_t* name) {
    DWORD type = 0;
    std::vector<BYTE> bytes;
    if (!ReadValueBytes(db, key, name, type, bytes)) return -1;
    // Zero-filled to four bytes: a shorter value never lets the read run
    // past what was stored.
    bytes.resize(std::max<size_t>(bytes.size(), sizeof(std::int32_t)), 0);
    std::int32_t value = 0;
    std::memcpy(&value, bytes.data(), sizeof value);
    return value;
}

bool CExpData::ReadValueBytes(const ZentripCell* db, const ZentripCell* key, const wchar_t* name,
                              DWORD& type, std::vector<BYTE>& bytes) {
    // Most values (numbers, names, short texts) fit the first buffer, so one
    // relay exchange reads them; a longer one is told by its size and read
    // again into a buffer that holds it.
    bytes.assign(kFirstReadSize, 0);
    DWORD size = static_cast<DWORD>(bytes.size());
    DWORD result = Zentrip_QueryValue(db, key, name, &type, bytes.data(), &size);
    if (result == kMoreData && size > bytes.size()) {
        bytes.assign(size, 0);
        result = Zentrip_QueryValue(db, key, name, &type, bytes.data(), &size);
    }
    if (result != 0 || size > bytes.size()) {
        bytes.clear();
        return false;
    }
    bytes.resize(size);
    return true;
}

void CExpData::SetDwordValue(const ZentripCell* db, const ZentripCell* key, const wchar_t* name,
                             DWORD value) {
    TORVA_TRACE_SCOPE(L"CExpData::SetDwordValue");
    if (key) (void)CreateValue(db, key, name, value);
}

DWORD CExpData::CreateValue(const ZentripCell* db, const ZentripCell* key, const wchar_t* name,
                            const std::wstring& text) {
    TORVA_TRACE_SCOPE(L"CExpData::CreateValue");
    if (!db || !key) TORVA_RETURN_INT(kZentripFailure);
    return Zentrip_SetValue(db, key, name, kTypeText, reinterpret_cast<const BYTE*>(text.data()),
                            static_cast<DWORD>(text.size() * sizeof(wchar_t)));
}

DWORD CExpData::CreateValue(const ZentripCell* db, const ZentripCell* key, const wchar_t* name,
                            DWORD value) {
    TORVA_TRACE_SCOPE(L"CExpData::CreateValue");
    if (!db || !key) TORVA_RETURN_INT(kZentripFailure);
    return Zentrip_SetValue(db, key, name, kTypeDword, reinterpret_cast<const BYTE*>(&value),
                            sizeof value);
}
