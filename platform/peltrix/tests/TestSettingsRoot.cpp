#include "TestSettingsRoot.h"

#include "Win32Handles.h"

#include <atomic>

namespace {

constexpr wchar_t kTestParent[] = L"Software\\Kobel\\PeltrixTest";

void CollectValues(HKEY key, std::vector<std::vector<BYTE>>& out) {
    for (DWORD index = 0;; ++index) {
        wchar_t name[512];
        DWORD nameLength = ARRAYSIZE(name);
        BYTE data[8192];
        DWORD dataSize = sizeof(data);
        const LSTATUS status =
            ::RegEnumValueW(key, index, name, &nameLength, nullptr, nullptr, data, &dataSize);
        if (status != ERROR_SUCCESS) break;
        out.emplace_back(data, data + dataSize);
    }
    for (DWORD index = 0;; ++index) {
        wchar_t name[512];
        DWORD nameLength = ARRAYSIZE(name);
        if (::RegEnumKeyExW(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        torva::UniqueRegKey sub;
        if (::RegOpenKeyExW(key, name, 0, KEY_READ, sub.put()) == ERROR_SUCCESS) {
            CollectValues(sub.get(), out);
        }
    }
}

} // namespace

TestSettingsRoot::TestSettingsRoot() {
    static std::atomic<unsigned> serial{0};
    m_path = std::wstring(kTestParent) + L"\\" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
             std::to_wstring(++serial);
    // A root left behind by a crashed run with the same process id.
    ::RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, m_path.c_str());
}

TestSettingsRoot::~TestSettingsRoot() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, m_path.c_str());
    // Fails while another test process still has its root there; that is fine.
    ::RegDeleteKeyW(HKEY_CURRENT_USER, kTestParent);
}

std::vector<std::vector<BYTE>> TestSettingsRoot::AllValueData() const {
    std::vector<std::vector<BYTE>> values;
    torva::UniqueRegKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, KEY_READ, key.put()) ==
        ERROR_SUCCESS) {
        CollectValues(key.get(), values);
    }
    return values;
}
