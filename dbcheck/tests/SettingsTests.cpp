// Reading the "DBMGR" settings: defaults, types, terminators and limits.
// The rules run on a scratch key of the test's own; only the check for a
// missing product key reads the product's key.
#include "COstravoSettings.h"
#include "Win32Handles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <string>

namespace ostravo::test {
namespace {

class Settings : public ::testing::Test {
protected:
    Settings() {
        wchar_t name[96];
        std::swprintf(name, std::size(name), L"Software\\TorvaTest\\settings-%lu-%lu\\DBMGR",
                      static_cast<unsigned long>(::GetCurrentProcessId()),
                      static_cast<unsigned long>(::GetTickCount()));
        m_path = name;
    }
    ~Settings() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, m_path.substr(0, m_path.rfind(L'\\')).c_str());
    }
    HKEY Key() {
        if (!m_key) {
            EXPECT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0,
                                        KEY_ALL_ACCESS, nullptr, m_key.put(), nullptr),
                      ERROR_SUCCESS);
        }
        return m_key.get();
    }
    void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD bytes) {
        ASSERT_EQ(::RegSetValueExW(Key(), name, 0, type, static_cast<const BYTE*>(data), bytes),
                  ERROR_SUCCESS);
    }
    void SetText(const wchar_t* name, const std::wstring& text, DWORD type = REG_SZ) {
        SetRaw(name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    void SetDword(const wchar_t* name, DWORD value) {
        SetRaw(name, REG_DWORD, &value, sizeof(value));
    }
    COstravoSettings Load() {
        COstravoSettings settings;
        settings.LoadFrom(HKEY_CURRENT_USER, m_path.c_str(), 0, L"C:\\Program Files\\TORVA\\");
        return settings;
    }
    void ExpectDefaults(const COstravoSettings& s) {
        EXPECT_EQ(s.PipePath(), L"\\\\.\\pipe\\vivavudazuva");
        EXPECT_EQ(s.RetryCount(), 5u);
        EXPECT_EQ(s.RetryTimer(), 200u);
        EXPECT_EQ(s.DbPath(), L"C:\\Program Files\\TORVA\\Storage");
    }

    std::wstring m_path;
    torva::UniqueRegKey m_key;
};

TEST_F(Settings, NoKeyGivesTheDefaults) {
    ExpectDefaults(Load());
}

TEST_F(Settings, ProductKeyMissingGivesTheDefaultPipeAndFolders) {
    torva::UniqueRegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, COstravoSettings::kKeyPath, 0,
                        KEY_QUERY_VALUE | KEY_WOW64_32KEY, key.put()) == ERROR_SUCCESS) {
        GTEST_SKIP() << "this machine has a DBMGR key";
    }
    COstravoSettings settings;
    settings.Load(L"C:\\TORVA");
    ExpectDefaults([&] {
        COstravoSettings s;
        s.Load(L"C:\\Program Files\\TORVA");
        return s;
    }());
    EXPECT_EQ(settings.DbPath(), L"C:\\TORVA\\Storage");
}

TEST_F(Settings, EmptyValuesGiveTheDefaults) {
    SetText(L"PipeName", L"");
    SetText(L"DbPath", L"");
    ExpectDefaults(Load());
}

TEST_F(Settings, ValuesAreRead) {
    SetText(L"PipeName", L"mypipe");
    SetDword(L"RetryCount", 9);
    SetDword(L"RetryTimer", 50);
    SetText(L"DbPath", L"D:\\Data\\Storage");
    const auto s = Load();
    EXPECT_EQ(s.PipePath(), L"\\\\.\\pipe\\mypipe");
    EXPECT_EQ(s.RetryCount(), 9u);
    EXPECT_EQ(s.RetryTimer(), 50u);
    EXPECT_EQ(s.DbPath(), L"D:\\Data\\Storage");
}

