// The service's text settings are read as the database library and the
// diagnosis tool read theirs: plain or expandable text alike.
#include "SettingText.h"

#include "Win32Handles.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr wchar_t kTestKey[] = L"Software\\TorvaTests\\DbServiceSettings";

void Set(HKEY key, const wchar_t* name, DWORD type, const std::wstring& text) {
    ASSERT_EQ(::RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                               static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

std::wstring Read(const wchar_t* name, size_t maxChars = 510) {
    return dbservice::ReadSettingText(HKEY_CURRENT_USER, kTestKey, 0, name, maxChars);
}

} // namespace

TEST(SettingText, PlainAndExpandableTextAreReadAlike) {
    torva::UniqueRegKey key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                key.put(), nullptr),
              ERROR_SUCCESS);
    ::SetEnvironmentVariableW(L"DBSERVICE_TEST_ROOT", L"E:\\Root");
    Set(key.get(), L"Plain", REG_SZ, L"vivavudazuva");
    Set(key.get(), L"Expandable", REG_EXPAND_SZ, L"%DBSERVICE_TEST_ROOT%\\Storage");
    Set(key.get(), L"Long", REG_SZ, std::wstring(20, L'x'));
    const DWORD number = 5;
    ASSERT_EQ(::RegSetValueExW(key.get(), L"Number", 0, REG_DWORD,
                               reinterpret_cast<const BYTE*>(&number), sizeof(number)),
              ERROR_SUCCESS);

    EXPECT_EQ(Read(L"Plain"), L"vivavudazuva");
    EXPECT_EQ(Read(L"Expandable"), L"E:\\Root\\Storage");
    EXPECT_EQ(Read(L"Long", 19), L"") << "longer than allowed";
    EXPECT_EQ(Read(L"Long", 20), std::wstring(20, L'x'));
    EXPECT_EQ(Read(L"Number"), L"") << "not text";
    EXPECT_EQ(Read(L"Missing"), L"");
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kTestKey);
}
