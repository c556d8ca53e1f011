// Shows one of the add-in's small windows for a screenshot:
//   addin_ui_shots.exe notice|frame|entry|change|option|regist [seconds]
// The program ends by itself after the given time (default 60 s), so a
// screenshot script never leaves it behind.
#include "AxHostWindow.h"
#include "CChangeEntryDlg.h"
#include "CRegistDlg.h"
#include "ProgramFolder.h"
#include "CNotifyMsg.h"
#include "COptionDlg.h"
#include "CSelFrameDlg.h"
#include "CSelectEntry.h"
#include "HtmlDocument.h"
#include "RelayState.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

using torva::browser::ComPtr;
using torva::browser::HtmlDocument;

namespace {

void CALLBACK EndProgram(HWND, UINT, UINT_PTR, DWORD) {
    ::ExitProcess(0);
}

void ShowNotice() {
    CNotifyMsg notice;
    if (!notice.Create(nullptr, ::GetModuleHandleW(nullptr))) return;
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void ShowFrames() {
    const wchar_t* const urls[] = {
        L"https://portal.example.jp/menu/left.html",
        L"https://portal.example.jp/news/top.html",
        L"https://portal.example.jp/members/login.html?next=%2Faccount%2Fsettings",
    };
    std::vector<ComPtr<HtmlDocument>> pages;
    std::vector<IHTMLDocument2*> documents;
    for (const wchar_t* url : urls) {
        pages.push_back(HtmlDocument::FromMarkup(
            url, L"<html><body><form><input name=a></form></body></html>"));
        documents.push_back(pages.back().get());
    }
    CSelFrameDlg dialog(documents);
    dialog.DoModal();
    for (auto& page : pages)
        page->Close();
}

// What the user has typed into the registration dialog's copy by the time
// the screenshot is taken.
void CALLBACK TypeIntoCopy(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    const HWND dialog = ::FindWindowW(nullptr, L"登録");
    HWND server = dialog ? ::GetDlgItem(dialog, IDC_REGIST_BROWSER) : nullptr;
    for (const wchar_t* name :
         {L"Shell Embedding", L"Shell DocObject View", L"Internet Explorer_Server"})
        server = server ? ::FindWindowExW(server, nullptr, name, nullptr) : nullptr;
    if (!server) return;
    std::vector<HWND> edits;
    for (HWND child = ::GetWindow(server, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[32] = {};
        ::GetClassNameW(child, name, 32);
        if (std::wstring(name) == L"Edit") edits.push_back(child);
    }
    std::sort(edits.begin(), edits.end(),
              [](HWND a, HWND b) { return ::GetDlgCtrlID(a) < ::GetDlgCtrlID(b); });
    const wchar_t* const typed[] = {L"yamada.taro", L"correct horse", L"社内ポータル"};
    for (size_t i = 0; i < edits.size() && i < 3; ++i) {
        ::SendMessageW(edits[i], EM_SETSEL, 0, -1);
        ::SendMessageW(edits[i], EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(typed[i]));
    }
    if (const HWND name = ::GetDlgItem(dialog, IDC_REGIST_NAME))
        ::SetWindowTextW(name, L"会社のログイン");
}

// The registration dialog on the two-form test page, its first form's copy
// shown and typed into.
void ShowRegist() {
    RelayState::Instance().SetRelayFolder(torva::ProgramFolder());
    (void)::OleInitialize(nullptr);
    (void)AxHostWindowInit();
    ComPtr<HtmlDocument> page =
        HtmlDocument::Load(torva::ProgramFolder() + L"regist-pages\\two-forms.html");
    if (!page || page->LoadFailed()) return;
    ::SetTimer(nullptr, 0, 3000, &TypeIntoCopy);
    {
        CRegistDlg dialog(page.get(), 0, CRegistDlg::STATE_NEW);
        dialog.DoModal(nullptr);
    }
    page->Close();
    ::OleUninitialize();
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv || argc < 2) return 2;
    const std::wstring which = argv[1];
    const int seconds = argc > 2 ? std::wcstol(argv[2], nullptr, 10) : 60;
    ::LocalFree(argv);
    ::SetTimer(nullptr, 0, static_cast<UINT>(seconds > 0 ? seconds : 60) * 1000u, &EndProgram);

    if (which == L"notice") {
        ShowNotice();
    } else if (which == L"frame") {
        ShowFrames();
    } else if (which == L"entry") {
        RelayState::Instance().SetRelayFolder(torva::ProgramFolder());
        CSelectEntry dialog;
        dialog.DoModal();
    } else if (which == L"change") {
        CChangeEntryDlg dialog;
        dialog.DoModal();
    } else if (which == L"regist") {
        ShowRegist();
    } else if (which == L"option") {
        // The options stored in the prefix's database (defaults when none).
        RelayState::Instance().SetRelayFolder(torva::ProgramFolder());
        COptionDlg dialog;
        dialog.DoModal();
    } else {
        return 2;
    }
    return 0;
}
