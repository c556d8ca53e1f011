// Profile roots for the tests: each profile folder name maps to a scratch
// key under HKEY_CURRENT_USER instead of a loaded NTUSER.DAT.
#pragma once

#include "RegistryTestSupport.h"

#include <ProfileLayouts.h>
#include <ToolbarLayout.h>

#include <set>

namespace module_tests {

class ScratchHives : public ProfileHives {
public:
    explicit ScratchHives(const ScratchKey& scratch) : m_base(scratch.Sub(L"Users")) {}

    bool Open(const std::wstring&, const std::wstring& folderName, bool current,
              ProfileRoot& root) override {
        opened.push_back(folderName);
        if (current) currentSeen.insert(folderName);
        if (refused.count(folderName)) return false;
        HKEY key = nullptr;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, UserKey(folderName).c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return false;
        root.Own(key);
        return true;
    }

    std::wstring UserKey(const std::wstring& folderName) const {
        return m_base + L"\\" + folderName;
    }
    std::wstring WebBrowserKey(const std::wstring& folderName) const {
        return UserKey(folderName) + L"\\" + kWebBrowserToolbarKey;
    }
    std::optional<StoredValue> Layout(const std::wstring& folderName,
                                      const std::wstring& name) const {
        return ReadValue(HKEY_CURRENT_USER, WebBrowserKey(folderName), name);
    }
    void SetLayout(const std::wstring& folderName, const std::wstring& name,
                   const std::vector<BYTE>& bytes) const {
        WriteValue(HKEY_CURRENT_USER, WebBrowserKey(folderName), name, BinaryValue(bytes));
    }

    std::set<std::wstring> refused;
    std::vector<std::wstring> opened;
    std::set<std::wstring> currentSeen;

private:
    std::wstring m_base;
};

inline std::vector<BYTE> Bytes(const toolbar_layout::Layout& layout) {
    return std::vector<BYTE>(layout.begin(), layout.end());
}

} // namespace module_tests
