// The diagnosis tool's application: one instance per session, the "DBMGR"
// settings, and the dialog that fits the user, run once.
#pragma once

#include "COstravoSettings.h"
#include "Framework.h"
#include "InstanceGuard.h"

namespace ostravo {

class COstravoApp : public CWinApp {
public:
    COstravoApp();

    BOOL InitInstance() override;
    int ExitInstance() override;

    const COstravoSettings& Settings() const noexcept { return m_settings; }

    static constexpr wchar_t kMutexName[] = L"OSTRAVO_MUTEX";

private:
    COstravoSettings m_settings;
    // The mutex kMutexName, held until the process ends.
    torva::InstanceGuard m_instance{torva::InstanceGuard::Kind::Mutex, kMutexName};
};

} // namespace ostravo
