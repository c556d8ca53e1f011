#include "AdminTest.h"

#include "Win32Handles.h"

#include <vector>

namespace {
constexpr wchar_t kTorvaKey[] = L"SOFTWARE\\Kobel\\TORVA";
constexpr wchar_t kAdminUserValue[] = L"AdminUser";
} // namespace

BOOL IsAdminUserSetting() {
    const std::wstring sid = account_sid::CurrentUserSidText();
    if (sid.empty()) return FALSE;
    torva::UniqueRegKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kTorvaKey, 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY,
                        key.put()) != ERROR_SUCCESS) {
        return FALSE;
    }
    DWORD size = 0;
    if (::RegQueryValueExW(key.get(), kAdminUserValue, nullptr, nullptr, nullptr, &size) !=
            ERROR_SUCCESS ||
        size == 0) {
        return FALSE;
    }
    // Two spare zero characters: a value stored without terminator still reads
    // as a terminated text.
    std::vector<BYTE> value(size + 4, 0);
    DWORD readSize = size + 2;
    if (::RegQueryValueExW(key.get(), kAdminUserValue, nullptr, nullptr, value.data(), &readSize) !=
        ERROR_SUCCESS) {
        return FALSE;
    }
    return sid == reinterpret_cast<const wchar_t*>(value.data()) ? TRUE : FALSE;
}

namespace admin_test {

std::wstring AdministratorSidBeside(const std::wstring& accountSid) {
    const size_t dash = accountSid.rfind(L'-');
    if (dash == std::wstring::npos) return {};
    return accountSid.substr(0, dash + 1) + L"500";
}

BOOL IsAdministratorUserWith(account_sid::FirstAccountQuery query) {
    const std::wstring administrator =
        AdministratorSidBeside(account_sid::FirstLocalAccountSid(query));
    if (administrator.empty()) return FALSE;
    if (account_sid::CurrentUserSidText() == administrator) return TRUE;
    return IsAdminUserSetting();
}

} // namespace admin_test

BOOL IsAdministratorUser() {
    return admin_test::IsAdministratorUserWith(&account_sid::QueryFirstLocalAccount);
}
