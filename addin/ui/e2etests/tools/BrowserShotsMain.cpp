// Puts iexplore.exe in the state a screenshot shows (browser-screenshots.sh):
// registers the installed Quorvel.dll, stores the login page's entry, has
// the browser open the page and wait for the fill (the PIN is answered),
// then drops the toolbar's entry list down ("combo") or opens the toolbar's
// menu ("menu") and holds still for the given seconds. Afterwards the entry
// is deleted and the module unregistered.
//   quorvel_browser_shots combo|menu [SECONDS]
#include "AutoAnswer.h"
#include "E2eSupport.h"
#include "OptionKeyBackup.h"

#include <cwchar>
#include <string>

namespace {

std::wstring Quoted(const std::wstring& s) {
    return L"\"" + s + L"\"";
}

int Run(const std::wstring& mode, int seconds) {
    if (mode != L"combo" && mode != L"menu") return 2;
    if (e2e::InstallFolder().empty()) return 1;
    OptionKeyBackup options;
    if (!options.Saved()) return 1;
    options.WriteAutoInputAllowed();
    const e2e::AddinRegistration registration;
    if (registration.Result() != 0) return 1;
    if (!e2e::StoreLoginPage(false)) return 1;
    const peltrix::test::AutoAnswer allow(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    using V = e2e::LoginValues;
    const std::wstring script =
        L"open " + Quoted(e2e::PagePath(L"e2e-login.html")) + L"\n" + L"expect-combo 0 " +
        Quoted(V::kEntry) + L" 20000\n" + L"wait-value user " + V::kUser + L" 30000\n" +
        L"wait-value pw " + V::kPassword + L" 30000\n" + L"expect-toolbar 106 入力開始 20000\n" +
        (mode == L"combo" ? L"combo-select 0\ncombo-drop\n" : L"toolbar-click 102\n") + L"sleep " +
        std::to_wstring(seconds * 1000) + L"\n";
    std::wstring log;
    const DWORD code = e2e::RunBrowser(script, log, static_cast<DWORD>(seconds + 120) * 1000);
    e2e::DeleteLoginPage();
    return code == 0 ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    (void)::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int seconds = argc > 2 ? static_cast<int>(std::wcstol(argv[2], nullptr, 10)) : 15;
    const int result = Run(argc > 1 ? argv[1] : L"", seconds > 0 ? seconds : 15);
    ::CoUninitialize();
    return result;
}
