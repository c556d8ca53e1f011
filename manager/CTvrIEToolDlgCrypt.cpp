// Encrypted password values. The first failure of the crypto library in a
// load or save switches it off for the rest of that operation, so that the
// user is not asked again and again; the workers switch it on before each.
#include "CTvrIEToolDlg.h"
#include "TraceScope.h"

#include "Corvane.h"

#include <algorithm>
#include <new>
#include <vector>

DWORD CTvrIEToolDlg::EncryptData(const BYTE* input, DWORD length, BYTE* output, DWORD capacity,
                                 DWORD* produced) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::EncryptData");
    TORVA_RETURN_INT(TvrCT_Encrypt(input, length, output, capacity, produced));
}

DWORD CTvrIEToolDlg::DecryptData(const BYTE* input, DWORD length, BYTE* output, DWORD capacity,
                                 DWORD* produced) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::DecryptData");
    TORVA_RETURN_INT(TvrCT_Decrypt(input, length, output, capacity, produced));
}

BOOL CTvrIEToolDlg::SetStringValue_Encord(TVRDB_HDB db, const std::wstring& path,
                                          const wchar_t* name, const std::wstring& text) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::SetStringValue_Encord");
    // Nothing to hide: an empty password is a plain text of 0 bytes, as the
    // add-in stores it, and the crypto library (which refuses empty input)
    // is not asked.
    if (text.empty()) TORVA_RETURN_BOOL(SetStringValue(db, path, name, text));
    // Off after an earlier failure: the stored value stays as it is.
    if (m_nCryptUsable != 1) TORVA_RETURN_BOOL(FALSE);

    const DWORD capacity = static_cast<DWORD>(text.size() * 4 + 64);
    std::vector<BYTE> cipher;
    try {
        cipher.assign(size_t{capacity} * sizeof(wchar_t), 0);
    } catch (const std::bad_alloc&) {
        TORVA_RETURN_BOOL(FALSE);
    }
    DWORD produced = 0;
    const DWORD result = EncryptData(reinterpret_cast<const BYTE*>(text.data()),
                                     static_cast<DWORD>(text.size() * sizeof(wchar_t)),
                                     cipher.data(), capacity, &produced);
    if (result != TVRCT_OK || produced == 0 || produced > capacity) {
        m_nCryptUsable = 0;
        TORVA_RETURN_BOOL(FALSE);
    }
    TVRDB_HKEY key = nullptr;
    if (OpenKey(db, path, &key) != TVRDB_OK) TORVA_RETURN_BOOL(FALSE);
    const DWORD written = TvrDB_SetValue(db, key, name, TVRDB_TYPE_STRING, cipher.data(), produced);
    CloseKey(db, &key);
    TORVA_RETURN_BOOL(written == TVRDB_OK);
}

std::wstring CTvrIEToolDlg::GetStringValue_Decord(TVRDB_HDB db, TVRDB_HKEY* key,
                                                  const wchar_t* name, bool* clear) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::GetStringValue_Decord");
    if (clear) *clear = true;
    if (!db || !key || !*key) {
        if (clear) *clear = false;
        return {};
    }
    DWORD type = 0;
    DWORD size = 0;
    const DWORD queried = TvrDB_QueryValue(db, *key, name, &type, nullptr, &size);
    // No value, or an empty one: nothing was hidden, so nothing is missing.
    if (queried == TVRDB_E_VALUE_NOT_FOUND || (queried == TVRDB_OK && size == 0)) return {};
    if (clear) *clear = false;
    if (queried != TVRDB_OK) return {};

    std::vector<BYTE> stored(size_t{size} * 2 + 4, 0);
    DWORD read = size;
    if (TvrDB_QueryValue(db, *key, name, &type, stored.data(), &read) != TVRDB_OK) return {};
    if (read > size) read = size;
    if (m_nCryptUsable != 1) return {};
    // The library may prompt the user: the key is not held meanwhile.
    if (TvrDB_CloseKey(db, *key) != TVRDB_OK) return {};
    *key = nullptr;

    std::vector<BYTE> plain(size_t{size} * 8, 0);
    const DWORD capacity = size * 4;
    DWORD produced = 0;
    if (DecryptData(stored.data(), read, plain.data(), capacity, &produced) != TVRCT_OK) {
        m_nCryptUsable = 0;
        return {};
    }
    // The clear text ends at its first NUL within what was produced.
    const auto* text = reinterpret_cast<const wchar_t*>(plain.data());
    const size_t limit = std::min<size_t>(produced, capacity) / sizeof(wchar_t);
    size_t chars = 0;
    while (chars < limit && text[chars])
        ++chars;
    if (clear) *clear = true;
    return std::wstring(text, chars);
}