TEST_F(Settings, UnboundedRetryTimerIsCapped) {
    SetDword(L"RetryTimer", 0xFFFFFFFF);
    EXPECT_EQ(Load().RetryTimer(), COstravoSettings::kMaxRetryTimer);
    SetDword(L"RetryTimer", 0);
    EXPECT_EQ(Load().RetryTimer(), 0u);
}

TEST_F(Settings, TheWholeReplyWaitIsBounded) {
    const DWORD timers[] = {0, 1, 200, 0xFFFFFFFF};
    for (const DWORD timer : timers) {
        SCOPED_TRACE(timer);
        SetDword(L"RetryCount", 0xFFFFFFFF);
        SetDword(L"RetryTimer", timer);
        const COstravoSettings s = Load();
        EXPECT_LE(static_cast<unsigned long long>(s.RetryCount()) *
                      std::max<DWORD>(s.RetryTimer(), 1),
                  COstravoSettings::kMaxReplyWaitMs);
        EXPECT_GT(s.RetryCount(), 0u) << "a reply can still be waited for";
    }
    SetDword(L"RetryCount", 9);
    SetDword(L"RetryTimer", 50);
    EXPECT_EQ(Load().RetryCount(), 9u) << "a count within the bound is kept";
}

TEST_F(Settings, WrongTypesCountAsMissing) {
    SetDword(L"PipeName", 7);
    SetText(L"RetryCount", L"9");
    const BYTE three[3] = {1, 2, 3};
    SetRaw(L"RetryTimer", REG_BINARY, three, 3);
    SetRaw(L"DbPath", REG_BINARY, L"D:\\x", 8);
    ExpectDefaults(Load());
    // A DWORD-typed value of the wrong length is not a number either.
    SetRaw(L"RetryCount", REG_DWORD, three, 3);
    EXPECT_EQ(Load().RetryCount(), 5u);
}

TEST_F(Settings, TextWithoutTerminatorIsReadToItsLength) {
    const std::wstring pipe = L"unterminated";
    SetRaw(L"PipeName", REG_SZ, pipe.data(), static_cast<DWORD>(pipe.size() * sizeof(wchar_t)));
    const std::wstring path = L"D:\\Data\\Storage";
    SetRaw(L"DbPath", REG_SZ, path.data(), static_cast<DWORD>(path.size() * sizeof(wchar_t)));
    const auto s = Load();
    EXPECT_EQ(s.PipePath(), L"\\\\.\\pipe\\unterminated");
    EXPECT_EQ(s.DbPath(), L"D:\\Data\\Storage");
}

TEST_F(Settings, TextBeyondTheLimitCountsAsMissing) {
    SetText(L"PipeName", std::wstring(511, L'p'));
    SetText(L"DbPath", L"D:\\" + std::wstring(600, L'd'));
    ExpectDefaults(Load());
    SetText(L"PipeName", std::wstring(510, L'p'));
    SetText(L"DbPath", L"D:\\" + std::wstring(507, L'd'));
    const auto s = Load();
    EXPECT_EQ(s.PipePath().size(), 9u + 510u);
    EXPECT_EQ(s.DbPath().size(), 510u);
}

TEST_F(Settings, TrailingSeparatorsOfDbPathAreTrimmed) {
    SetText(L"DbPath", L"D:\\Data\\Storage\\");
    EXPECT_EQ(Load().DbPath(), L"D:\\Data\\Storage");
    SetText(L"DbPath", L"D:\\Data\\Storage\\\\/");
    EXPECT_EQ(Load().DbPath(), L"D:\\Data\\Storage");
    SetText(L"DbPath", L"\\\\");
    EXPECT_EQ(Load().DbPath(), L"C:\\Program Files\\TORVA\\Storage");
}

TEST_F(Settings, ExpandableDbPathIsExpanded) {
    ::SetEnvironmentVariableW(L"OSTRAVO_TEST_ROOT", L"E:\\Root");
    SetText(L"DbPath", L"%OSTRAVO_TEST_ROOT%\\Storage\\", REG_EXPAND_SZ);
    EXPECT_EQ(Load().DbPath(), L"E:\\Root\\Storage");
}

} // namespace
} // namespace ostravo::test
