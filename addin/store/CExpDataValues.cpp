// The value layer of CExpData: database and key handles with the retry rule,
// text and DWORD values.
#include "CExpData.h"
#include "TraceScope.h"

#include "Trace.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kOpenKeyTries = 5;
constexpr DWORD kOpenKeyRetryWait = 100;
constexpr DWORD kTypeDword = 1;
constexpr DWORD kTypeText = 2;
constexpr DWORD kNothingStored = 4;
constexpr DWORD kKeyNotFound = 8;

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
    DWORD size = 0;
    std::wstring value;
    if (Zentrip_QueryValue(db, key, name, &type, nullptr, &size) == 0 && size >= sizeof(wchar_t)) {
        std::wstring buffer(size / sizeof(wchar_t), L'\0');
        DWORD read = size;
        if (Zentrip_QueryValue(db, key, name, &type, reinterpret_cast<BYTE*>(buffer.data()),
                               &read) == 0) {
            value = buffer.substr(0, read / sizeof(wchar_t));
        }
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
    DWORD size = 0;
    if (Zentrip_QueryValue(db, key, name, &type, nullptr, &size) != 0) return -1;
    // A zeroed buffer of at least four bytes: a shorter value never lets the
    // read run past what was stored.
    std::vector<BYTE> buffer(std::max<DWORD>(size, sizeof(DWORD)), 0);
    DWORD read = static_cast<DWORD>(buffer.size());
    if (Zentrip_QueryValue(db, key, name, &type, buffer.data(), &read) != 0) return -1;
    std::int32_t value = 0;
    std::memcpy(&value, buffer.data(), sizeof value);
    return value;
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
