// Answers the authentication library's PIN dialog for one case number as a
// user at the keyboard would, for the life of the object: kAllow types the
// test PIN (kTestPin) and presses OK, kDeny presses Cancel (the call then
// answers TVRAUTH_E_CANCELLED). Only dialogs of this process and of the
// processes it started (the relay, a program under test) are answered, so
// test programs that run at the same time in one Wine prefix never answer
// each other's dialogs; the case is read from the dialog's window property.
// A dialog of a case without an answer is left to whoever drives it.
//
// The test PIN is made the current user's PIN when none is set. Applied() is
// false when another PIN is set (the answers could not be right) or the
// watcher could not start; the dialog is then still closed, by Cancel, so
// that no test waits for ever. Objects for the same case nest: the newest
// answers, and the one before it answers again when it goes.
#pragma once

#include <windows.h>

#include <string>

namespace peltrix::test {

// The PIN that the answers type, made the user's PIN when none is set.
inline constexpr wchar_t kTestPin[] = L"246813";

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
    unsigned long long m_token = 0;
    bool m_applied = false;
};

} // namespace peltrix::test
