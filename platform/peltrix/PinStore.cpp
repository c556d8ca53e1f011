#include "PinStore.h"

#include "Peltrix.h"
#include "PinHasher.h"
#include "SettingsKey.h"

#include <vector>

namespace peltrix {

bool PinStore::IsAcceptablePin(const std::wstring& pin) {
    if (pin.empty() || pin.size() > kMaxPinChars) return false;
    for (const wchar_t c : pin) {
        if (c < L' ' || c == 0x7F) return false;
    }
    return true;
}

DWORD PinStore::SetPin(const std::wstring& pin, std::uint32_t iterations) {
    if (!IsAcceptablePin(pin)) return TVRAUTH_E_INVALID_ARG;
    if (iterations < kMinIterations || iterations > kMaxIterations) return TVRAUTH_E_INVALID_ARG;
    PinRecord record{};
    record.magic = kPinRecordMagic;
    record.version = kPinRecordVersion;
    record.iterations = iterations;
    DWORD status = PinHasher::MakeSalt(record.salt);
    if (status != TVRAUTH_OK) return status;
    status = PinHasher::Derive(pin, record.salt, iterations, record.hash);
    if (status != TVRAUTH_OK) return status;
    SettingsKey key;
    status = SettingsKey::Open(m_root, true, key);
    if (status != TVRAUTH_OK) return status;
    return key.WriteBinary(kPinRecordValue, reinterpret_cast<const BYTE*>(&record), sizeof(record));
}

DWORD PinStore::ClearPin() {
    SettingsKey key;
    const DWORD status = SettingsKey::Open(m_root, false, key);
    if (status != TVRAUTH_OK) return status;
    return key.DeleteValue(kPinRecordValue);
}

DWORD PinStore::Load(PinRecord& record) const {
    SettingsKey key;
    DWORD status = SettingsKey::Open(m_root, false, key);
    if (status != TVRAUTH_OK) return status;
    std::vector<BYTE> data;
    status = key.ReadBinary(kPinRecordValue, data);
    if (status != TVRAUTH_OK) return status;
    if (data.size() != sizeof(PinRecord)) return TVRAUTH_E_STORAGE;
    PinRecord loaded;
    CopyMemory(&loaded, data.data(), sizeof(loaded));
    if (loaded.magic != kPinRecordMagic || loaded.version != kPinRecordVersion) {
        return TVRAUTH_E_STORAGE;
    }
    if (loaded.iterations < kMinIterations || loaded.iterations > kMaxIterations) {
        return TVRAUTH_E_STORAGE;
    }
    record = loaded;
    return TVRAUTH_OK;
}

DWORD PinStore::Check(const PinRecord& record, const std::wstring& pin) {
    // An unacceptable PIN can never have been stored; it is simply wrong.
    if (!IsAcceptablePin(pin)) return TVRAUTH_E_WRONG_PIN;
    std::uint8_t hash[kHashBytes];
    const DWORD status = PinHasher::Derive(pin, record.salt, record.iterations, hash);
    if (status != TVRAUTH_OK) return status;
    const bool same = PinHasher::ConstantTimeEqual(hash, record.hash, kHashBytes);
    SecureZeroMemory(hash, sizeof(hash));
    return same ? TVRAUTH_OK : TVRAUTH_E_WRONG_PIN;
}

DWORD PinStore::Verify(const std::wstring& pin) const {
    PinRecord record;
    const DWORD status = Load(record);
    if (status == TVRAUTH_E_NOT_FOUND) return TVRAUTH_E_NO_PIN;
    if (status != TVRAUTH_OK) return status;
    return Check(record, pin);
}

} // namespace peltrix
