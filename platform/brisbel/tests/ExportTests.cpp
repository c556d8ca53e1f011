// The exported calls, as the product calls them, on a database of its own
// in the installed database folder.
#include "Brisbel.h"

#include "DatabaseLocation.h"
#include "Win32Handles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

namespace {

class Exports : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t name[64];
        std::swprintf(name, std::size(name), L"BrisbelTest-%lu-%lu-%d",
                      static_cast<unsigned long>(::GetCurrentProcessId()),
                      static_cast<unsigned long>(::GetTickCount()), s_serial++);
        m_name = name;
        ASSERT_EQ(TvrDB_OpenDBEx(&m_db, 0, m_name.c_str()), DWORD{TVRDB_OK});
        ASSERT_NE(m_db, nullptr);
    }
    void TearDown() override {
        if (m_db) {
            EXPECT_EQ(TvrDB_CloseDB(m_db), DWORD{TVRDB_OK});
        }
        std::wstring folder;
        if (brisbel::DatabaseLocation::Folder(folder) != TVRDB_OK) return;
        WIN32_FIND_DATAW found{};
        torva::UniqueFind find(::FindFirstFileW((folder + L"\\" + m_name + L"*").c_str(), &found));
        if (!find) return;
        do {
            ::DeleteFileW((folder + L"\\" + found.cFileName).c_str());
        } while (::FindNextFileW(find.get(), &found));
    }
    TVRDB_HKEY Create(const wchar_t* path) {
        TVRDB_HKEY key = nullptr;
        EXPECT_EQ(TvrDB_CreateKey(m_db, path, &key), DWORD{TVRDB_OK}) << path;
        return key;
    }
    DWORD SetDword(TVRDB_HKEY key, const wchar_t* name, DWORD value) {
        return TvrDB_SetValue(m_db, key, name, TVRDB_TYPE_DWORD,
                              reinterpret_cast<const BYTE*>(&value), 4);
    }

    static inline int s_serial = 0;
    std::wstring m_name;
    TVRDB_HDB m_db = nullptr;
};

TEST_F(Exports, CallersSequenceWorksEndToEnd) {
    TVRDB_HKEY key = Create(L"WEBFORMDATA\\OPTION");
    const std::wstring url = L"https://example.test/login";
    ASSERT_EQ(TvrDB_SetValue(m_db, key, L"URL", TVRDB_TYPE_STRING,
                             reinterpret_cast<const BYTE*>(url.data()),
                             static_cast<DWORD>(url.size() * 2)),
              DWORD{TVRDB_OK});
    ASSERT_EQ(SetDword(key, L"Flags", 5), DWORD{TVRDB_OK});
    ASSERT_EQ(TvrDB_CloseKey(m_db, key), DWORD{TVRDB_OK});

    ASSERT_EQ(TvrDB_OpenKey(m_db, L"webformdata\\option", &key), DWORD{TVRDB_OK});
    DWORD type = TVRDB_TYPE_DWORD, size = 0;
    ASSERT_EQ(TvrDB_QueryValue(m_db, key, L"url", &type, nullptr, &size), DWORD{TVRDB_OK});
    std::vector<BYTE> data(size);
    ASSERT_EQ(TvrDB_QueryValue(m_db, key, L"url", &type, data.data(), &size), DWORD{TVRDB_OK});
    EXPECT_EQ(type, DWORD{TVRDB_TYPE_STRING});
    EXPECT_EQ(std::wstring(reinterpret_cast<wchar_t*>(data.data()), size / 2), url);

    wchar_t name[100];
    BYTE value[4];
    std::vector<std::wstring> names;
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = 100, dataSize = 4;
        const DWORD status =
            TvrDB_EnumValue(m_db, key, i, name, &nameLength, &type, value, &dataSize);
        if (status == TVRDB_E_NO_MORE_ITEMS) break;
        // The URL does not fit 4 bytes; the DWORD does.
        ASSERT_TRUE(status == TVRDB_OK || status == TVRDB_E_MORE_DATA) << status;
        if (status == TVRDB_OK) names.emplace_back(name, nameLength);
    }
    EXPECT_EQ(names, std::vector<std::wstring>{L"Flags"});
    ASSERT_EQ(TvrDB_CloseKey(m_db, key), DWORD{TVRDB_OK});

    TVRDB_HKEY root = nullptr;
    ASSERT_EQ(TvrDB_OpenKey(m_db, L"", &root), DWORD{TVRDB_OK});
    wchar_t path[512];
    DWORD pathLength = 0;
    ASSERT_EQ(TvrDB_EnumKey(m_db, root, 0, path, &pathLength), DWORD{TVRDB_OK});
    EXPECT_EQ(std::wstring(path, pathLength), L"WEBFORMDATA");
    TVRDB_HKEY form = nullptr;
    ASSERT_EQ(TvrDB_OpenKey(m_db, path, &form), DWORD{TVRDB_OK});
    ASSERT_EQ(TvrDB_EnumKey(m_db, form, 0, path, &pathLength), DWORD{TVRDB_OK});
    EXPECT_EQ(std::wstring(path, pathLength), L"WEBFORMDATA\\OPTION");
    EXPECT_EQ(TvrDB_EnumKey(m_db, form, 1, path, &pathLength), DWORD{TVRDB_E_NO_MORE_ITEMS});

    ASSERT_EQ(TvrDB_DeleteKey(m_db, nullptr, L"WebFormData"), DWORD{TVRDB_OK});
    EXPECT_EQ(TvrDB_OpenKey(m_db, L"WEBFORMDATA\\OPTION", &key), DWORD{TVRDB_E_KEY_NOT_FOUND});
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(TvrDB_EnumKey(m_db, root, 0, path, &pathLength), DWORD{TVRDB_E_NO_MORE_ITEMS});
}

