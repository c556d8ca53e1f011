#include "Caller.h"

#include "Win32Handles.h"

#include <sddl.h>

#include <cstdlib>
#include <vector>

namespace dbservice {
namespace {

// Ends the impersonation on every path. A thread that cannot go back to the
// service's own identity must not serve anything more.
class Impersonation {
public:
    explicit Impersonation(HANDLE pipe) noexcept : m_active(::ImpersonateNamedPipeClient(pipe)) {}
    ~Impersonation() {
        if (m_active && !::RevertToSelf()) std::abort();
    }
    bool Active() const noexcept { return m_active; }

private:
    BOOL m_active;
};

} // namespace

Caller Caller::FromPipe(HANDLE pipe) noexcept {
    Caller caller;
    try {
        Impersonation impersonation(pipe);
        if (!impersonation.Active()) return caller;
        torva::UniqueHandle token;
        if (!::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, token.put())) return caller;
        DWORD bytes = 0;
        ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &bytes);
        if (bytes == 0) return caller;
        std::vector<BYTE> buffer(bytes);
        if (!::GetTokenInformation(token.get(), TokenUser, buffer.data(), bytes, &bytes)) {
            return caller;
        }
        wchar_t* text = nullptr;
        if (!::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid,
                                      &text)) {
            return caller;
        }
        torva::UniqueLocalMem owner(text);
        caller.sid = text;

        BYTE admins[SECURITY_MAX_SID_SIZE];
        DWORD size = sizeof(admins);
        BOOL member = FALSE;
        caller.administrator =
            ::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, admins, &size) &&
            ::CheckTokenMembership(token.get(), admins, &member) && member;
        caller.known = true;
    } catch (...) {
        caller = Caller();
    }
    return caller;
}

} // namespace dbservice
