#include "Passphrases.h"

namespace {

// The pieces; each passphrase is only ever whole in wiped memory.
constexpr wchar_t kOuterHead[] = L"Kobel:TORVA/";
constexpr wchar_t kOuterTail[] = L"/seal-1";
constexpr wchar_t kDeviceHead[] = L"Kobel:DevInfo#";
constexpr unsigned kDeviceNumber = 20260401;
constexpr wchar_t kDeviceTail[] = L"#seal-1";

SecretText Join(const std::wstring& head, const std::wstring& middle, const std::wstring& tail) {
    std::wstring whole = head + middle + tail;
    SecretText text(whole);
    ::SecureZeroMemory(whole.data(), whole.size() * sizeof(wchar_t));
    return text;
}

} // namespace

SecretText MachinePassphrase(const std::wstring& accountDomainSid) {
    return Join(kOuterHead, accountDomainSid, kOuterTail);
}

SecretText UserPassphrase(const std::wstring& userSid) {
    return Join(kOuterHead, userSid, kOuterTail);
}

SecretText DevicePassphrase() {
    return Join(kDeviceHead, std::to_wstring(kDeviceNumber), kDeviceTail);
}