TEST_F(Exports, DeleteKeyTakesAPathBelowTheParent) {
    Create(L"P\\C1\\D\\E");
    TVRDB_HKEY parent = Create(L"P");
    ASSERT_EQ(TvrDB_DeleteKey(m_db, parent, L"c1\\d"), DWORD{TVRDB_OK});
    TVRDB_HKEY key = nullptr;
    EXPECT_EQ(TvrDB_OpenKey(m_db, L"P\\C1", &key), DWORD{TVRDB_OK});
    EXPECT_EQ(TvrDB_OpenKey(m_db, L"P\\C1\\D", &key), DWORD{TVRDB_E_KEY_NOT_FOUND});
    EXPECT_EQ(TvrDB_DeleteKey(m_db, parent, L"C1\\D"), DWORD{TVRDB_E_KEY_NOT_FOUND});
    EXPECT_EQ(TvrDB_DeleteKey(m_db, parent, L""), DWORD{TVRDB_E_INVALID_ARG});
    EXPECT_EQ(TvrDB_DeleteKey(m_db, parent, nullptr), DWORD{TVRDB_E_INVALID_ARG});
}

TEST_F(Exports, KeyHandleOutlivesItsKey) {
    TVRDB_HKEY key = Create(L"A\\B");
    ASSERT_EQ(TvrDB_DeleteKey(m_db, nullptr, L"A"), DWORD{TVRDB_OK});
    EXPECT_EQ(SetDword(key, L"v", 1), DWORD{TVRDB_E_KEY_NOT_FOUND});
    wchar_t path[512];
    DWORD length = 0;
    EXPECT_EQ(TvrDB_EnumKey(m_db, key, 0, path, &length), DWORD{TVRDB_E_KEY_NOT_FOUND});
    Create(L"a\\b");
    EXPECT_EQ(SetDword(key, L"v", 1), DWORD{TVRDB_OK});
}

