// Answers the authentication library's PIN dialog in advance for one case
// number (its automation setting HKCU\Software\Kobel\Peltrix
// "AutoAnswer<case>": 1 allow, 2 deny), and puts back what was there before
// when it goes. Tests use case numbers of their own so that concurrent runs
// never change each other's answers.
#pragma once

#include <windows.h>

#include <string>

namespace peltrix::test {

class AutoAnswer {
public:
    static constexpr DWORD kAllow = 1;
    static constexpr DWORD kDeny = 2;

    AutoAnswer(DWORD authCase, DWORD answer);
    ~AutoAnswer();
    AutoAnswer(const AutoAnswer&) = delete;
    AutoAnswer& operator=(const AutoAnswer&) = delete;

    bool Applied() const noexcept { return m_applied; }

private:
    std::wstring m_name;
    bool m_applied = false;
    bool m_hadValue = false;
    DWORD m_previous = 0;
};

} // namespace peltrix::test
