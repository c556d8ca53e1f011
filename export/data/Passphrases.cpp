#include "Passphrases.h"

#include <cwchar>

namespace {

// The pieces; each passphrase is only ever whole in wiped memory.
constexpr wchar_t kOuterHead[] = L"Kobel:TORVA/";
constexpr wchar_t kOuterTail[] = L"/seal-1";
constexpr wchar_t kDeviceHead[] = L"Kobel:DevInfo#";
constexpr unsigned kDeviceNumber = 20260401;
constexpr wchar_t kDeviceTail[] = L"#seal-1";

// The pieces are copied once into a block of the whole's size: no partly
// joined text is left behind in freed memory.
SecretText Join(const wchar_t* head, const wchar_t* middle, size_t middleLength,
                const wchar_t* tail) {
    const size_t headLength = wcslen(head);
    const size_t tailLength = wcslen(tail);
    WipedVector<wchar_t> whole(headLength + middleLength + tailLength);
    wmemcpy(whole.data(), head, headLength);
    if (middleLength) wmemcpy(whole.data() + headLength, middle, middleLength);
    wmemcpy(whole.data() + headLength + middleLength, tail, tailLength);
    return SecretText(whole.data(), whole.size());
}

} // namespace

SecretText MachinePassphrase(const std::wstring& accountDomainSid) {
    return Join(kOuterHead, accountDomainSid.data(), accountDomainSid.size(), kOuterTail);
}

SecretText UserPassphrase(const std::wstring& userSid) {
    return Join(kOuterHead, userSid.data(), userSid.size(), kOuterTail);
}

SecretText DevicePassphrase() {
    wchar_t number[16] = {};
    const int length = std::swprintf(number, 16, L"%u", kDeviceNumber);
    SecretText text =
        Join(kDeviceHead, number, length > 0 ? static_cast<size_t>(length) : 0, kDeviceTail);
    ::SecureZeroMemory(number, sizeof number);
    return text;
}