TEST_F(Exports, BadHandlesAreRefused) {
    TVRDB_HKEY key = Create(L"K");
    const auto forged = reinterpret_cast<TVRDB_HDB>(uintptr_t{0x1235});
    EXPECT_EQ(SetDword(key, L"v", 1), DWORD{TVRDB_OK});
    EXPECT_EQ(TvrDB_SetValue(nullptr, key, L"v", 0, nullptr, 0), DWORD{TVRDB_E_INVALID_HANDLE});
    EXPECT_EQ(TvrDB_SetValue(forged, key, L"v", 0, nullptr, 0), DWORD{TVRDB_E_INVALID_HANDLE});
    EXPECT_EQ(TvrDB_SetValue(m_db, nullptr, L"v", 0, nullptr, 0), DWORD{TVRDB_E_INVALID_HANDLE});
    EXPECT_EQ(TvrDB_SetValue(reinterpret_cast<TVRDB_HDB>(key), key, L"v", 0, nullptr, 0),
              DWORD{TVRDB_E_INVALID_HANDLE});
    EXPECT_EQ(TvrDB_CloseDB(forged), DWORD{TVRDB_E_INVALID_HANDLE});

    // A second handle on the same database accepts the key; another database's does not.
    TVRDB_HDB same = nullptr, other = nullptr;
    ASSERT_EQ(TvrDB_OpenDBEx(&same, 0, m_name.c_str()), DWORD{TVRDB_OK});
    ASSERT_EQ(TvrDB_OpenDBEx(&other, 0, (m_name + L"-other").c_str()), DWORD{TVRDB_OK});
    EXPECT_NE(same, m_db);
    EXPECT_EQ(TvrDB_SetValue(same, key, L"w", 0, nullptr, 0), DWORD{TVRDB_OK});
    EXPECT_EQ(TvrDB_SetValue(other, key, L"w", 0, nullptr, 0), DWORD{TVRDB_E_INVALID_HANDLE});
    EXPECT_EQ(TvrDB_CloseKey(other, key), DWORD{TVRDB_E_INVALID_HANDLE});
    EXPECT_EQ(TvrDB_CloseDB(other), DWORD{TVRDB_OK});

    // Closing the database closes its keys; closed handles stay dead.
    EXPECT_EQ(TvrDB_CloseDB(m_db), DWORD{TVRDB_OK});
    const TVRDB_HDB closed = m_db;
    m_db = same;
    EXPECT_EQ(TvrDB_SetValue(same, key, L"w", 0, nullptr, 0), DWORD{TVRDB_E_INVALID_HANDLE});
    EXPECT_EQ(TvrDB_CloseDB(closed), DWORD{TVRDB_E_INVALID_HANDLE});
    TVRDB_HKEY fresh = nullptr;
    EXPECT_EQ(TvrDB_OpenKey(closed, L"K", &fresh), DWORD{TVRDB_E_INVALID_HANDLE});
    ASSERT_EQ(TvrDB_OpenKey(same, L"K", &fresh), DWORD{TVRDB_OK});
    EXPECT_NE(fresh, key);
    EXPECT_EQ(TvrDB_CloseKey(same, fresh), DWORD{TVRDB_OK});
    EXPECT_EQ(TvrDB_CloseKey(same, fresh), DWORD{TVRDB_E_INVALID_HANDLE});
}

