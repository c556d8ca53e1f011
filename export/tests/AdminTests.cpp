#include "AdminTest.h"

#include "Win32Handles.h"

#include <gtest/gtest.h>

#include <cwctype>

namespace {

constexpr wchar_t kTorvaKey[] = L"SOFTWARE\\Kobel\\TORVA";

// Sets HKLM "AdminUser" (32-bit view) for one test and removes it afterwards.
class AdminUserValue {
public:
    explicit AdminUserValue(const std::wstring& text) {
        EXPECT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kTorvaKey, 0, nullptr, 0,
                                    KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, m_key.put(), nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(::RegSetValueExW(m_key.get(), L"AdminUser", 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(text.c_str()),
                                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    ~AdminUserValue() { ::RegDeleteValueW(m_key.get(), L"AdminUser"); }

private:
    torva::UniqueRegKey m_key;
};

std::wstring OtherCase(std::wstring text) {
    for (auto& c : text)
        c = std::iswupper(c) ? std::towlower(c) : std::towupper(c);
    return text;
}

// NetUserEnum stand-ins: success with no account, and a failure.
NET_API_STATUS WINAPI NoAccounts(LPCWSTR, DWORD, DWORD, LPBYTE* buffer, DWORD, LPDWORD read,
                                 LPDWORD total, PDWORD) {
    ::NetApiBufferAllocate(16, reinterpret_cast<void**>(buffer));
    *read = 0;
    *total = 0;
    return NERR_Success;
}
NET_API_STATUS WINAPI NoAccountsNoBuffer(LPCWSTR, DWORD, DWORD, LPBYTE* buffer, DWORD, LPDWORD read,
                                         LPDWORD total, PDWORD) {
    *buffer = nullptr;
    *read = 0;
    *total = 0;
    return NERR_Success;
}
NET_API_STATUS WINAPI Refused(LPCWSTR, DWORD, DWORD, LPBYTE* buffer, DWORD, LPDWORD read,
                              LPDWORD total, PDWORD) {
    *buffer = nullptr;
    *read = *total = 0;
    return ERROR_ACCESS_DENIED;
}
BOOL NoFirstAccount(std::wstring*) {
    return FALSE;
}

} // namespace

TEST(CurrentUserSid, IsTheTokenUsersSidAsText) {
    LPWSTR sid = nullptr;
    ASSERT_EQ(GetCurrentUserSid(&sid), 1);
    torva::UniqueLocalMem owner(sid);
    EXPECT_EQ(std::wstring(sid).rfind(L"S-1-", 0), 0u);
    EXPECT_EQ(account_sid::CurrentUserSidText(), sid);
    EXPECT_EQ(GetCurrentUserSid(nullptr), 0);
}

TEST(AdminUserSetting, MatchesOnlyTheExactSid) {
    const std::wstring sid = account_sid::CurrentUserSidText();
    ASSERT_FALSE(sid.empty());
    EXPECT_FALSE(IsAdminUserSetting()); // no value
    {
        AdminUserValue value(sid);
        EXPECT_TRUE(IsAdminUserSetting());
    }
    {
        AdminUserValue value(OtherCase(sid));
        ASSERT_NE(OtherCase(sid), sid);
        EXPECT_FALSE(IsAdminUserSetting());
    }
    {
        AdminUserValue value(L"");
        EXPECT_FALSE(IsAdminUserSetting());
    }
}

TEST(AdministratorUser, TheConfiguredUserIsRefused) {
    AdminUserValue value(account_sid::CurrentUserSidText());
    EXPECT_TRUE(IsAdministratorUser());
}

TEST(AdministratorUser, AnOrdinaryUserIsNot) {
    EXPECT_FALSE(IsAdministratorUser());
}

TEST(AdministratorUser, AnEnumerationWithNoAccountIsAFailure) {
    std::wstring name = L"unchanged";
    EXPECT_FALSE(account_sid::QueryFirstLocalAccountWith(&NoAccounts, &name));
    EXPECT_FALSE(account_sid::QueryFirstLocalAccountWith(&NoAccountsNoBuffer, &name));
    EXPECT_FALSE(account_sid::QueryFirstLocalAccountWith(&Refused, &name));
    EXPECT_EQ(name, L"unchanged");
}

TEST(AdministratorUser, WithoutAnAccountTheSettingIsNotConsulted) {
    AdminUserValue value(account_sid::CurrentUserSidText());
    EXPECT_FALSE(admin_test::IsAdministratorUserWith(&NoFirstAccount));
}

TEST(AdministratorUser, TheAdministratorSidEndsIn500) {
    EXPECT_EQ(admin_test::AdministratorSidBeside(L"S-1-5-21-1-2-3-1000"), L"S-1-5-21-1-2-3-500");
    EXPECT_EQ(admin_test::AdministratorSidBeside(L"nodash"), L"");
    EXPECT_EQ(account_sid::DomainPart(L"S-1-5-21-1-2-3-1000"), L"S-1-5-21-1-2-3");
    const std::wstring first = account_sid::FirstLocalAccountSid();
    EXPECT_EQ(first.rfind(L"S-1-5-", 0), 0u);
}
