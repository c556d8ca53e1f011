// vantrel_export_host: opens the export command's dialogs over a plain main
// window, for the demo and the screenshot, before and beside Vantrel.exe.
// Never installed.
//   vantrel_export_host export <file.csv> [passphrase]
//       ticks everything the user's databases hold, answers the export
//       dialog and the PIN dialog as a user would, waits for the worker and
//       prints what the progress dialog said (exit code 0 on success)
//   vantrel_export_host show <file.csv>
//       shows the export dialog with the file typed in, for a screenshot
//   vantrel_export_host progress
//       shows the progress dialog of a running export, for a screenshot
//   vantrel_export_host bench <file.csv> <passphrase> [pages applications]
//       fills the fixture (1,000 pages and 200 applications by default),
//       exports everything but the page code page 932 cannot hold and prints
//       the times of the load and of the export, then clears the fixture
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "AutoAnswer.h"
#include "CExportingDlg.h"
#include "ExportCommand.h"
#include "ExportDialogIds.h"
#include "ExportFixture.h"
#include "ExportMessages.h"
#include "ExportUser.h"
#include "FxUser.h"

using namespace vantrel;
namespace eu = export_user;

namespace {

class CHostWnd : public CWnd {
public:
    IExportHost* host = nullptr;
    LRESULT OnDialogClosed(WPARAM, LPARAM) {
        ReleaseProgressDialog(*host);
        return 0;
    }

protected:
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CHostWnd, CWnd)
    ON_MESSAGE(kProgressDialogClosed, &CHostWnd::OnDialogClosed)
END_MESSAGE_MAP()
// clang-format on

class Host : public IExportHost {
public:
    Host() {
        main.host = this;
        main.CreateEx(0, L"STATIC", kUtilityCaption, WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                      CRect(20, 20, 900, 660), nullptr, 0);
    }
    CWnd* MainWindow() override { return &main; }
    std::vector<CheckedItem> CheckedItems() override {
        return export_user::EverythingChecked(store, skipUrl);
    }
    CExportStore& Store() override { return store; }
    CExportingDlg*& ProgressDialog() override { return progress; }

    CHostWnd main;
    CExportStore store;
    CExportingDlg* progress = nullptr;
    std::wstring skipUrl;
};

double Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void TypeInto(HWND dlg, const std::wstring& path, const std::wstring& passphrase) {
    FxUser::Type(dlg, IDC_EXPORT_PATH, path.c_str());
    FxUser::Type(dlg, IDC_EXPORT_PASSPHRASE, passphrase.c_str());
    FxUser::Type(dlg, IDC_EXPORT_CONFIRM, passphrase.c_str());
}

int Export(Host& host, const std::wstring& path, const std::wstring& passphrase) {
    peltrix::test::AutoAnswer allow(AUTHCASE_EXPORT, peltrix::test::AutoAnswer::kAllow);
    FxUser user(L"エクスポート", [&](HWND dlg) {
        TypeInto(dlg, path, passphrase);
        eu::Click(dlg, IDC_EXPORT_RUN);
        const DWORD thread = ::GetWindowThreadProcessId(dlg, nullptr);
        for (int i = 0; i < 2 && ::IsWindow(dlg); ++i) {
            if (HWND box = eu::FindBox(kUtilityCaption, thread))
                eu::Answer(kUtilityCaption, ::GetDlgItem(box, IDYES) ? IDYES : IDOK, thread, 1000);
            ::Sleep(150);
        }
    });
    const auto start = std::chrono::steady_clock::now();
    ExportCommand(host);
    user.Join();
    if (!host.progress || !host.progress->GetSafeHwnd()) {
        std::fputs("The export dialog was not completed.\n", stderr);
        return 2;
    }
    const HWND window = host.progress->GetSafeHwnd();
    eu::PumpUntil([&] { return ::IsWindowEnabled(::GetDlgItem(window, IDOK)) != FALSE; }, 600000);
    const double seconds = Since(start);
    const std::wstring title = FxUser::Text(window);
    const std::wstring status = FxUser::Text(::GetDlgItem(window, IDC_EXPORTING_STATUS));
    char line[512] = {};
    ::WideCharToMultiByte(CP_UTF8, 0, (title + L": " + status).c_str(), -1, line, sizeof(line),
                          nullptr, nullptr);
    std::printf(
        "%s (%.2f s from the export dialog to the end, %d sections)\n", line, seconds,
        static_cast<int>(::SendDlgItemMessageW(window, IDC_EXPORTING_PROGRESS, PBM_GETPOS, 0, 0)));
    ::SendMessageW(::GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
    eu::PumpUntil([&] { return host.progress == nullptr; }, 5000);
    // "警告": written, with secrets that could not be read written empty.
    return title == L"成功" || title == L"警告" ? 0 : 1;
}

int Show(Host& host, const std::wstring& path) {
    FxUser user(L"エクスポート", [&](HWND dlg) {
        TypeInto(dlg, path, L"passphrase");
        ::Sleep(120000);
    });
    ExportCommand(host);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3 && !(argc == 2 && std::wstring(argv[1]) == L"progress")) {
        std::fputs("Usage: vantrel_export_host export <file.csv> [passphrase]\n"
                   "       vantrel_export_host show <file.csv>\n"
                   "       vantrel_export_host progress\n",
                   stderr);
        return 1;
    }
    INITCOMMONCONTROLSEX controls{sizeof(controls), 0xFF};
    ::InitCommonControlsEx(&controls);
    Host host;
    const std::wstring mode = argv[1];
    if (mode == L"show") return Show(host, argv[2]);
    if (mode == L"progress") {
        CExportingDlg dialog(&host.main);
        dialog.Create(IDD_EXPORTING, &host.main);
        dialog.ShowWindow(SW_SHOW);
        dialog.SendMessage(kExportStateMessage, kExportStarted, 0);
        dialog.SendDlgItemMessage(IDC_EXPORTING_PROGRESS, PBM_SETRANGE32, 0, 10);
        dialog.SendDlgItemMessage(IDC_EXPORTING_PROGRESS, PBM_SETPOS, 6, 0);
        eu::PumpUntil([] { return false; }, 120000);
        return 0;
    }
    if (mode == L"bench") {
        export_fixture::Options options;
        options.extraPages = argc > 5 ? _wtoi(argv[4]) : 1000;
        options.extraApplications = argc > 5 ? _wtoi(argv[5]) : 200;
        if (export_fixture::Fill(options) != 0) return 2;
        auto start = std::chrono::steady_clock::now();
        if (host.store.Load() != 1) return 2;
        std::printf("store load %.2f s: %zu pages, %zu applications\n", Since(start),
                    host.store.Pages().size(), host.store.Applications().size());
        host.skipUrl = export_fixture::kOutsideCodePageUrl;
        const int result = Export(host, argv[2], argc > 3 ? argv[3] : L"");
        export_fixture::Clear();
        return result;
    }
    if (host.store.Load() != 1) {
        std::fputs("The user's database could not be opened.\n", stderr);
        return 2;
    }
    return Export(host, argv[2], argc > 3 ? argv[3] : L"");
}