TEST_F(Exports, NullPointersAndLongNamesAreRefused) {
    TVRDB_HKEY key = Create(L"K");
    const std::wstring longName(TVRDB_MAX_NAME + 1, L'x');
    const std::wstring longestName(TVRDB_MAX_NAME, L'x');
    TVRDB_HKEY out = nullptr;
    DWORD size = 4, length = 0;
    wchar_t buffer[512];
    EXPECT_EQ(TvrDB_OpenDB(nullptr), DWORD{TVRDB_E_INVALID_ARG});
    EXPECT_EQ(TvrDB_OpenKey(m_db, nullptr, &out), DWORD{TVRDB_E_INVALID_ARG});
    EXPECT_EQ(TvrDB_OpenKey(m_db, L"K", nullptr), DWORD{TVRDB_E_INVALID_ARG});
    EXPECT_EQ(TvrDB_CreateKey(m_db, longName.c_str(), &out), DWORD{TVRDB_E_NAME_TOO_LONG});
    EXPECT_EQ(TvrDB_CreateKey(m_db, L"A\\\\B", &out), DWORD{TVRDB_E_INVALID_ARG});
    EXPECT_EQ(TvrDB_EnumKey(m_db, key, 0, nullptr, &length), DWORD{TVRDB_E_INVALID_ARG});
    EXPECT_EQ(TvrDB_EnumKey(m_db, key, 0, buffer, nullptr), DWORD{TVRDB_E_INVALID_ARG});
    EXPECT_EQ(TvrDB_EnumValue(m_db, key, 0, nullptr, &length, nullptr, nullptr, nullptr),
              DWORD{TVRDB_E_INVALID_ARG});
    EXPECT_EQ(TvrDB_QueryValue(m_db, key, nullptr, nullptr, nullptr, &size),
              DWORD{TVRDB_E_INVALID_ARG});
    EXPECT_EQ(TvrDB_QueryValue(m_db, key, L"v", nullptr, nullptr, nullptr),
              DWORD{TVRDB_E_INVALID_ARG});
    EXPECT_EQ(TvrDB_QueryValue(m_db, key, longName.c_str(), nullptr, nullptr, &size),
              DWORD{TVRDB_E_NAME_TOO_LONG});
    EXPECT_EQ(TvrDB_SetValue(m_db, key, longName.c_str(), 0, nullptr, 0),
              DWORD{TVRDB_E_NAME_TOO_LONG});
    EXPECT_EQ(TvrDB_SetValue(m_db, key, longestName.c_str(), 0, nullptr, 0), DWORD{TVRDB_OK});
    EXPECT_EQ(TvrDB_SetValue(m_db, key, L"v", 0, nullptr, 4), DWORD{TVRDB_E_INVALID_ARG});
    EXPECT_EQ(TvrDB_DeleteValue(m_db, key, nullptr), DWORD{TVRDB_E_INVALID_ARG});
    EXPECT_EQ(TvrDB_DeleteValue(m_db, key, longName.c_str()), DWORD{TVRDB_E_NAME_TOO_LONG});
    EXPECT_EQ(TvrDB_DeleteKey(m_db, nullptr, longName.c_str()), DWORD{TVRDB_E_NAME_TOO_LONG});
}

TEST_F(Exports, DatabaseNamesMustBePlainFileNames) {
    for (const wchar_t* bad : {L"", L"a\\b", L"a/b", L"..\\up", L"C:x", L"x*", L"x?", L"a|b",
                               L"a\"b", L"a<b", L"a>b", L"tab\there"}) {
        TVRDB_HDB db = reinterpret_cast<TVRDB_HDB>(uintptr_t{1});
        EXPECT_NE(TvrDB_OpenDBEx(&db, 0, bad), DWORD{TVRDB_OK}) << bad;
        EXPECT_EQ(db, nullptr);
    }
    TVRDB_HDB db = nullptr;
    EXPECT_EQ(TvrDB_OpenDBEx(&db, 0, nullptr), DWORD{TVRDB_E_INVALID_ARG});
    EXPECT_EQ(TvrDB_OpenDBEx(&db, 1, m_name.c_str()), DWORD{TVRDB_E_INVALID_ARG});
    EXPECT_EQ(TvrDB_OpenDBEx(&db, 0, std::wstring(300, L'n').c_str()),
              DWORD{TVRDB_E_NAME_TOO_LONG});
    EXPECT_EQ(TvrDB_OpenDBEx(nullptr, 0, m_name.c_str()), DWORD{TVRDB_E_INVALID_ARG});
}

TEST_F(Exports, OpenDBUsesTheUsersSidAsItsName) {
    std::wstring sid, folder;
    ASSERT_EQ(brisbel::DatabaseLocation::CurrentUserSid(sid), DWORD{TVRDB_OK});
    ASSERT_EQ(sid.rfind(L"S-1-", 0), 0u) << sid;
    TVRDB_HDB db = nullptr;
    ASSERT_EQ(TvrDB_OpenDB(&db), DWORD{TVRDB_OK});
    ASSERT_EQ(brisbel::DatabaseLocation::Folder(folder), DWORD{TVRDB_OK});
    WIN32_FIND_DATAW found{};
    torva::UniqueFind find(::FindFirstFileW((folder + L"\\" + sid + L".*.tvdb").c_str(), &found));
    EXPECT_TRUE(find) << "no database file for the user";
    EXPECT_EQ(TvrDB_CloseDB(db), DWORD{TVRDB_OK});
}

} // namespace
