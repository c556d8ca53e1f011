// Starts the installed Mablix.exe over two sample pages, answering its PIN
// question, for a screenshot; the pages are removed when it ends.
#include "AutoAnswer.h"
#include "InstallFolder.h"
#include "MgrTestSupport.h"

#include <string>

int wmain(int argc, wchar_t** argv) {
    const DWORD seconds = argc > 1 ? static_cast<DWORD>(_wtoi(argv[1])) : 30;
    RawDb raw;
    const std::wstring a = ScratchPageKey(L"shotA");
    const std::wstring b = ScratchPageKey(L"shotB");
    raw.SetText(a, L"URL", L"https://mail.example.jp/login");
    raw.SetText(a, L"TITLE", L"メール ログイン");
    raw.SetText(a + L"\\ITEM001", L"NAME", L"仕事用");
    raw.SetText(a + L"\\ITEM001", L"FORMNAME", L"login");
    raw.SetDword(a + L"\\ITEM001", L"INDEX", 0);
    raw.SetText(a + L"\\ITEM002", L"NAME", L"個人用");
    raw.SetText(a + L"\\ITEM002", L"FORMNAME", L"login");
    raw.SetDword(a + L"\\ITEM002", L"INDEX", 0);
    raw.SetText(b, L"URL", L"https://shop.example.jp/");
    raw.SetText(b, L"TITLE", L"ショップ");
    raw.SetText(b + L"\\ITEM001", L"NAME", L"");
    raw.SetText(b + L"\\ITEM001", L"FORMNAME", L"");
    raw.SetDword(b + L"\\ITEM001", L"INDEX", 0);
    peltrix::test::AutoAnswer allow(5, peltrix::test::AutoAnswer::kAllow);
    const std::wstring program = torva::InstallFolder() + L"Mablix.exe";
    std::wstring line = L"Mablix.exe";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                         nullptr, &startup, &info)) {
        ::WaitForSingleObject(info.hProcess, seconds * 1000);
        ::TerminateProcess(info.hProcess, 0);
        ::CloseHandle(info.hThread);
        ::CloseHandle(info.hProcess);
    }
    raw.Delete(a);
    raw.Delete(b);
    return 0;
}
