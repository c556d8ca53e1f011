#include "AutoAnswerStore.h"

#include "Peltrix.h"
#include "SettingsKey.h"

namespace peltrix {

std::wstring AutoAnswerStore::ValueName(DWORD authCase) {
    return kAutoAnswerPrefix + std::to_wstring(authCase);
}

DWORD AutoAnswerStore::Get(DWORD authCase, AutoAnswer& answer) const {
    answer = AutoAnswer::Ask;
    SettingsKey key;
    DWORD status = SettingsKey::Open(m_root, false, key);
    if (status == TVRAUTH_E_NOT_FOUND) return TVRAUTH_OK;
    if (status != TVRAUTH_OK) return status;
    DWORD value = 0;
    status = key.ReadDword(ValueName(authCase), value);
    if (status == TVRAUTH_E_NOT_FOUND) return TVRAUTH_OK;
    if (status != TVRAUTH_OK) return status;
    if (value == static_cast<DWORD>(AutoAnswer::Allow)) answer = AutoAnswer::Allow;
    if (value == static_cast<DWORD>(AutoAnswer::Deny)) answer = AutoAnswer::Deny;
    return TVRAUTH_OK;
}

DWORD AutoAnswerStore::Set(DWORD authCase, AutoAnswer answer) {
    SettingsKey key;
    if (answer == AutoAnswer::Ask) {
        DWORD status = SettingsKey::Open(m_root, false, key);
        if (status == TVRAUTH_E_NOT_FOUND) return TVRAUTH_OK;
        if (status != TVRAUTH_OK) return status;
        status = key.DeleteValue(ValueName(authCase));
        return status == TVRAUTH_E_NOT_FOUND ? TVRAUTH_OK : status;
    }
    const DWORD status = SettingsKey::Open(m_root, true, key);
    if (status != TVRAUTH_OK) return status;
    return key.WriteDword(ValueName(authCase), static_cast<DWORD>(answer));
}

} // namespace peltrix
