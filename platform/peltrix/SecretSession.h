// What one secret session serves: a snapshot of <root>\Secrets taken when the
// session is opened, so that a caller's size query and the read that follows
// always agree even while the store is being rewritten.
//
// Buffer contract of the Get calls (size is in/out, in bytes):
//  - buffer null: TVRAUTH_OK and the size of the data in *size;
//  - *size smaller than the data: TVRAUTH_E_MORE_DATA and the needed size in
//    *size, nothing written;
//  - otherwise the data is copied and *size is set to its length.
// A missing rule is served as TVRAUTH_OK with size 0 (callers treat size 0 as
// "no rule"); a missing secret entry, a device kind outside 1-4 or index 0 is
// TVRAUTH_E_NOT_FOUND; a missing PIN cache time is TVRAUTH_E_NOT_FOUND.
// Immutable once loaded: any number of threads may read one session.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace peltrix {

class SecretSession {
public:
    // A missing Secrets key (or settings root) gives an empty session.
    // TVRAUTH_E_STORAGE when a value has the wrong type.
    [[nodiscard]] static DWORD Load(const std::wstring& settingsRoot, SecretSession& out);

    // Parses "Secret<kind>_<index>" (letter case ignored, decimal without
    // leading zeros, kind 1-4, index from 1); false for any other name.
    static bool ParseSecretName(const std::wstring& name, DWORD& kind, DWORD& index);
    static std::wstring SecretName(DWORD kind, DWORD index);

    [[nodiscard]] DWORD GetAuthRule(BYTE* buffer, DWORD* size) const;
    [[nodiscard]] DWORD GetAuthSecret(DWORD deviceKind, DWORD index, BYTE* buffer,
                                      DWORD* size) const;
    [[nodiscard]] DWORD GetPinCacheTime(DWORD* value) const;

private:
    std::vector<BYTE> m_rule;
    std::map<std::pair<DWORD, DWORD>, std::vector<BYTE>> m_secrets;
    std::optional<DWORD> m_pinCacheTime;
};

} // namespace peltrix
