#include "SampleDatabase.h"

#include "ServiceProcess.h"

#include "Database.h"
#include "StorageFormat.h"

#include <gtest/gtest.h>

namespace dbservice::test {

void WriteSample(const std::wstring& folder, const std::wstring& name) {
    std::wstring identity;
    ASSERT_EQ(brisbel::Database::IdentityOf(folder, name, identity), 0u);
    brisbel::Database db(folder, name, identity);
    ASSERT_EQ(db.Open(), 0u);
    brisbel::KeyPath key;
    ASSERT_EQ(brisbel::KeyPath::Parse(L"K", key), 0u);
    ASSERT_EQ(db.CreateKey(key), 0u);
    for (DWORD i = 0; i < 5; ++i) {
        ASSERT_EQ(db.SetValue(key, L"v" + std::to_wstring(i), TVRDB_TYPE_DWORD,
                              reinterpret_cast<const BYTE*>(&i), sizeof(i)),
                  0u);
    }
}

std::wstring FileOf(const std::wstring& folder, const std::wstring& name) {
    return folder + L'\\' + name + L".00000001.tvdb";
}

void FlipFirstRecordByte(const std::wstring& folder, const std::wstring& name) {
    auto bytes = ReadBytes(FileOf(folder, name));
    const size_t payload =
        sizeof(brisbel::format::FileHeader) + sizeof(brisbel::format::RecordHeader);
    ASSERT_GT(bytes.size(), payload + 100);
    bytes[payload + 2] ^= 0x01;
    WriteBytes(FileOf(folder, name), bytes);
}

void TearTail(const std::wstring& folder, const std::wstring& name) {
    auto bytes = ReadBytes(FileOf(folder, name));
    ASSERT_GT(bytes.size(), 100u);
    bytes.resize(bytes.size() - 5);
    WriteBytes(FileOf(folder, name), bytes);
}

} // namespace dbservice::test
