// The installed module registered with regsvr32 for a test's life, and every
// registry place its registration writes put back as it was found.
#pragma once

#include "RegistryTestSupport.h"

#include <windows.h>

#include <optional>

namespace module_tests {

// Takes a snapshot of the places registration changes (the machine's toolbar
// list, the extension key, the user's toolbar layouts) and, when asked,
// registers the installed Quorvel.dll. On destruction the module is
// unregistered (its COM keys go) and those places get their snapshot back.
class AddinRegistration {
public:
    enum class Start { Registered, SnapshotOnly };
    explicit AddinRegistration(Start start = Start::Registered);
    ~AddinRegistration();
    AddinRegistration(const AddinRegistration&) = delete;
    AddinRegistration& operator=(const AddinRegistration&) = delete;

    // regsvr32's exit code for the registration made at construction
    // (0: registered); -1 when none was made or the module is not installed.
    DWORD Result() const noexcept { return m_result; }

private:
    std::optional<ValueSet> m_toolbar, m_webBrowser;
    bool m_extensionsExisted = false, m_userToolbarExisted = false;
    DWORD m_result = static_cast<DWORD>(-1);
};

} // namespace module_tests
