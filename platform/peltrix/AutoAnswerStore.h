// TEST FACILITY, for automated runs only: a DWORD value "AutoAnswer<case>"
// under the settings root answers TvrAuth_AuthenticateUser for that case in
// advance, without any dialog: 1 = allow, 2 = deny (TVRAUTH_E_DENIED),
// absent or 0 = ask the user as usual. Any other value also asks the user, so
// a damaged setting can never let anyone in.
#pragma once

#include "StoreFormat.h"

#include <windows.h>

#include <string>

namespace peltrix {

class AutoAnswerStore {
public:
    explicit AutoAnswerStore(std::wstring settingsRoot) : m_root(std::move(settingsRoot)) {}

    static std::wstring ValueName(DWORD authCase);

    // AutoAnswer::Ask when nothing usable is set.
    [[nodiscard]] DWORD Get(DWORD authCase, AutoAnswer& answer) const;
    // Ask removes the value.
    [[nodiscard]] DWORD Set(DWORD authCase, AutoAnswer answer);

private:
    std::wstring m_root;
};

} // namespace peltrix
