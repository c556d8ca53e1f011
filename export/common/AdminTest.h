// The test that refuses the built-in Administrator account or the configured
// administrator user (HKLM "SOFTWARE\Kobel\TORVA" "AdminUser", 32-bit view).
// Every failure answers FALSE silently.
#pragma once

#include "AccountSid.h"

#include <windows.h>

// TRUE when "AdminUser" holds exactly the current user's SID text
// (case-sensitive).
BOOL IsAdminUserSetting();
// TRUE when the current user is the Administrator (relative id 500) of the
// first local account's domain, or, only when that SID could be formed, the
// configured administrator user.
BOOL IsAdministratorUser();

namespace admin_test {
// IsAdministratorUser with the account enumeration taken from query.
BOOL IsAdministratorUserWith(account_sid::FirstAccountQuery query);
// The built-in Administrator's SID text beside the given account SID; empty
// without a "-".
std::wstring AdministratorSidBeside(const std::wstring& accountSid);
} // namespace admin_test
