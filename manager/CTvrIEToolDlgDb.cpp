// The dialog's wrappers of the database library: fixed retries, handles
// nulled when closed, and the defaults of missing values.
#include "CTvrIEToolDlg.h"
#include "TraceScope.h"

#include <vector>

namespace {
constexpr DWORD kTypeDword = TVRDB_TYPE_DWORD;
constexpr DWORD kTypeText = TVRDB_TYPE_STRING;
constexpr int kOpenTries = 5;
constexpr DWORD kRetryPause = 100;
constexpr DWORD kEnumChars = 512;
} // namespace

BOOL CTvrIEToolDlg::OpenDB(TVRDB_HDB* db) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::OpenDB");
    if (!db) TORVA_RETURN_BOOL(FALSE);
    if (TvrDB_OpenDB(db) != TVRDB_OK) {
        *db = nullptr;
        TORVA_RETURN_BOOL(FALSE);
    }
    TORVA_RETURN_BOOL(*db != nullptr);
}

void CTvrIEToolDlg::CloseDB(TVRDB_HDB* db) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::CloseDB");
    if (!db || !*db) TORVA_RETURN_VOID();
    (void)TvrDB_CloseDB(*db);
    *db = nullptr;
}

DWORD CTvrIEToolDlg::OpenKey(TVRDB_HDB db, const std::wstring& path, TVRDB_HKEY* key) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::OpenKey");
    if (!key) TORVA_RETURN_INT(kNoHandle);
    *key = nullptr;
    if (!db) TORVA_RETURN_INT(TVRDB_E_KEY_NOT_FOUND);
    DWORD result = TVRDB_E_KEY_NOT_FOUND;
    for (int attempt = 0; attempt < kOpenTries; ++attempt) {
        result = TvrDB_OpenKey(db, path.c_str(), key);
        if (result == TVRDB_OK || result == TVRDB_E_KEY_NOT_FOUND) break;
        // Another process may hold the database for a moment.
        ::SleepEx(kRetryPause, TRUE);
    }
    if (result != TVRDB_OK) *key = nullptr;
    TORVA_RETURN_INT(result);
}

void CTvrIEToolDlg::CloseKey(TVRDB_HDB db, TVRDB_HKEY* key) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::CloseKey");
    if (!db || !key || !*key) TORVA_RETURN_VOID();
    (void)TvrDB_CloseKey(db, *key);
    *key = nullptr;
}

DWORD CTvrIEToolDlg::CreateKey(TVRDB_HDB db, const std::wstring& path, TVRDB_HKEY* key) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::CreateKey");
    if (!key) TORVA_RETURN_INT(kNoHandle);
    *key = nullptr;
    if (!db) TORVA_RETURN_INT(kNoHandle);
    const DWORD result = TvrDB_CreateKey(db, path.c_str(), key);
    if (result != TVRDB_OK) *key = nullptr;
    TORVA_RETURN_INT(result);
}

DWORD CTvrIEToolDlg::CreateValue(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name, DWORD value) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::CreateValue");
    if (!db || !key) TORVA_RETURN_INT(kNoHandle);
    TORVA_RETURN_INT(TvrDB_SetValue(db, key, name, kTypeDword,
                                    reinterpret_cast<const BYTE*>(&value), sizeof(value)));
}

DWORD CTvrIEToolDlg::CreateValue(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name,
                                 const std::wstring& text) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::CreateValue");
    if (!db || !key) TORVA_RETURN_INT(kNoHandle);
    TORVA_RETURN_INT(TvrDB_SetValue(db, key, name, kTypeText,
                                    reinterpret_cast<const BYTE*>(text.data()),
                                    static_cast<DWORD>(text.size() * sizeof(wchar_t))));
}

std::wstring CTvrIEToolDlg::GetStringValue(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::GetStringValue");
    if (!db || !key) return {};
    DWORD type = 0;
    DWORD size = 0;
    if (TvrDB_QueryValue(db, key, name, &type, nullptr, &size) != TVRDB_OK || size == 0) return {};
    std::vector<wchar_t> text(size / sizeof(wchar_t) + 2, L'\0');
    DWORD read = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (TvrDB_QueryValue(db, key, name, &type, reinterpret_cast<BYTE*>(text.data()), &read) !=
        TVRDB_OK) {
        return {};
    }
    // Another writer may have shortened the value between the two queries.
    const size_t chars = (read < size ? read : size) / sizeof(wchar_t);
    return std::wstring(text.data(), chars);
}

std::int32_t CTvrIEToolDlg::GetDwordValue(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::GetDwordValue");
    if (!db || !key) TORVA_RETURN_INT(-1);
    DWORD type = 0;
    DWORD size = 0;
    if (TvrDB_QueryValue(db, key, name, &type, nullptr, &size) != TVRDB_OK) TORVA_RETURN_INT(-1);
    // Fewer bytes than a DWORD hold no number; reading four would go past them.
    if (size < sizeof(DWORD)) TORVA_RETURN_INT(-1);
    std::vector<BYTE> data(size, 0);
    DWORD read = size;
    if (TvrDB_QueryValue(db, key, name, &type, data.data(), &read) != TVRDB_OK ||
        read < sizeof(DWORD)) {
        TORVA_RETURN_INT(-1);
    }
    std::int32_t value = 0;
    ::memcpy(&value, data.data(), sizeof(value));
    TORVA_RETURN_INT(value);
}

BOOL CTvrIEToolDlg::SetStringValue(TVRDB_HDB db, const std::wstring& path, const wchar_t* name,
                                   const std::wstring& text) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::SetStringValue");
    TVRDB_HKEY key = nullptr;
    if (OpenKey(db, path, &key) != TVRDB_OK) TORVA_RETURN_BOOL(FALSE);
    const DWORD result = CreateValue(db, key, name, text);
    CloseKey(db, &key);
    TORVA_RETURN_BOOL(result == TVRDB_OK);
}

BOOL CTvrIEToolDlg::SetDwordValue(TVRDB_HDB db, const std::wstring& path, const wchar_t* name,
                                  DWORD value) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::SetDwordValue");
    TVRDB_HKEY key = nullptr;
    if (OpenKey(db, path, &key) != TVRDB_OK) TORVA_RETURN_BOOL(FALSE);
    const DWORD result = CreateValue(db, key, name, value);
    CloseKey(db, &key);
    TORVA_RETURN_BOOL(result == TVRDB_OK);
}

BOOL CTvrIEToolDlg::SetDwordValue(TVRDB_HDB db, TVRDB_HKEY* key, const wchar_t* name, DWORD value) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::SetDwordValue");
    if (!db || !key || !*key) TORVA_RETURN_BOOL(FALSE);
    const DWORD result = CreateValue(db, *key, name, value);
    CloseKey(db, key);
    TORVA_RETURN_BOOL(result == TVRDB_OK);
}

std::wstring CTvrIEToolDlg::GetSubKey(const std::wstring& path) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::GetSubKey");
    const size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::vector<std::wstring> CTvrIEToolDlg::EnumSubKeys(TVRDB_HDB db, TVRDB_HKEY key) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::EnumSubKeys");
    std::vector<std::wstring> names;
    if (!db || !key) return names;
    std::vector<wchar_t> name(kEnumChars, L'\0');
    for (DWORD index = 0;; ++index) {
        std::fill(name.begin(), name.end(), L'\0');
        DWORD length = 0;
        if (TvrDB_EnumKey(db, key, index, name.data(), &length) != TVRDB_OK) break;
        if (length == 0) continue;
        names.emplace_back(name.data(), length < kEnumChars ? length : kEnumChars - 1);
    }
    return names;
}
