// The add-in end to end: the installed Quorvel.dll registered in the prefix,
// a login page stored through the add-in's store and the relay installed
// beside it, and the browser program run with a script. Shared by the end to
// end tests and the main job's demonstration.
#pragma once

#include "AddinRegistration.h"
#include "RegistryTestSupport.h"

#include <windows.h>

#include <memory>
#include <string>

class CDataWebForm;

namespace e2e {

// The install folder (where Quorvel.dll, Zentrip.exe and iexplore.exe are),
// with a trailing backslash; empty when the prefix has no "Location".
std::wstring InstallFolder();
// A page beside the program (its "e2e-pages" folder), and its URL as the
// browser shows it.
std::wstring PagePath(const std::wstring& name);
std::wstring PageUrl(const std::wstring& name);

// Registers the installed module with regsvr32 for its life: the machine's
// toolbar list, the extension key and the user's toolbar layout are put back
// as they were found, and the module is unregistered, when it goes.
using AddinRegistration = module_tests::AddinRegistration;

struct LoginValues {
    static constexpr const wchar_t* kEntry = L"E2E 会員";
    static constexpr const wchar_t* kUser = L"taro.e2e";
    static constexpr const wchar_t* kPassword = L"pw-e2e-42";
};

// Stores the entry of e2e-login.html's form "login" through the add-in's
// store and the installed relay, as a capture makes it: user (text, 20
// long), pw (password), plan b of a/b/c (radio), keep (check box, ticked),
// pref v3 of v1/v2/v3 (select), go (the submit button). AUTOINPUT on;
// AUTOSEND as asked. Stored for page, another page beside the program that
// holds the same form, when one is named. Any page stored for the URL
// before is deleted first. False when the store refused the page.
bool StoreLoginPage(bool autoSend, const std::wstring& page = L"e2e-login.html");
// Deletes every page stored for e2e-login.html, or for page.
void DeleteLoginPage(const std::wstring& page = L"e2e-login.html");
// The page stored for page as the store reads it now (URL list read
// afresh, passwords not decrypted); null when none is stored.
std::unique_ptr<CDataWebForm> StoredPage(const std::wstring& page);

// Runs the installed iexplore.exe with a script and waits for it,
// dispatching this thread's messages meanwhile; its exit code (0: every
// line passed, 997: timed out) and the script's log.
DWORD RunBrowser(const std::wstring& script, std::wstring& log, DWORD timeoutMs = 120000);

} // namespace e2e
