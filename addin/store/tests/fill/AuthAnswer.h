// Presets how the authentication library answers one authentication case
// for the life of the object (its test facility under HKCU
// Software\Kobel\Peltrix), and puts back what was there before: other test
// programs may use the same case at the same time.
#pragma once

#include <windows.h>

#include <string>

class AuthAnswer {
public:
    static constexpr DWORD kAllow = 1;
    static constexpr DWORD kDeny = 2;

    AuthAnswer(DWORD authCase, DWORD answer);
    ~AuthAnswer();
    AuthAnswer(const AuthAnswer&) = delete;
    AuthAnswer& operator=(const AuthAnswer&) = delete;

    bool Applied() const noexcept { return m_applied; }

private:
    std::wstring m_name;
    bool m_hadValue = false;
    DWORD m_previous = 0;
    bool m_applied = false;
};
