// Encrypted values of CExpData. The browser's window is disabled while the
// crypto library may show its own prompt, so that the user cannot navigate
// away under it; m_nBrowserEnabled tells the band object that this is so.
#include "CExpData.h"
#include "TraceScope.h"

#include "Trace.h"
#include "WebFormLayout.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {
constexpr DWORD kTypeRaw = 0;
constexpr DWORD kTypeText = 2;
constexpr DWORD kValueNotFound = 4;
} // namespace

void CExpData::DisableBrowser() {
    TORVA_TRACE_SCOPE(L"CExpData::DisableBrowser");
    if (!m_pBrowser) TORVA_RETURN_VOID();
    SHANDLE_PTR window = 0;
    if (m_pBrowser->get_HWND(&window) == S_FALSE) {
        m_pBrowser = nullptr;
        TORVA_RETURN_VOID();
    }
    if (window) {
        m_hDisabledWindow = reinterpret_cast<HWND>(window);
        ::EnableWindow(m_hDisabledWindow, FALSE);
    }
    m_nBrowserEnabled = 0;
}

void CExpData::EnableBrowser() {
    TORVA_TRACE_SCOPE(L"CExpData::EnableBrowser");
    // Whatever the browser answers now, the crypto call is over: a flag left
    // at 0 would make the band object cancel every navigation.
    m_nBrowserEnabled = 1;
    // The window disabled comes back even when the browser has left the
    // store meanwhile (its band let it go during the relay wait).
    const HWND disabled = std::exchange(m_hDisabledWindow, nullptr);
    if (disabled && ::IsWindow(disabled)) ::EnableWindow(disabled, TRUE);
    if (!m_pBrowser) TORVA_RETURN_VOID();
    SHANDLE_PTR window = 0;
    if (m_pBrowser->get_HWND(&window) != S_OK || !window) TORVA_RETURN_VOID();
    ::EnableWindow(reinterpret_cast<HWND>(window), TRUE);
    ::SetForegroundWindow(reinterpret_cast<HWND>(window));
}

std::wstring CExpData::GetStringValue_Decord(const ZentripCell* db, ZentripCell** key,
                                             const wchar_t* name) {
    TORVA_TRACE_SCOPE(L"CExpData::GetStringValue_Decord");
    std::wstring value;
    (void)ReadClearPassword(db, key, name, value);
    TORVA_TRACE_DETAIL(value.empty() ? L"* sValue is Empty *" : L"* return sValue success. *");
    return value;
}

bool CExpData::ReadClearPassword(const ZentripCell* db, ZentripCell** key, const wchar_t* name,
                                 std::wstring& value) {
    value.clear();
    DWORD type = 0;
    DWORD size = 0;
    if (!key) return false;
    const DWORD queried = Zentrip_QueryValue(db, *key, name, &type, nullptr, &size);
    // No value, or an empty one: nothing was hidden, so nothing is missing.
    if (queried == kValueNotFound || (queried == 0 && size == 0)) return true;
    if (queried != 0) return false;
    std::vector<BYTE> stored(size, 0);
    DWORD read = size;
    if (Zentrip_QueryValue(db, *key, name, &type, stored.data(), &read) != 0 ||
        m_nCryptUsable != 1) {
        return false;
    }
    bool clear = false;
    DisableBrowser();
    // The key is closed before the decryption, which may wait for the user.
    if (Zentrip_CloseKey(db, key) == 0) {
        std::vector<BYTE> plain(size_t{size} * 4 + sizeof(wchar_t), 0);
        DWORD produced = 0;
        const DWORD capacity = size * 4;
        if (Zentrip_Crypt(2, stored.data(), size, plain.data(), capacity, &produced) != 0) {
            m_nCryptUsable = 0;
        } else {
            const auto* text = reinterpret_cast<const wchar_t*>(plain.data());
            size_t chars = 0;
            const size_t limit = std::min<size_t>(produced, capacity) / sizeof(wchar_t);
            while (chars < limit && text[chars])
                ++chars;
            value.assign(text, chars);
            clear = true;
        }
    }
    EnableBrowser();
    return clear;
}

DWORD CExpData::SetStringValue_Encord(const ZentripCell* db, const ZentripCell* key,
                                      const wchar_t* name, const std::wstring& text) {
    TORVA_TRACE_SCOPE(L"CExpData::SetStringValue_Encord");
    // Nothing to hide: an empty password is stored as an empty plain text,
    // and the crypto library is not asked (it refuses empty input).
    if (text.empty()) TORVA_RETURN_INT(Zentrip_SetValue(db, key, name, kTypeText, nullptr, 0));
    if (m_nCryptUsable == 0) TORVA_RETURN_INT(0);
    DisableBrowser();
    const DWORD inputBytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    const DWORD capacity = static_cast<DWORD>(text.size() * 4 + 64);
    std::vector<BYTE> cipher(capacity, 0);
    DWORD produced = 0;
    const DWORD result = Zentrip_Crypt(1, reinterpret_cast<const BYTE*>(text.data()), inputBytes,
                                       cipher.data(), capacity, &produced);
    EnableBrowser();
    if (result != 0 || produced > capacity) {
        m_nCryptUsable = 0;
        TORVA_RETURN_INT(kZentripFailure);
    }
    TORVA_RETURN_INT(Zentrip_SetValue(db, key, name, kTypeRaw, cipher.data(), produced));
}

DWORD CExpData::CreateValue_Encord(const ZentripCell* db, const ZentripCell* key,
                                   const wchar_t* name, const std::wstring& text) {
    TORVA_TRACE_SCOPE(L"CExpData::CreateValue_Encord");
    if (!db) TORVA_RETURN_INT(kZentripFailure);
    TORVA_RETURN_INT(SetStringValue_Encord(db, key, name, text));
}

bool CExpData::WritePassword(const ZentripCell* db, const ZentripCell* key,
                             const std::wstring& text) {
    TORVA_TRACE_SCOPE(L"CExpData::WritePassword");
    // Without encryption a password is skipped, not stored in clear; for the
    // caller that is a password not stored.
    if (!text.empty() && m_nCryptUsable != 1) TORVA_RETURN_BOOL(false);
    TORVA_RETURN_BOOL(CreateValue_Encord(db, key, torva::webform::kCtrlValue, text) == 0);
}
