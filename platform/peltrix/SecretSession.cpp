#include "SecretSession.h"

#include "Peltrix.h"
#include "SettingsKey.h"
#include "StoreFormat.h"

#include <cwchar>

namespace peltrix {
namespace {

DWORD CopyOut(const std::vector<BYTE>& data, BYTE* buffer, DWORD* size) {
    if (size == nullptr) return TVRAUTH_E_INVALID_ARG;
    const DWORD needed = static_cast<DWORD>(data.size());
    if (buffer == nullptr) {
        *size = needed;
        return TVRAUTH_OK;
    }
    if (*size < needed) {
        *size = needed;
        return TVRAUTH_E_MORE_DATA;
    }
    if (needed > 0) CopyMemory(buffer, data.data(), needed);
    *size = needed;
    return TVRAUTH_OK;
}

// Decimal digits without a leading zero, fitting a DWORD; advances pos.
bool ParseNumber(const std::wstring& text, std::size_t& pos, DWORD& value) {
    const std::size_t start = pos;
    unsigned long long number = 0;
    while (pos < text.size() && text[pos] >= L'0' && text[pos] <= L'9') {
        number = number * 10 + static_cast<unsigned>(text[pos] - L'0');
        if (number > MAXDWORD) return false;
        ++pos;
    }
    if (pos == start) return false;
    if (text[start] == L'0' && pos - start > 1) return false;
    value = static_cast<DWORD>(number);
    return true;
}

} // namespace

bool SecretSession::ParseSecretName(const std::wstring& name, DWORD& kind, DWORD& index) {
    const std::size_t prefixLength = std::wcslen(kSecretPrefix);
    if (name.size() <= prefixLength) return false;
    if (::CompareStringOrdinal(name.c_str(), static_cast<int>(prefixLength), kSecretPrefix,
                               static_cast<int>(prefixLength), TRUE) != CSTR_EQUAL) {
        return false;
    }
    std::size_t pos = prefixLength;
    DWORD parsedKind = 0;
    DWORD parsedIndex = 0;
    if (!ParseNumber(name, pos, parsedKind)) return false;
    if (pos >= name.size() || name[pos] != L'_') return false;
    ++pos;
    if (!ParseNumber(name, pos, parsedIndex)) return false;
    if (pos != name.size()) return false;
    if (parsedKind < kFirstDeviceKind || parsedKind > kLastDeviceKind || parsedIndex == 0) {
        return false;
    }
    kind = parsedKind;
    index = parsedIndex;
    return true;
}

std::wstring SecretSession::SecretName(DWORD kind, DWORD index) {
    return kSecretPrefix + std::to_wstring(kind) + L"_" + std::to_wstring(index);
}

DWORD SecretSession::Load(const std::wstring& settingsRoot, SecretSession& out) {
    SecretSession loaded;
    SettingsKey key;
    DWORD status = SettingsKey::Open(settingsRoot + L"\\" + kSecretsKey, false, key);
    if (status == TVRAUTH_E_NOT_FOUND) {
        out = std::move(loaded);
        return TVRAUTH_OK;
    }
    if (status != TVRAUTH_OK) return status;

    status = key.ReadBinary(kAuthRuleValue, loaded.m_rule);
    if (status != TVRAUTH_OK && status != TVRAUTH_E_NOT_FOUND) return status;

    DWORD cacheTime = 0;
    status = key.ReadDword(kPinCacheTimeValue, cacheTime);
    if (status == TVRAUTH_OK) loaded.m_pinCacheTime = cacheTime;
    if (status != TVRAUTH_OK && status != TVRAUTH_E_NOT_FOUND) return status;

    std::vector<std::wstring> names;
    status = key.ValueNames(names);
    if (status != TVRAUTH_OK) return status;
    for (const std::wstring& name : names) {
        DWORD kind = 0;
        DWORD index = 0;
        if (!ParseSecretName(name, kind, index)) continue;
        std::vector<BYTE> secret;
        status = key.ReadBinary(name, secret);
        // Deleted by another process since the enumeration: simply absent.
        if (status == TVRAUTH_E_NOT_FOUND) continue;
        if (status != TVRAUTH_OK) return status;
        loaded.m_secrets[{kind, index}] = std::move(secret);
    }
    out = std::move(loaded);
    return TVRAUTH_OK;
}

DWORD SecretSession::GetAuthRule(BYTE* buffer, DWORD* size) const {
    return CopyOut(m_rule, buffer, size);
}

DWORD SecretSession::GetAuthSecret(DWORD deviceKind, DWORD index, BYTE* buffer, DWORD* size) const {
    if (size == nullptr) return TVRAUTH_E_INVALID_ARG;
    const auto found = m_secrets.find({deviceKind, index});
    if (found == m_secrets.end()) return TVRAUTH_E_NOT_FOUND;
    return CopyOut(found->second, buffer, size);
}

DWORD SecretSession::GetPinCacheTime(DWORD* value) const {
    if (value == nullptr) return TVRAUTH_E_INVALID_ARG;
    if (!m_pinCacheTime) return TVRAUTH_E_NOT_FOUND;
    *value = *m_pinCacheTime;
    return TVRAUTH_OK;
}

} // namespace peltrix
