#include "AutoAnswer.h"

#include "Win32Handles.h"

namespace peltrix::test {
namespace {

const wchar_t kSettingsKey[] = L"Software\\Kobel\\Peltrix";

torva::UniqueRegKey OpenSettings() {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                          nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return torva::UniqueRegKey();
    }
    return torva::UniqueRegKey(key);
}

} // namespace

AutoAnswer::AutoAnswer(DWORD authCase, DWORD answer) : m_name(L"AutoAnswer" + std::to_wstring(authCase)) {
    const torva::UniqueRegKey key = OpenSettings();
    if (!key) return;
    DWORD type = 0, size = sizeof m_previous;
    m_hadValue = ::RegQueryValueExW(key.get(), m_name.c_str(), nullptr, &type,
                                    reinterpret_cast<BYTE*>(&m_previous), &size) == ERROR_SUCCESS &&
                 type == REG_DWORD;
    m_applied = ::RegSetValueExW(key.get(), m_name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&answer),
                                 sizeof answer) == ERROR_SUCCESS;
}

AutoAnswer::~AutoAnswer() {
    if (!m_applied) return;
    const torva::UniqueRegKey key = OpenSettings();
    if (!key) return;
    if (m_hadValue) {
        ::RegSetValueExW(key.get(), m_name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&m_previous),
                         sizeof m_previous);
    } else {
        ::RegDeleteValueW(key.get(), m_name.c_str());
    }
}

} // namespace peltrix::test
