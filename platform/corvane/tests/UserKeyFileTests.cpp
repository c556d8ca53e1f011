#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "CipherFormat.h"
#include "Corvane.h"
#include "TempFolder.h"
#include "UserKeyFile.h"
#include "Win32Handles.h"

using corvane::SecureBuffer;
using corvane::UserKeyFile;
namespace format = corvane::format;

namespace {

std::vector<BYTE> ReadFileBytes(const std::wstring& path) {
    torva::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
    std::vector<BYTE> bytes(format::kMaxKeyFileSize);
    DWORD read = 0;
    if (!file || !ReadFile(file.get(), bytes.data(), format::kMaxKeyFileSize, &read, nullptr))
        return {};
    bytes.resize(read);
    return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::vector<BYTE>& bytes) {
    torva::UniqueFile file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(file);
    ASSERT_TRUE(
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

std::vector<BYTE> KeyBytes(const SecureBuffer& key) {
    return std::vector<BYTE>(key.data(), key.data() + key.size());
}

TEST(UserKeyFile, FirstLoadCreatesAProtectedFileLaterLoadsReadIt) {
    TempFolder folder;
    const std::wstring path = folder.File(L"UserKey.bin");
    SecureBuffer first;
    ASSERT_EQ(TVRCT_OK, UserKeyFile(path).Load(first));
    ASSERT_EQ(format::kKeySize, first.size());

    std::vector<BYTE> file = ReadFileBytes(path);
    ASSERT_GT(file.size(), sizeof(format::KeyFileHeader));
    EXPECT_EQ(0, std::memcmp(file.data(), format::kKeyFileMagic, 4));
    // The key is not stored in the clear.
    auto found = std::search(file.begin(), file.end(), first.data(), first.data() + 8);
    EXPECT_EQ(file.end(), found);

    SecureBuffer second;
    ASSERT_EQ(TVRCT_OK, UserKeyFile(path).Load(second));
    EXPECT_EQ(KeyBytes(first), KeyBytes(second));
}

TEST(UserKeyFile, DamagedFileIsReportedAndNeverReplaced) {
    TempFolder folder;
    const std::wstring path = folder.File(L"UserKey.bin");
    SecureBuffer key;
    ASSERT_EQ(TVRCT_OK, UserKeyFile(path).Load(key));
    std::vector<BYTE> damaged = ReadFileBytes(path);
    // The blob's sealed secret and signature sit at its end.
    damaged[damaged.size() - 1] ^= 0x40;
    WriteFileBytes(path, damaged);

    SecureBuffer again;
    EXPECT_EQ(TVRCT_E_KEY_UNAVAILABLE, UserKeyFile(path).Load(again));
    EXPECT_EQ(damaged, ReadFileBytes(path));
}

TEST(UserKeyFile, ForeignFileIsRejected) {
    TempFolder folder;
    const std::wstring path = folder.File(L"UserKey.bin");
    WriteFileBytes(path, std::vector<BYTE>(200, 0x11));
    SecureBuffer key;
    EXPECT_EQ(TVRCT_E_KEY_UNAVAILABLE, UserKeyFile(path).Load(key));
}

TEST(UserKeyFile, MissingFolderIsReportedNotCreated) {
    TempFolder folder;
    SecureBuffer key;
    EXPECT_EQ(TVRCT_E_KEY_UNAVAILABLE, UserKeyFile(folder.File(L"absent\\UserKey.bin")).Load(key));
}

TEST(UserKeyFile, DefaultPathIsInTheUsersProfile) {
    std::wstring path;
    ASSERT_EQ(TVRCT_OK, UserKeyFile::DefaultPath(path));
    EXPECT_NE(std::wstring::npos, path.find(L"\\Kobel\\Corvane\\UserKey.bin"));
    std::wstring folder = path.substr(0, path.rfind(L'\\'));
    DWORD attributes = GetFileAttributesW(folder.c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace
