#include "TestDatabase.h"

#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>

TestDatabase::TestDatabase(const std::wstring& name) {
    const DWORD result =
        name.empty() ? TvrDB_OpenDB(&m_db) : TvrDB_OpenDBEx(&m_db, 0, name.c_str());
    EXPECT_EQ(result, 0u);
}

TestDatabase::~TestDatabase() {
    if (m_db) TvrDB_CloseDB(m_db);
}

void TestDatabase::DeleteKey(const std::wstring& path) {
    const DWORD result = TvrDB_DeleteKey(m_db, nullptr, path.c_str());
    EXPECT_TRUE(result == 0 || result == 8) << result;
}

bool TestDatabase::KeyExists(const std::wstring& path) {
    TVRDB_HKEY key = nullptr;
    if (TvrDB_OpenKey(m_db, path.c_str(), &key) != 0) return false;
    TvrDB_CloseKey(m_db, key);
    return true;
}

void TestDatabase::SetRaw(const std::wstring& keyPath, const std::wstring& name, DWORD type,
                          const std::vector<BYTE>& data) {
    TVRDB_HKEY key = nullptr;
    ASSERT_EQ(TvrDB_CreateKey(m_db, keyPath.c_str(), &key), 0u);
    EXPECT_EQ(
        TvrDB_SetValue(m_db, key, name.c_str(), type, data.data(), static_cast<DWORD>(data.size())),
        0u);
    TvrDB_CloseKey(m_db, key);
}

void TestDatabase::SetDword(const std::wstring& key, const std::wstring& name, int32_t value) {
    const BYTE* p = reinterpret_cast<const BYTE*>(&value);
    SetRaw(key, name, TVRDB_TYPE_DWORD, std::vector<BYTE>(p, p + 4));
}

void TestDatabase::SetText(const std::wstring& key, const std::wstring& name,
                           const std::wstring& text) {
    const BYTE* p = reinterpret_cast<const BYTE*>(text.data());
    SetRaw(key, name, TVRDB_TYPE_STRING, std::vector<BYTE>(p, p + text.size() * 2));
}

bool TestDatabase::Value(const std::wstring& keyPath, const std::wstring& name, DWORD* type,
                         std::vector<BYTE>& data) {
    TVRDB_HKEY key = nullptr;
    if (TvrDB_OpenKey(m_db, keyPath.c_str(), &key) != 0) return false;
    DWORD size = 0;
    bool ok = TvrDB_QueryValue(m_db, key, name.c_str(), type, nullptr, &size) == 0;
    if (ok) {
        data.assign(size, 0);
        ok = size == 0 || TvrDB_QueryValue(m_db, key, name.c_str(), type, data.data(), &size) == 0;
    }
    TvrDB_CloseKey(m_db, key);
    return ok;
}

int32_t TestDatabase::Dword(const std::wstring& key, const std::wstring& name) {
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!Value(key, name, &type, data) || data.size() != 4) return -1;
    int32_t value;
    std::memcpy(&value, data.data(), 4);
    return value;
}

std::vector<std::wstring> TestDatabase::SubKeys(const std::wstring& keyPath) {
    std::vector<std::wstring> names;
    TVRDB_HKEY key = nullptr;
    if (TvrDB_OpenKey(m_db, keyPath.c_str(), &key) != 0) return names;
    wchar_t buffer[TVRDB_MAX_NAME + 1];
    DWORD length = 0;
    for (DWORD i = 0; TvrDB_EnumKey(m_db, key, i, buffer, &length) == 0; ++i) {
        names.emplace_back(buffer, length);
    }
    TvrDB_CloseKey(m_db, key);
    return names;
}

namespace {

void DumpKey(TestDatabase& db, TVRDB_HDB handle, const std::wstring& path, std::wstring& out) {
    out += L"[" + path + L"]\n";
    TVRDB_HKEY key = nullptr;
    if (TvrDB_OpenKey(handle, path.c_str(), &key) != 0) return;
    wchar_t name[TVRDB_MAX_NAME + 1];
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = TVRDB_MAX_NAME + 1;
        DWORD size = 0;
        DWORD type = 0;
        if (TvrDB_EnumValue(handle, key, i, name, &nameLength, &type, nullptr, &size) != 0) break;
        std::vector<BYTE> data;
        db.Value(path, name, &type, data);
        out += std::wstring(name) + L"=" + std::to_wstring(type) + L":";
        for (BYTE b : data)
            out += std::to_wstring(b) + L" ";
        out += L"\n";
    }
    TvrDB_CloseKey(handle, key);
    for (const auto& sub : db.SubKeys(path))
        DumpKey(db, handle, sub, out);
}

DWORD TVRDB_CALL FaultyOpenKey(TVRDB_HDB db, LPCWSTR path, TVRDB_HKEY* key) {
    ++FaultyDb::openKeyCalls;
    if (FaultyDb::failOpen) {
        if (const DWORD result = FaultyDb::failOpen(path)) {
            *key = nullptr;
            return result;
        }
    }
    return TvrDB_OpenKey(db, path, key);
}

} // namespace

std::function<DWORD(const std::wstring&)> FaultyDb::failOpen;
int FaultyDb::openKeyCalls = 0;

void FaultyDb::Reset() {
    failOpen = nullptr;
    openKeyCalls = 0;
}

const DbApi& FaultyDb::Api() {
    static DbApi api = [] {
        DbApi a = LibraryDbApi();
        a.OpenKey = &FaultyOpenKey;
        return a;
    }();
    return api;
}

std::wstring DumpTree(const std::wstring& root) {
    TestDatabase db;
    TVRDB_HDB handle = nullptr;
    EXPECT_EQ(TvrDB_OpenDB(&handle), 0u);
    std::wstring out;
    DumpKey(db, handle, root, out);
    TvrDB_CloseDB(handle);
    return out;
}
