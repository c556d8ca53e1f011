#include "Authenticator.h"

#include "Peltrix.h"
#include "PinDialog.h"
#include "PinStore.h"
#include "ResourceModule.h"
#include "resource.h"

namespace peltrix {

std::wstring Authenticator::ReasonText(DWORD authCase) {
    switch (authCase) {
    case AUTHCASE_EXPORT:
    case AUTHCASE_REGIST_WEBFORM:
    case AUTHCASE_INPUT_PASSWORD:
    case AUTHCASE_START_MANAGER:
        return LoadResourceString(IDS_REASON_BASE + authCase);
    default:
        return LoadResourceString(IDS_REASON_GENERAL);
    }
}

HWND Authenticator::OwnerForCallingThread() {
    HWND owner = ::GetActiveWindow();
    if (owner == nullptr) {
        HWND foreground = ::GetForegroundWindow();
        if (foreground != nullptr &&
            ::GetWindowThreadProcessId(foreground, nullptr) == ::GetCurrentThreadId()) {
            owner = foreground;
        }
    }
    if (owner == nullptr) return nullptr;
    // A child window cannot own a dialog; its top-level window can.
    return ::GetAncestor(owner, GA_ROOT);
}

DWORD Authenticator::Authenticate(DWORD authCase) const {
    // The record is read once: a PIN changed while the dialog is open takes
    // effect at the next call.
    PinRecord record;
    const DWORD status = PinStore(m_root).Load(record);
    if (status == TVRAUTH_E_NOT_FOUND) return TVRAUTH_E_NO_PIN;
    if (status != TVRAUTH_OK) return status;

    PinDialog dialog(authCase, ReasonText(authCase),
                     [&record](const std::wstring& pin) { return PinStore::Check(record, pin); });
    const DWORD result = dialog.Show(OwnerForCallingThread());
    SecureZeroMemory(&record, sizeof(record));
    return result;
}

} // namespace peltrix
