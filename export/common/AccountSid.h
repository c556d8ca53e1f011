// The SIDs as text that the administrator test and the export store's
// passphrases are made from.
#pragma once

#include <windows.h>
#include <lm.h>

#include <string>

// Allocates the current user's SID in its standard string form ("S-1-5-...")
// into *sid; 1 on success, 0 otherwise (*sid then null). The caller frees the
// text with LocalFree. The thread's token is used when it impersonates.
int GetCurrentUserSid(LPWSTR* sid);

namespace account_sid {

// The local accounts, as the administrator test enumerates them: NetUserEnum
// of level 0, all account kinds, unlimited buffer. Returns FALSE when the
// enumeration failed or found no account; else *firstName is the first name.
using FirstAccountQuery = BOOL (*)(std::wstring* firstName);
BOOL QueryFirstLocalAccount(std::wstring* firstName);
// The same with NetUserEnum's place taken by enumerate (same arguments).
using UserEnumFunction = NET_API_STATUS(WINAPI*)(LPCWSTR, DWORD, DWORD, LPBYTE*, DWORD, LPDWORD,
                                                 LPDWORD, PDWORD);
BOOL QueryFirstLocalAccountWith(UserEnumFunction enumerate, std::wstring* firstName);

// The current user's SID text; empty when it cannot be read.
std::wstring CurrentUserSidText();
// The SID of the named account as text; empty when it cannot be looked up.
std::wstring AccountSidText(const std::wstring& accountName);
// The SID text of the first local account; empty when there is none.
std::wstring FirstLocalAccountSid(FirstAccountQuery query = &QueryFirstLocalAccount);
// The text up to, not including, the last "-": the account domain of a
// machine account SID. Empty when there is no "-".
std::wstring DomainPart(const std::wstring& sidText);

} // namespace account_sid
