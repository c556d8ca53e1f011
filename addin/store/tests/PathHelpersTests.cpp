// The path helpers against a scratch registry key and this process's own
// environment, restored after each case.
#include "PathHelpers.h"
#include "Win32Handles.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

constexpr const wchar_t* kScratchKey = L"Software\\Kobel\\TORVA-store-tests";

std::optional<std::wstring> ReadVariable(const wchar_t* name) {
    wchar_t buffer[32768];
    const DWORD length = ::GetEnvironmentVariableW(name, buffer, 32768);
    if (length == 0 && ::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    return std::wstring(buffer, length);
}

class EnvironmentKeeper {
public:
    EnvironmentKeeper() : m_temp(ReadVariable(L"TEMP")), m_tmp(ReadVariable(L"TMP")) {}
    ~EnvironmentKeeper() {
        ::SetEnvironmentVariableW(L"TEMP", m_temp ? m_temp->c_str() : nullptr);
        ::SetEnvironmentVariableW(L"TMP", m_tmp ? m_tmp->c_str() : nullptr);
    }

private:
    std::optional<std::wstring> m_temp, m_tmp;
};

class PathHelpers : public ::testing::Test {
protected:
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kScratchKey); }
    void StoreLocation(const std::wstring& text) {
        torva::UniqueRegKey key;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kScratchKey, 0, nullptr, 0, KEY_SET_VALUE,
                                    nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegSetValueExW(key.get(), L"Location", 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(text.c_str()),
                                   DWORD((text.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
};

} // namespace

TEST_F(PathHelpers, LongInstallFolderComesBackWholeWithBackslash) {
    const std::wstring folder = L"C:\\" + std::wstring(197, L'd');
    ASSERT_EQ(folder.size(), 200u);
    StoreLocation(folder);
    EXPECT_EQ(addin_detail::ReadLocationValue(HKEY_CURRENT_USER, kScratchKey, 0), folder + L"\\");
}

TEST_F(PathHelpers, MissingKeyOrValueGivesEmpty) {
    EXPECT_EQ(addin_detail::ReadLocationValue(HKEY_CURRENT_USER, kScratchKey, 0), L"");
    StoreLocation(L"x");
    torva::UniqueRegKey key;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, kScratchKey, 0, KEY_SET_VALUE, key.put()),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegDeleteValueW(key.get(), L"Location"), ERROR_SUCCESS);
    EXPECT_EQ(addin_detail::ReadLocationValue(HKEY_CURRENT_USER, kScratchKey, 0), L"");
}

TEST_F(PathHelpers, TempFolderIsPreferredAndAlwaysGetsABackslash) {
    EnvironmentKeeper keep;
    ::SetEnvironmentVariableW(L"TEMP", L"C:\\tmpA\\");
    ::SetEnvironmentVariableW(L"TMP", L"C:\\tmpB");
    std::wstring path;
    GetTempDirPath(path);
    EXPECT_EQ(path, L"C:\\tmpA\\\\");
}

TEST_F(PathHelpers, EmptyTempFallsBackToTmp) {
    EnvironmentKeeper keep;
    ::SetEnvironmentVariableW(L"TEMP", L"");
    ::SetEnvironmentVariableW(L"TMP", L"C:\\tmpB");
    std::wstring path;
    GetTempDirPath(path);
    EXPECT_EQ(path, L"C:\\tmpB\\");

    ::SetEnvironmentVariableW(L"TEMP", nullptr);
    path.clear();
    GetTempDirPath(path);
    EXPECT_EQ(path, L"C:\\tmpB\\") << "an unset TEMP is not taken literally";
}

TEST_F(PathHelpers, NoVariablesFallBackToLocalAppData) {
    EnvironmentKeeper keep;
    ::SetEnvironmentVariableW(L"TEMP", nullptr);
    ::SetEnvironmentVariableW(L"TMP", nullptr);
    std::wstring path = L"unchanged";
    GetTempDirPath(path);
    ASSERT_NE(path, L"unchanged");
    EXPECT_GT(path.size(), 3u);
    EXPECT_EQ(path.back(), L'\\');
    EXPECT_EQ(::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              DWORD(FILE_ATTRIBUTE_DIRECTORY));
}
