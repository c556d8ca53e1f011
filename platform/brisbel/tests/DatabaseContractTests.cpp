// What callers rely on, checked on the core Database in a temp folder.
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace brisbel::test {
namespace {

class DatabaseContract : public ::testing::Test {
protected:
    void SetUp() override {
        m_db = OpenInstance(m_folder.Path(), L"contract");
        ASSERT_TRUE(m_db);
    }
    // All sub keys' full paths through EnumKey, until it stops.
    std::vector<std::wstring> SubKeys(const wchar_t* key) {
        std::vector<std::wstring> names;
        wchar_t name[TVRDB_MAX_NAME + 1];
        DWORD length = 0; // callers carry it over; it is not read
        for (DWORD i = 0; m_db->EnumKey(Path(key), i, name, &length) == TVRDB_OK; ++i) {
            EXPECT_EQ(length, std::wcslen(name));
            names.emplace_back(name);
        }
        return names;
    }
    std::vector<std::wstring> ValueNames(const wchar_t* key) {
        std::vector<std::wstring> names;
        for (DWORD i = 0;; ++i) {
            wchar_t name[100];
            DWORD length = 100, type = 0, size = 0;
            const DWORD status =
                m_db->EnumValue(Path(key), i, name, &length, &type, nullptr, &size);
            if (status == TVRDB_E_NO_MORE_ITEMS) break;
            EXPECT_EQ(status, DWORD{TVRDB_OK});
            if (status != TVRDB_OK) break;
            names.emplace_back(name, length);
        }
        return names;
    }
    DWORD SetString(const wchar_t* key, const wchar_t* name, const std::wstring& text) {
        return m_db->SetValue(Path(key), name, TVRDB_TYPE_STRING,
                              reinterpret_cast<const BYTE*>(text.data()),
                              static_cast<DWORD>(text.size() * sizeof(wchar_t)));
    }

    TestFolder m_folder;
    std::unique_ptr<Database> m_db;
};

TEST_F(DatabaseContract, EnumKeyGivesFullPathsInNameOrder) {
    ASSERT_EQ(m_db->CreateKey(Path(L"WEBFORMDATA\\option")), DWORD{TVRDB_OK});
    ASSERT_EQ(m_db->CreateKey(Path(L"WEBFORMDATA\\Beta")), DWORD{TVRDB_OK});
    ASSERT_EQ(m_db->CreateKey(Path(L"WEBFORMDATA\\alpha\\deep")), DWORD{TVRDB_OK});
    ASSERT_EQ(m_db->CreateKey(Path(L"Other")), DWORD{TVRDB_OK});

    EXPECT_EQ(SubKeys(L"WEBFORMDATA"),
              (std::vector<std::wstring>{L"WEBFORMDATA\\alpha", L"WEBFORMDATA\\Beta",
                                         L"WEBFORMDATA\\option"}));
    EXPECT_EQ(SubKeys(L""), (std::vector<std::wstring>{L"Other", L"WEBFORMDATA"}));
    EXPECT_EQ(SubKeys(L"\\WEBFORMDATA\\alpha\\"),
              (std::vector<std::wstring>{L"WEBFORMDATA\\alpha\\deep"}));
    wchar_t name[TVRDB_MAX_NAME + 1];
    DWORD length = 0;
    EXPECT_EQ(m_db->EnumKey(Path(L"Other"), 0, name, &length), DWORD{TVRDB_E_NO_MORE_ITEMS});
}

TEST_F(DatabaseContract, NamesIgnoreCaseAndKeepFirstSpelling) {
    ASSERT_EQ(m_db->CreateKey(Path(L"ELEMENT\\Page")), DWORD{TVRDB_OK});
    ASSERT_EQ(m_db->CreateKey(Path(L"element\\PAGE\\Sub")), DWORD{TVRDB_OK});
    EXPECT_EQ(m_db->OpenKey(Path(L"Element\\page")), DWORD{TVRDB_OK});
    EXPECT_EQ(SubKeys(L"element"), (std::vector<std::wstring>{L"ELEMENT\\Page"}));
    EXPECT_EQ(SubKeys(L"element\\page"), (std::vector<std::wstring>{L"ELEMENT\\Page\\Sub"}));

    ASSERT_EQ(SetDword(*m_db, L"ELEMENT", L"Count", 1), DWORD{TVRDB_OK});
    ASSERT_EQ(SetDword(*m_db, L"element", L"COUNT", 2), DWORD{TVRDB_OK});
    DWORD value = 0;
    EXPECT_EQ(QueryDword(*m_db, L"Element", L"count", value), DWORD{TVRDB_OK});
    EXPECT_EQ(value, 2u);
    EXPECT_EQ(ValueNames(L"ELEMENT"), std::vector<std::wstring>{L"Count"});
}

TEST_F(DatabaseContract, NonAsciiNamesFoldToo) {
    ASSERT_EQ(m_db->CreateKey(Path(L"\u00e9t\u00e9\\\u30c6\u30b9\u30c8")), DWORD{TVRDB_OK});
    EXPECT_EQ(m_db->OpenKey(Path(L"\u00c9T\u00c9\\\u30c6\u30b9\u30c8")), DWORD{TVRDB_OK});
}

TEST_F(DatabaseContract, MissingThingsAnswerFourAndEight) {
    EXPECT_EQ(m_db->OpenKey(Path(L"Nope")), DWORD{TVRDB_E_KEY_NOT_FOUND});
    EXPECT_EQ(m_db->DeleteKey(Path(L"Nope")), DWORD{TVRDB_E_KEY_NOT_FOUND});
    DWORD value = 0;
    EXPECT_EQ(QueryDword(*m_db, L"Nope", L"v", value), DWORD{TVRDB_E_KEY_NOT_FOUND});
    EXPECT_EQ(SetDword(*m_db, L"Nope", L"v", 1), DWORD{TVRDB_E_KEY_NOT_FOUND});

    ASSERT_EQ(m_db->CreateKey(Path(L"Here")), DWORD{TVRDB_OK});
    EXPECT_EQ(QueryDword(*m_db, L"Here", L"v", value), DWORD{TVRDB_E_VALUE_NOT_FOUND});
    EXPECT_EQ(m_db->DeleteValue(Path(L"Here"), L"v"), DWORD{TVRDB_E_VALUE_NOT_FOUND});
    ASSERT_EQ(SetDword(*m_db, L"Here", L"v", 7), DWORD{TVRDB_OK});
    EXPECT_EQ(m_db->DeleteValue(Path(L"HERE"), L"V"), DWORD{TVRDB_OK});
    EXPECT_EQ(QueryDword(*m_db, L"Here", L"v", value), DWORD{TVRDB_E_VALUE_NOT_FOUND});
    wchar_t name[100];
    DWORD length = 100, size = 0;
    EXPECT_EQ(m_db->EnumValue(Path(L"Here"), 0, name, &length, nullptr, nullptr, &size),
              DWORD{TVRDB_E_NO_MORE_ITEMS});
}

TEST_F(DatabaseContract, DeleteKeyRemovesEverythingBelow) {
    ASSERT_EQ(m_db->CreateKey(Path(L"A\\B\\C\\D")), DWORD{TVRDB_OK});
    ASSERT_EQ(SetDword(*m_db, L"A\\B\\C", L"v", 1), DWORD{TVRDB_OK});
    ASSERT_EQ(m_db->CreateKey(Path(L"A\\Keep")), DWORD{TVRDB_OK});

    EXPECT_EQ(m_db->DeleteKey(Path(L"a\\b")), DWORD{TVRDB_OK});
    EXPECT_EQ(m_db->OpenKey(Path(L"A\\B\\C\\D")), DWORD{TVRDB_E_KEY_NOT_FOUND});
    EXPECT_EQ(m_db->OpenKey(Path(L"A\\B")), DWORD{TVRDB_E_KEY_NOT_FOUND});
    EXPECT_EQ(SubKeys(L"A"), std::vector<std::wstring>{L"A\\Keep"});
    // A key created again starts empty.
    ASSERT_EQ(m_db->CreateKey(Path(L"A\\B\\C")), DWORD{TVRDB_OK});
    EXPECT_TRUE(ValueNames(L"A\\B\\C").empty());
    EXPECT_EQ(m_db->DeleteKey(KeyPath()), DWORD{TVRDB_E_INVALID_ARG});
}

TEST_F(DatabaseContract, ValuesEnumerateInFirstWrittenOrder) {
    ASSERT_EQ(m_db->CreateKey(Path(L"K")), DWORD{TVRDB_OK});
    for (const wchar_t* name : {L"zeta", L"Alpha", L"mid", L"beta"}) {
        ASSERT_EQ(SetDword(*m_db, L"K", name, 1), DWORD{TVRDB_OK});
    }
    ASSERT_EQ(SetDword(*m_db, L"K", L"ALPHA", 2), DWORD{TVRDB_OK}); // replaced in place
    ASSERT_EQ(m_db->DeleteValue(Path(L"K"), L"mid"), DWORD{TVRDB_OK});
    ASSERT_EQ(SetDword(*m_db, L"K", L"new", 3), DWORD{TVRDB_OK});
    EXPECT_EQ(ValueNames(L"K"), (std::vector<std::wstring>{L"zeta", L"Alpha", L"beta", L"new"}));
    // The same after a replay.
    m_db.reset();
    m_db = OpenInstance(m_folder.Path(), L"contract");
    ASSERT_TRUE(m_db);
    EXPECT_EQ(ValueNames(L"K"), (std::vector<std::wstring>{L"zeta", L"Alpha", L"beta", L"new"}));
    DWORD value = 0;
    EXPECT_EQ(QueryDword(*m_db, L"K", L"alpha", value), DWORD{TVRDB_OK});
    EXPECT_EQ(value, 2u);
}

TEST_F(DatabaseContract, ThreeTypesRoundTripAndBadOnesAreRefused) {
    ASSERT_EQ(m_db->CreateKey(Path(L"T")), DWORD{TVRDB_OK});
    const BYTE raw[5] = {0, 1, 2, 0xFE, 0xFF};
    ASSERT_EQ(m_db->SetValue(Path(L"T"), L"bin", TVRDB_TYPE_BINARY, raw, 5), DWORD{TVRDB_OK});
    ASSERT_EQ(m_db->SetValue(Path(L"T"), L"empty", TVRDB_TYPE_BINARY, nullptr, 0), DWORD{TVRDB_OK});
    ASSERT_EQ(SetDword(*m_db, L"T", L"num", 0x12345678), DWORD{TVRDB_OK});
    ASSERT_EQ(SetString(L"T", L"text", L"\u65e5\u672c abc"), DWORD{TVRDB_OK});

    BYTE buffer[64];
    DWORD type = 99, size = sizeof(buffer);
    ASSERT_EQ(m_db->QueryValue(Path(L"T"), L"bin", &type, buffer, &size), DWORD{TVRDB_OK});
    EXPECT_EQ(type, DWORD{TVRDB_TYPE_BINARY});
    EXPECT_EQ(std::vector<BYTE>(buffer, buffer + size), std::vector<BYTE>(raw, raw + 5));
    size = sizeof(buffer);
    ASSERT_EQ(m_db->QueryValue(Path(L"T"), L"empty", &type, buffer, &size), DWORD{TVRDB_OK});
    EXPECT_EQ(size, 0u);
    DWORD num = 0;
    ASSERT_EQ(QueryDword(*m_db, L"T", L"num", num), DWORD{TVRDB_OK});
    EXPECT_EQ(num, 0x12345678u);
    type = TVRDB_TYPE_DWORD; // callers preset the type: it is overwritten
    size = sizeof(buffer);
    ASSERT_EQ(m_db->QueryValue(Path(L"T"), L"text", &type, buffer, &size), DWORD{TVRDB_OK});
    EXPECT_EQ(type, DWORD{TVRDB_TYPE_STRING});
    EXPECT_EQ(std::wstring(reinterpret_cast<wchar_t*>(buffer), size / 2), L"\u65e5\u672c abc");

    const BYTE four[4] = {};
    EXPECT_EQ(m_db->SetValue(Path(L"T"), L"x", 3, four, 4), DWORD{TVRDB_E_INVALID_ARG});
    EXPECT_EQ(m_db->SetValue(Path(L"T"), L"x", TVRDB_TYPE_DWORD, four, 3),
              DWORD{TVRDB_E_INVALID_ARG});
    EXPECT_EQ(m_db->SetValue(Path(L"T"), L"x", TVRDB_TYPE_DWORD, four, 8),
              DWORD{TVRDB_E_INVALID_ARG});
    EXPECT_EQ(m_db->SetValue(Path(L"T"), L"x", TVRDB_TYPE_STRING, four, 3),
              DWORD{TVRDB_E_INVALID_ARG});
    EXPECT_EQ(m_db->SetValue(Path(L"T"), L"x", TVRDB_TYPE_BINARY, nullptr, 4),
              DWORD{TVRDB_E_INVALID_ARG});
    std::vector<BYTE> huge(TVRDB_MAX_VALUE_SIZE + 1);
    EXPECT_EQ(m_db->SetValue(Path(L"T"), L"x", TVRDB_TYPE_BINARY, huge.data(),
                             static_cast<DWORD>(huge.size())),
              DWORD{TVRDB_E_INVALID_ARG});
    EXPECT_EQ(
        m_db->SetValue(Path(L"T"), L"x", TVRDB_TYPE_BINARY, huge.data(), TVRDB_MAX_VALUE_SIZE),
        DWORD{TVRDB_OK});
    EXPECT_EQ(m_db->SetValue(Path(L"T"), std::wstring(TVRDB_MAX_NAME + 1, L'n'), TVRDB_TYPE_BINARY,
                             raw, 1),
              DWORD{TVRDB_E_NAME_TOO_LONG});
    EXPECT_EQ(ValueNames(L"T"),
              (std::vector<std::wstring>{L"bin", L"empty", L"num", L"text", L"x"}));
}

// Buffers: size queries, too small (nothing written past or into it), exact fit.
TEST_F(DatabaseContract, QueryValueNeverWritesPastTheBuffer) {
    ASSERT_EQ(m_db->CreateKey(Path(L"B")), DWORD{TVRDB_OK});
    ASSERT_EQ(SetString(L"B", L"s", L"0123456789"), DWORD{TVRDB_OK}); // 20 bytes

    DWORD type = 0, size = 0;
    EXPECT_EQ(m_db->QueryValue(Path(L"B"), L"s", &type, nullptr, &size), DWORD{TVRDB_OK});
    EXPECT_EQ(size, 20u);

    BYTE buffer[32];
    std::memset(buffer, 0xAB, sizeof(buffer));
    size = 19;
    EXPECT_EQ(m_db->QueryValue(Path(L"B"), L"s", &type, buffer, &size), DWORD{TVRDB_E_MORE_DATA});
    EXPECT_EQ(size, 20u);
    EXPECT_TRUE(std::all_of(buffer, buffer + 32, [](BYTE b) { return b == 0xAB; }));

    size = 20;
    EXPECT_EQ(m_db->QueryValue(Path(L"B"), L"s", &type, buffer, &size), DWORD{TVRDB_OK});
    EXPECT_EQ(std::memcmp(buffer, L"0123456789", 20), 0);
    EXPECT_TRUE(std::all_of(buffer + 20, buffer + 32, [](BYTE b) { return b == 0xAB; }));
    EXPECT_EQ(m_db->QueryValue(Path(L"B"), L"s", &type, buffer, nullptr),
              DWORD{TVRDB_E_INVALID_ARG});
}

TEST_F(DatabaseContract, EnumValueReportsNeededSizesWithoutWriting) {
    ASSERT_EQ(m_db->CreateKey(Path(L"E")), DWORD{TVRDB_OK});
    const BYTE data[20] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};
    ASSERT_EQ(m_db->SetValue(Path(L"E"), L"FormName", TVRDB_TYPE_BINARY, data, 20),
              DWORD{TVRDB_OK});

    wchar_t name[16];
    BYTE buffer[24];
    auto reset = [&] {
        std::fill(std::begin(name), std::end(name), L'#');
        std::memset(buffer, 0xCD, sizeof(buffer));
    };
    // Data buffer too small (callers offer 4 bytes for DWORDs).
    reset();
    DWORD length = 16, type = 77, size = 4;
    EXPECT_EQ(m_db->EnumValue(Path(L"E"), 0, name, &length, &type, buffer, &size),
              DWORD{TVRDB_E_MORE_DATA});
    EXPECT_EQ(size, 20u);
    EXPECT_TRUE(std::all_of(buffer, buffer + 24, [](BYTE b) { return b == 0xCD; }));
    EXPECT_TRUE(std::all_of(name, name + 16, [](wchar_t c) { return c == L'#'; }));
    // Name buffer one short of the terminator.
    reset();
    length = 8, size = 24;
    EXPECT_EQ(m_db->EnumValue(Path(L"E"), 0, name, &length, &type, buffer, &size),
              DWORD{TVRDB_E_MORE_DATA});
    EXPECT_EQ(length, 9u);
    EXPECT_TRUE(std::all_of(name, name + 16, [](wchar_t c) { return c == L'#'; }));
    // Exact fit.
    reset();
    length = 9, size = 20;
    ASSERT_EQ(m_db->EnumValue(Path(L"E"), 0, name, &length, &type, buffer, &size), DWORD{TVRDB_OK});
    EXPECT_EQ(length, 8u);
    EXPECT_EQ(std::wstring(name), L"FormName");
    EXPECT_EQ(name[9], L'#');
    EXPECT_EQ(type, DWORD{TVRDB_TYPE_BINARY});
    EXPECT_EQ(std::memcmp(buffer, data, 20), 0);
    EXPECT_EQ(buffer[20], 0xCD);
    // Size query.
    length = 16, size = 0;
    ASSERT_EQ(m_db->EnumValue(Path(L"E"), 0, name, &length, &type, nullptr, &size),
              DWORD{TVRDB_OK});
    EXPECT_EQ(size, 20u);
}

TEST_F(DatabaseContract, LongestPathsFitTheEnumBuffer) {
    std::wstring parent(TVRDB_MAX_NAME - 2, L'p');
    ASSERT_EQ(m_db->CreateKey(Path((parent + L"\\c").c_str())), DWORD{TVRDB_OK});
    wchar_t name[TVRDB_MAX_NAME + 2];
    name[TVRDB_MAX_NAME + 1] = L'#';
    DWORD length = 4096;
    ASSERT_EQ(m_db->EnumKey(Path(parent.c_str()), 0, name, &length), DWORD{TVRDB_OK});
    EXPECT_EQ(length, DWORD{TVRDB_MAX_NAME});
    EXPECT_EQ(name[TVRDB_MAX_NAME], L'\0');
    EXPECT_EQ(name[TVRDB_MAX_NAME + 1], L'#');
}

} // namespace
} // namespace brisbel::test
