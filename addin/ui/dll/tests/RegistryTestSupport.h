// Scratch registry keys, value snapshots and temporary folders for the
// module's tests.
#pragma once

#include <windows.h>

#include <Win32Handles.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace module_tests {

struct StoredValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    bool operator==(const StoredValue& other) const {
        return type == other.type && data == other.data;
    }
};
using ValueSet = std::map<std::wstring, StoredValue>;

StoredValue TextValue(const std::wstring& text, DWORD type = REG_SZ);
StoredValue BinaryValue(const std::vector<BYTE>& bytes);

// The values of root\path by name; nullopt when the key does not exist.
std::optional<ValueSet> ReadValues(HKEY root, const std::wstring& path);
// The value names in enumeration order.
std::vector<std::wstring> ValueNames(HKEY root, const std::wstring& path);
bool KeyExists(HKEY root, const std::wstring& path);
// A text value without its terminator; nullopt when missing or not text.
std::optional<std::wstring> Text(HKEY root, const std::wstring& path,
                                 const std::wstring& name = L"");
void WriteValue(HKEY root, const std::wstring& path, const std::wstring& name,
                const StoredValue& value);
std::optional<StoredValue> ReadValue(HKEY root, const std::wstring& path, const std::wstring& name);
// Puts a key back as a snapshot had it: gone when it did not exist, else
// exactly the snapshot's values (sub keys are not touched).
void RestoreValues(HKEY root, const std::wstring& path, const std::optional<ValueSet>& snapshot);

// HKCU\Software\TorvaTests\QuorvelModule\<name>.<process id>, removed with
// everything below it at the end.
class ScratchKey {
public:
    explicit ScratchKey(const std::wstring& name);
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;
    ~ScratchKey();
    const std::wstring& Path() const { return m_path; }
    std::wstring Sub(const std::wstring& relative) const { return m_path + L"\\" + relative; }

private:
    std::wstring m_path;
};

// A fresh folder under the temporary folder, removed with its content.
class TempFolder {
public:
    explicit TempFolder(const std::wstring& name);
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();
    const std::wstring& Path() const { return m_path; }
    std::wstring MakeSub(const std::wstring& name) const;

private:
    std::wstring m_path;
};

} // namespace module_tests
