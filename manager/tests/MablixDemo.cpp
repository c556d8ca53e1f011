// The main job's manager step: the log-in entry that the main road stores
// is stored again through the add-in's store and the relay, the installed
// Mablix.exe is started as the toolbar starts it, its PIN question answered
// as the user would (the test PIN typed), the entry selected in the tree so
// that its form shows in the preview, a picture of the screen written, and
// the manager closed with Cancel. The entry is deleted again at the end.
//
// mablix_demo.exe OUT.bmp
#include "AutoAnswer.h"
#include "E2eSupport.h"
#include "MablixDriver.h"

#include <cstdio>
#include <string>

namespace {

void Print(const std::wstring& text) {
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size : 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    std::fputs(out.c_str(), stdout);
    std::fflush(stdout);
}

int Run(const std::wstring& out) {
    if (!e2e::StoreLoginPage(false)) {
        Print(L"the log-in entry could not be stored\n");
        return 1;
    }
    Print(L"stored the entry \"" + std::wstring(e2e::LoginValues::kEntry) +
          L"\" of e2e-login.html\n");
    const peltrix::test::AutoAnswer allow(5, peltrix::test::AutoAnswer::kAllow);
    mablix_driver::Mablix mablix;
    if (!mablix.Start(e2e::InstallFolder() + L"Mablix.exe")) {
        Print(L"Mablix.exe did not start\n");
        return 1;
    }
    Print(L"Mablix.exe started; its PIN question is answered with the test PIN\n");
    if (!mablix.WaitForTree(300000)) {
        Print(L"Mablix.exe showed no tree\n");
        return 1;
    }
    if (!mablix.Select({L"E2E Login", e2e::LoginValues::kEntry}) && !mablix.SelectAt({0, 0})) {
        Print(L"the entry is not in the manager's tree\n");
        return 1;
    }
    Print(L"the entry is selected: its form shows in the preview\n");
    ::Sleep(3000);
    const bool shot = mablix_driver::SaveScreen(out);
    const bool closed = mablix.Close(30000);
    Print(closed ? L"Mablix.exe closed with Cancel\n" : L"Mablix.exe had to be ended\n");
    return shot && closed ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    (void)::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int status = Run(argc > 1 ? argv[1] : L"manager-demo.bmp");
    e2e::DeleteLoginPage();
    ::CoUninitialize();
    return status;
}
