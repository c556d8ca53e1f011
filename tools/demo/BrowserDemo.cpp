// The add-in at work in the browser program: registers the installed
// Quorvel.dll, stores a login entry (text, password, radio, check box,
// select; AUTOINPUT on) through the store and the installed relay, opens the
// page in iexplore.exe with a script and prints what the script checked:
// the toolbar's entry, the fill-in after the PIN dialog (answered in the
// relay as the user would), and the values the user's click then submits. Then deletes the entry
// and unregisters the module.
#include "AutoAnswer.h"
#include "CExpData.h"
#include "E2eSupport.h"

#include <cstdio>
#include <string>

namespace {

std::wstring Quoted(const std::wstring& s) {
    return L"\"" + s + L"\"";
}

void Print(const std::wstring& text) {
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size : 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    std::fputs(out.c_str(), stdout);
    std::fflush(stdout);
}

int Run() {
    if (e2e::InstallFolder().empty()) {
        Print(L"no install folder in the prefix\n");
        return 1;
    }
    const e2e::AddinRegistration registration;
    if (registration.Result() != 0) {
        Print(L"regsvr32 Quorvel.dll failed\n");
        return 1;
    }
    Print(L"Quorvel.dll registered from " + e2e::InstallFolder() + L"\n");
    if (!e2e::StoreLoginPage(false)) {
        Print(L"the login page could not be stored\n");
        return 1;
    }
    Print(L"stored entry \"" + std::wstring(e2e::LoginValues::kEntry) + L"\" for " +
          e2e::PageUrl(L"e2e-login.html") + L" (AUTOINPUT)\n");
    const peltrix::test::AutoAnswer allow(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    using V = e2e::LoginValues;
    const std::wstring script = L"open " + Quoted(e2e::PagePath(L"e2e-login.html")) +
                                L"\n"
                                L"expect-combo 0 " +
                                Quoted(V::kEntry) +
                                L" 20000\n"
                                L"wait-value user " +
                                V::kUser +
                                L" 30000\n"
                                L"wait-value pw " +
                                V::kPassword +
                                L" 30000\n"
                                L"click Login\n"
                                L"wait-page e2e-done.html 40000\n"
                                L"expect-url user=taro.e2e&pw=pw-e2e-42&plan=b&keep=on&pref=v3\n"
                                L"expect-text \"Signed in.\"\n";
    std::wstring log;
    const DWORD code = e2e::RunBrowser(script, log);
    if (!log.empty() && log.front() == L'\xFEFF') log.erase(0, 1);
    Print(L"iexplore.exe script:\n" + log);
    e2e::DeleteLoginPage();
    Print(code == 0 ? L"the add-in filled the page in\n"
                    : L"the browser script failed (" + std::to_wstring(code) + L")\n");
    return code == 0 ? 0 : 1;
}

} // namespace

int wmain() {
    (void)::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int result = Run();
    Print(L"Quorvel.dll unregistered\n");
    ::CoUninitialize();
    return result;
}
