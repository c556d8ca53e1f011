// A fresh folder under the temp folder for one test, removed with its files
// afterwards; and small helpers the storage tests share.
#pragma once

#include "Database.h"
#include "KeyPath.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace brisbel::test {

class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::wstring& Path() const noexcept { return m_path; }
    // The generation file of database name.
    std::wstring FileOf(const std::wstring& name, uint32_t generation) const;
    // File names in the folder, sorted.
    std::vector<std::wstring> Files() const;

private:
    std::wstring m_path;
};

// A database object of its own (not shared through the registry), as a
// separate process would have it; null when Open fails (status says why).
std::unique_ptr<Database> OpenInstance(const std::wstring& folder, const std::wstring& name,
                                       DWORD* status = nullptr);

KeyPath Path(const wchar_t* text);

std::vector<uint8_t> ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::vector<uint8_t>& bytes);

// Every key (full path) and value (name, type, bytes) as text, in
// enumeration order: equal dumps mean equal databases.
std::wstring Dump(Database& db);

DWORD QueryDword(Database& db, const wchar_t* key, const wchar_t* name, DWORD& value);
DWORD SetDword(Database& db, const wchar_t* key, const wchar_t* name, DWORD value);

} // namespace brisbel::test
