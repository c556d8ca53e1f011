#include "AuthAnswer.h"

namespace {

constexpr wchar_t kSettings[] = L"Software\\Kobel\\Peltrix";

} // namespace

AuthAnswer::AuthAnswer(DWORD authCase, DWORD answer)
    : m_name(L"AutoAnswer" + std::to_wstring(authCase)) {
    DWORD size = sizeof m_previous;
    m_hadValue = ::RegGetValueW(HKEY_CURRENT_USER, kSettings, m_name.c_str(), RRF_RT_REG_DWORD,
                                nullptr, &m_previous, &size) == ERROR_SUCCESS;
    m_applied = ::RegSetKeyValueW(HKEY_CURRENT_USER, kSettings, m_name.c_str(), REG_DWORD, &answer,
                                  sizeof answer) == ERROR_SUCCESS;
}

AuthAnswer::~AuthAnswer() {
    if (m_hadValue) {
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kSettings, m_name.c_str(), REG_DWORD, &m_previous,
                          sizeof m_previous);
    } else {
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettings, m_name.c_str());
    }
}
