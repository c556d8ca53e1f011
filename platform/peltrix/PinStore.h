// The PIN's salted hash under a settings root. Every call reads or writes the
// registry afresh, so a PIN set by another process is seen at the next call.
#pragma once

#include "StoreFormat.h"

#include <windows.h>

#include <string>

namespace peltrix {

class PinStore {
public:
    explicit PinStore(std::wstring settingsRoot) : m_root(std::move(settingsRoot)) {}

    // 1 to kMaxPinChars characters, none of them a control character.
    static bool IsAcceptablePin(const std::wstring& pin);

    // Stores a new salt and hash; TVRAUTH_E_INVALID_ARG for an unacceptable PIN.
    [[nodiscard]] DWORD SetPin(const std::wstring& pin,
                               std::uint32_t iterations = kDefaultIterations);
    // TVRAUTH_E_NOT_FOUND when no PIN was set.
    [[nodiscard]] DWORD ClearPin();
    // TVRAUTH_E_NOT_FOUND when no PIN is set; TVRAUTH_E_STORAGE for a record
    // that is not one this library wrote (wrong size, magic, version or rounds).
    [[nodiscard]] DWORD Load(PinRecord& record) const;
    // TVRAUTH_OK for the right PIN, TVRAUTH_E_WRONG_PIN otherwise.
    [[nodiscard]] static DWORD Check(const PinRecord& record, const std::wstring& pin);
    // Load and Check; TVRAUTH_E_NO_PIN when no PIN is set.
    [[nodiscard]] DWORD Verify(const std::wstring& pin) const;

private:
    std::wstring m_root;
};

} // namespace peltrix
