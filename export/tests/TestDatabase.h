// A database opened by a test to set up or inspect what the code under test
// reads, and a DbApi that fails chosen calls the way a busy database does.
#pragma once

#include "DbApi.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class TestDatabase {
public:
    // The user's database when name is empty.
    explicit TestDatabase(const std::wstring& name = L"");
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    void DeleteKey(const std::wstring& path);
    bool KeyExists(const std::wstring& path);
    void SetRaw(const std::wstring& key, const std::wstring& name, DWORD type,
                const std::vector<BYTE>& data);
    void SetDword(const std::wstring& key, const std::wstring& name, int32_t value);
    void SetText(const std::wstring& key, const std::wstring& name, const std::wstring& text);
    // -1 when missing.
    int32_t Dword(const std::wstring& key, const std::wstring& name);
    bool Value(const std::wstring& key, const std::wstring& name, DWORD* type,
               std::vector<BYTE>& data);
    std::vector<std::wstring> SubKeys(const std::wstring& key);

private:
    TVRDB_HDB m_db = nullptr;
};

// Calls pass through to the library, except that OpenKey of a path for which
// failOpen answers non-zero returns that result instead; counts OpenKey calls.
struct FaultyDb {
    static const DbApi& Api();
    static std::function<DWORD(const std::wstring& path)> failOpen;
    static int openKeyCalls;
    static void Reset();
};

// Every key path the user's database holds below root, and every value, as
// text: equal dumps mean nothing was written.
std::wstring DumpTree(const std::wstring& root);
