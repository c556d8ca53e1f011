#include "DBAccess.h"

#include <cstring>

namespace {
constexpr DWORD kEnumNameChars = 4096;
} // namespace

int32_t DBAccess::OpenDB(TVRDB_HDB* db) {
    return static_cast<int32_t>(m_dbApi.OpenDB(db));
}

int32_t DBAccess::CloseDB(TVRDB_HDB* db) {
    if (!db || !*db) return kDbNoHandle;
    const DWORD result = m_dbApi.CloseDB(*db);
    *db = nullptr;
    return static_cast<int32_t>(result);
}

int32_t DBAccess::OpenKey(TVRDB_HDB db, const std::wstring& path, TVRDB_HKEY* key) {
    if (!db) return kDbNoHandle;
    return static_cast<int32_t>(m_dbApi.OpenKey(db, path.c_str(), key));
}

int32_t DBAccess::CreateKey(TVRDB_HDB db, const std::wstring& path, TVRDB_HKEY* key) {
    if (!db) return kDbNoHandle;
    return static_cast<int32_t>(m_dbApi.CreateKey(db, path.c_str(), key));
}

int32_t DBAccess::OpenKeyEx(TVRDB_HDB db, const std::wstring& path, TVRDB_HKEY* key) {
    const int32_t result = OpenKey(db, path, key);
    if (result == kDbOk) return result;
    return CreateKey(db, path, key);
}

int32_t DBAccess::CloseKey(TVRDB_HDB db, TVRDB_HKEY* key) {
    if (!key || !*key) return kDbNoHandle;
    const DWORD result = m_dbApi.CloseKey(db, *key);
    *key = nullptr;
    return static_cast<int32_t>(result);
}

int32_t DBAccess::EnumKey(TVRDB_HDB db, TVRDB_HKEY key, std::vector<std::wstring>& names) {
    if (!key) return kDbNoHandle;
    std::vector<wchar_t> buffer(kEnumNameChars);
    for (DWORD index = 0;; ++index) {
        std::fill(buffer.begin(), buffer.end(), L'\0');
        // Reset before every call: a length left from the name before must
        // never stand for this one.
        DWORD length = 0;
        const DWORD result = m_dbApi.EnumKey(db, key, index, buffer.data(), &length);
        if (result != kDbOk) return static_cast<int32_t>(result);
        if (length == 0 || buffer[0] == L'\0') continue;
        if (length >= kEnumNameChars) length = kEnumNameChars - 1;
        names.emplace_back(buffer.data(), wcsnlen(buffer.data(), length));
    }
}

bool DBAccess::ReadValue(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name, DWORD presetType,
                         std::vector<BYTE>& bytes) {
    bytes.clear();
    if (!key) return false;
    DWORD type = presetType;
    DWORD size = 0;
    if (m_dbApi.QueryValue(db, key, name, &type, nullptr, &size) != kDbOk) return false;
    if (size == 0) return true;
    bytes.assign(size, 0);
    DWORD readSize = size;
    type = presetType;
    if (m_dbApi.QueryValue(db, key, name, &type, bytes.data(), &readSize) != kDbOk) {
        bytes.clear();
        return false;
    }
    if (readSize < size) bytes.resize(readSize);
    return true;
}

int32_t DBAccess::GetDwordValue(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name) {
    std::vector<BYTE> bytes;
    if (!ReadValue(db, key, name, TVRDB_TYPE_DWORD, bytes) || bytes.empty()) return -1;
    int32_t value = 0;
    std::memcpy(&value, bytes.data(), bytes.size() < 4 ? bytes.size() : 4);
    return value;
}

void DBAccess::SetDwordValue(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name, int32_t value) {
    if (!key) return;
    m_dbApi.SetValue(db, key, name, TVRDB_TYPE_DWORD, reinterpret_cast<const BYTE*>(&value),
                     sizeof value);
}

std::wstring DBAccess::GetStringValue(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name) {
    std::vector<BYTE> bytes;
    if (!ReadValue(db, key, name, TVRDB_TYPE_STRING, bytes) || bytes.size() < 2) return {};
    const auto* text = reinterpret_cast<const wchar_t*>(bytes.data());
    return std::wstring(text, wcsnlen(text, bytes.size() / 2));
}

void DBAccess::SetStringValue(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name,
                              const std::wstring& text) {
    if (!key) return;
    m_dbApi.SetValue(db, key, name, TVRDB_TYPE_STRING, reinterpret_cast<const BYTE*>(text.data()),
                     static_cast<DWORD>(text.size() * sizeof(wchar_t)));
}

std::wstring DBAccess::GetStringValueCrypt(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name,
                                           bool* unread) {
    if (!key || !m_cryptEnabled) return {};
    std::vector<BYTE> stored;
    if (!ReadValue(db, key, name, TVRDB_TYPE_BINARY, stored) || stored.empty()) return {};
    const DWORD size = static_cast<DWORD>(stored.size());
    std::vector<BYTE> plain(8 * static_cast<size_t>(size) + 2, 0);
    DWORD plainLength = 0;
    if (m_cryptApi.Decrypt(stored.data(), size, plain.data(), 4 * size, &plainLength) != TVRCT_OK) {
        // This value is lost; the ones after it are still read.
        ::SecureZeroMemory(plain.data(), plain.size());
        if (unread) *unread = true;
        return {};
    }
    if (plainLength > 4 * size) plainLength = 4 * size;
    const auto* text = reinterpret_cast<const wchar_t*>(plain.data());
    std::wstring result(text, wcsnlen(text, plainLength / 2));
    ::SecureZeroMemory(plain.data(), plain.size());
    return result;
}

void DBAccess::SetStringValueCrypt(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name,
                                   const std::wstring& text) {
    if (!key || !m_cryptEnabled) return;
    const DWORD characters = static_cast<DWORD>(text.size());
    const DWORD capacity = 4 * characters + 64;
    std::vector<BYTE> cipher(2 * static_cast<size_t>(capacity), 0);
    DWORD cipherLength = 0;
    if (m_cryptApi.Encrypt(reinterpret_cast<const BYTE*>(text.data()), 2 * characters,
                           cipher.data(), capacity, &cipherLength) != TVRCT_OK) {
        m_cryptEnabled = 0;
        return;
    }
    if (cipherLength > capacity) return;
    m_dbApi.SetValue(db, key, name, TVRDB_TYPE_BINARY, cipher.data(), cipherLength);
}
