#include "TestFolder.h"

#include "Win32Handles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cwchar>

namespace brisbel::test {

TestFolder::TestFolder() {
    static std::atomic<unsigned> serial{0};
    wchar_t temp[MAX_PATH];
    const DWORD length = ::GetTempPathW(MAX_PATH, temp);
    EXPECT_GT(length, 0u);
    wchar_t name[96];
    std::swprintf(name, std::size(name), L"brisbel-%lu-%lu-%u",
                  static_cast<unsigned long>(::GetCurrentProcessId()),
                  static_cast<unsigned long>(::GetTickCount()), serial.fetch_add(1));
    m_path = std::wstring(temp) + name;
    EXPECT_TRUE(::CreateDirectoryW(m_path.c_str(), nullptr)) << ::GetLastError();
}

TestFolder::~TestFolder() {
    for (const auto& file : Files())
        ::DeleteFileW((m_path + L'\\' + file).c_str());
    ::RemoveDirectoryW(m_path.c_str());
}

std::wstring TestFolder::FileOf(const std::wstring& name, uint32_t generation) const {
    wchar_t digits[16];
    std::swprintf(digits, std::size(digits), L".%08X.tvdb", static_cast<unsigned>(generation));
    return m_path + L'\\' + name + digits;
}

std::vector<std::wstring> TestFolder::Files() const {
    std::vector<std::wstring> files;
    WIN32_FIND_DATAW found{};
    torva::UniqueFind find(::FindFirstFileW((m_path + L"\\*").c_str(), &found));
    if (!find) return files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(found.cFileName);
    } while (::FindNextFileW(find.get(), &found));
    std::sort(files.begin(), files.end());
    return files;
}

std::unique_ptr<Database> OpenInstance(const std::wstring& folder, const std::wstring& name,
                                       DWORD* status) {
    std::wstring identity;
    DWORD result = Database::IdentityOf(folder, name, identity);
    auto db = std::make_unique<Database>(folder, name, identity);
    if (result == TVRDB_OK) result = db->Open();
    if (status) *status = result;
    return result == TVRDB_OK ? std::move(db) : nullptr;
}

KeyPath Path(const wchar_t* text) {
    KeyPath path;
    EXPECT_EQ(KeyPath::Parse(text, path), DWORD{TVRDB_OK}) << "bad test path";
    return path;
}

std::vector<uint8_t> ReadFileBytes(const std::wstring& path) {
    torva::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(file) << "cannot read the database file";
    std::vector<uint8_t> bytes;
    if (!file) return bytes;
    bytes.resize(::GetFileSize(file.get(), nullptr));
    DWORD read = 0;
    EXPECT_TRUE(
        ::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr));
    bytes.resize(read);
    return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    torva::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file) << "cannot write the database file";
    DWORD written = 0;
    ASSERT_TRUE(
        ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    ASSERT_EQ(written, bytes.size());
}

namespace {

void DumpKey(Database& db, const std::wstring& key, std::wstring& out) {
    const KeyPath path = Path(key.c_str());
    out += L"[" + key + L"]\n";
    std::vector<BYTE> data(TVRDB_MAX_VALUE_SIZE);
    for (DWORD i = 0;; ++i) {
        wchar_t name[TVRDB_MAX_NAME + 1];
        DWORD length = TVRDB_MAX_NAME + 1, type = 0, size = static_cast<DWORD>(data.size());
        const DWORD status = db.EnumValue(path, i, name, &length, &type, data.data(), &size);
        if (status != TVRDB_OK) {
            EXPECT_EQ(status, DWORD{TVRDB_E_NO_MORE_ITEMS});
            break;
        }
        wchar_t hex[3];
        out += std::wstring(name, length) + L"=" + std::to_wstring(type) + L":";
        for (DWORD b = 0; b < size; ++b) {
            std::swprintf(hex, 3, L"%02X", data[b]);
            out += hex;
        }
        out += L"\n";
    }
    wchar_t sub[TVRDB_MAX_NAME + 1];
    DWORD length = 0;
    for (DWORD i = 0; db.EnumKey(path, i, sub, &length) == TVRDB_OK; ++i)
        DumpKey(db, sub, out);
}

} // namespace

std::wstring Dump(Database& db) {
    std::wstring out;
    DumpKey(db, L"", out);
    return out;
}

DWORD QueryDword(Database& db, const wchar_t* key, const wchar_t* name, DWORD& value) {
    DWORD type = TVRDB_TYPE_STRING, size = sizeof(value);
    const DWORD status =
        db.QueryValue(Path(key), name, &type, reinterpret_cast<BYTE*>(&value), &size);
    if (status == TVRDB_OK && (type != TVRDB_TYPE_DWORD || size != sizeof(value))) {
        ADD_FAILURE() << "not a DWORD";
    }
    return status;
}

DWORD SetDword(Database& db, const wchar_t* key, const wchar_t* name, DWORD value) {
    return db.SetValue(Path(key), name, TVRDB_TYPE_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof(value));
}

} // namespace brisbel::test
