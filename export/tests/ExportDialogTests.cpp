// The export dialog and its drop box, run for real and answered as a user
// would: the name completed with ".csv", each refusal with its message and
// focus, the questions, Enter in the text boxes, a dropped file, Browse.
#include <gtest/gtest.h>

#include <windows.h>
#include <dlgs.h>
#include <commctrl.h>

#include <string>
#include <thread>

#include "CExportDlg.h"
#include "ExportDialogIds.h"
#include "ExportMessages.h"
#include "ExportUser.h"
#include "FxUser.h"

using namespace vantrel;
namespace eu = export_user;

namespace {

const wchar_t kDialogCaption[] = L"エクスポート";

DWORD ThreadOf(HWND window) {
    return ::GetWindowThreadProcessId(window, nullptr);
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    return ::GetGUIThreadInfo(ThreadOf(window), &info) ? info.hwndFocus : nullptr;
}

// Types the three boxes and presses Export; the message box that follows
// (if any) is answered with button.
eu::Box ExportWith(HWND dlg, const wchar_t* path, const wchar_t* passphrase,
                   const wchar_t* confirmation, int button = IDOK) {
    FxUser::Type(dlg, IDC_EXPORT_PATH, path);
    FxUser::Type(dlg, IDC_EXPORT_PASSPHRASE, passphrase);
    FxUser::Type(dlg, IDC_EXPORT_CONFIRM, confirmation);
    eu::Click(dlg, IDC_EXPORT_RUN);
    return eu::Answer(kUtilityCaption, button, ThreadOf(dlg), 3000);
}

class ExportDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        existing = eu::TempPath(L"vantrel_dialog_existing.csv");
        HANDLE file =
            ::CreateFileW(existing.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ::CloseHandle(file);
        fresh = eu::TempPath(L"vantrel_dialog_fresh");
        ::DeleteFileW((fresh + L".csv").c_str());
    }
    void TearDown() override { ::DeleteFileW(existing.c_str()); }

    std::wstring existing;
    std::wstring fresh;
};

} // namespace

TEST_F(ExportDialogTest, CompletesTheNameWithCsvUnlessItEndsInLowerCaseCsv) {
    CExportDlg dialog;
    std::wstring shown[3];
    FxUser user(kDialogCaption, [&](HWND dlg) {
        const wchar_t* typed[3] = {L"C:\\out\\a.CSV", L"C:\\out\\plain", L"C:\\out\\b.csv"};
        for (int i = 0; i < 3; ++i) {
            // A differing confirmation stops the export after the completion.
            ExportWith(dlg, typed[i], L"x", L"y");
            shown[i] = FxUser::Text(::GetDlgItem(dlg, IDC_EXPORT_PATH));
        }
        FxUser::Press(dlg, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    ASSERT_TRUE(user.Join());
    EXPECT_EQ(L"C:\\out\\a.CSV.csv", shown[0]);
    EXPECT_EQ(L"C:\\out\\plain.csv", shown[1]);
    EXPECT_EQ(L"C:\\out\\b.csv", shown[2]);
}

TEST_F(ExportDialogTest, RefusesAnEmptyPathAndEachForbiddenCharacter) {
    CExportDlg dialog;
    eu::Box empty;
    bool focusOnPath = false;
    std::wstring refusedAll;
    std::wstring selection;
    FxUser user(kDialogCaption, [&](HWND dlg) {
        empty = ExportWith(dlg, L"", L"pw", L"pw");
        focusOnPath = FocusOf(dlg) == ::GetDlgItem(dlg, IDC_EXPORT_PATH);
        for (const wchar_t ch : std::wstring(L"/,;*?\"<>|")) {
            const std::wstring path = std::wstring(L"C:\\out\\a") + ch + L"b.csv";
            const eu::Box box = ExportWith(dlg, path.c_str(), L"pw", L"pw");
            if (box.found && box.text == L"ファイル名が正しくありません。") refusedAll += ch;
            DWORD start = 0, end = 0;
            ::SendDlgItemMessageW(dlg, IDC_EXPORT_PATH, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                                  reinterpret_cast<LPARAM>(&end));
            if (FocusOf(dlg) == ::GetDlgItem(dlg, IDC_EXPORT_PATH) && start == 0 &&
                end == path.size())
                selection += ch;
        }
        FxUser::Press(dlg, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    ASSERT_TRUE(user.Join());
    ASSERT_TRUE(empty.found);
    EXPECT_EQ(L"ファイルパスを指定してください。", empty.text);
    EXPECT_TRUE(focusOnPath);
    EXPECT_EQ(L"/,;*?\"<>|", refusedAll);
    EXPECT_EQ(L"/,;*?\"<>|", selection);
}

TEST_F(ExportDialogTest, RefusesADifferingConfirmationWithTheFocusOnThePassphrase) {
    CExportDlg dialog;
    eu::Box box;
    bool focusOnPassphrase = false;
    FxUser user(kDialogCaption, [&](HWND dlg) {
        box = ExportWith(dlg, fresh.c_str(), L"秘密", L"秘蜜");
        focusOnPassphrase = FocusOf(dlg) == ::GetDlgItem(dlg, IDC_EXPORT_PASSPHRASE);
        FxUser::Press(dlg, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    ASSERT_TRUE(user.Join());
    ASSERT_TRUE(box.found);
    EXPECT_EQ(L"パスフレーズの内容が異なっています。", box.text);
    EXPECT_TRUE(focusOnPassphrase);
}

TEST_F(ExportDialogTest, AnEmptyPassphraseIsAskedAboutAndOkGoesOn) {
    CExportDlg dialog;
    eu::Box cancelled;
    bool openAfterCancel = false;
    eu::Box accepted;
    FxUser user(kDialogCaption, [&](HWND dlg) {
        cancelled = ExportWith(dlg, fresh.c_str(), L"", L"", IDCANCEL);
        ::Sleep(100);
        openAfterCancel = ::IsWindow(dlg) != FALSE;
        accepted = ExportWith(dlg, fresh.c_str(), L"", L"", IDOK);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    ASSERT_TRUE(user.Join());
    ASSERT_TRUE(cancelled.found);
    EXPECT_EQ(L"パスフレーズが設定されていません！\nパスフレーズを設定しないと機密情報が平文で"
              L"ファイルに出力されます。\nエクスポート処理を続けますか？",
              cancelled.text);
    EXPECT_TRUE(openAfterCancel);
    EXPECT_TRUE(accepted.found);
    EXPECT_EQ(CString((fresh + L".csv").c_str()), dialog.m_strPath);
    EXPECT_TRUE(dialog.m_strPassphrase.IsEmpty());
}

TEST_F(ExportDialogTest, AnExistingFileIsOverwrittenOnlyAfterYes) {
    CExportDlg dialog;
    eu::Box no;
    bool openAfterNo = false;
    eu::Box yes;
    FxUser user(kDialogCaption, [&](HWND dlg) {
        no = ExportWith(dlg, existing.c_str(), L"pw", L"pw", IDNO);
        ::Sleep(100);
        openAfterNo = ::IsWindow(dlg) != FALSE;
        yes = ExportWith(dlg, existing.c_str(), L"pw", L"pw", IDYES);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    ASSERT_TRUE(user.Join());
    ASSERT_TRUE(no.found);
    EXPECT_EQ(existing + L" は既に存在します。\n上書きしますか？", no.text);
    EXPECT_TRUE(openAfterNo);
    EXPECT_TRUE(yes.found);
    EXPECT_EQ(CString(existing.c_str()), dialog.m_strPath);
    EXPECT_EQ(CString(L"pw"), dialog.m_strPassphrase);
}

TEST_F(ExportDialogTest, EnterInATextBoxExportsAsTheButtonDoes) {
    for (const int box : {IDC_EXPORT_PATH, IDC_EXPORT_PASSPHRASE, IDC_EXPORT_CONFIRM}) {
        CExportDlg dialog;
        eu::Box refused;
        FxUser user(kDialogCaption, [&](HWND dlg) {
            const HWND target = ::GetDlgItem(dlg, box);
            ::SendMessageW(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
            // First unchecked input: Enter must not close the dialog.
            FxUser::Type(dlg, IDC_EXPORT_PATH, L"");
            FxUser::Key(target, VK_RETURN);
            refused = eu::Answer(kUtilityCaption, IDOK, ThreadOf(dlg), 3000);
            FxUser::Type(dlg, IDC_EXPORT_PATH, fresh.c_str());
            FxUser::Type(dlg, IDC_EXPORT_PASSPHRASE, L"pw");
            FxUser::Type(dlg, IDC_EXPORT_CONFIRM, L"pw");
            ::SendMessageW(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
            FxUser::Key(target, VK_RETURN);
        });
        EXPECT_EQ(IDOK, dialog.DoModal()) << box;
        ASSERT_TRUE(user.Join());
        EXPECT_TRUE(refused.found) << box;
        EXPECT_EQ(L"ファイルパスを指定してください。", refused.text) << box;
        EXPECT_EQ(CString((fresh + L".csv").c_str()), dialog.m_strPath) << box;
    }
}

TEST_F(ExportDialogTest, APathLongerThan256CharactersIsRefused) {
    CExportDlg dialog;
    LRESULT limit = 0;
    eu::Box box;
    bool open = false;
    FxUser user(kDialogCaption, [&](HWND dlg) {
        limit = ::SendDlgItemMessageW(dlg, IDC_EXPORT_PATH, EM_GETLIMITTEXT, 0, 0);
        const std::wstring path = L"C:\\" + std::wstring(260, L'a') + L".csv";
        FxUser::Type(dlg, IDC_EXPORT_PATH, path.c_str());
        FxUser::Type(dlg, IDC_EXPORT_PASSPHRASE, L"pw");
        FxUser::Type(dlg, IDC_EXPORT_CONFIRM, L"pw");
        eu::Click(dlg, IDC_EXPORT_RUN);
        // The framework's own message, under the program's name.
        box = eu::Answer(L"", IDOK, ThreadOf(dlg), 3000);
        ::Sleep(100);
        open = ::IsWindow(dlg) != FALSE;
        FxUser::Press(dlg, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    ASSERT_TRUE(user.Join());
    EXPECT_EQ(256, limit);
    EXPECT_TRUE(box.found);
    EXPECT_TRUE(open);
}

TEST_F(ExportDialogTest, ADroppedCsvFileNamesTheTargetAndAnyOtherIsRefused) {
    CExportDlg dialog;
    HDROP refused = nullptr;
    HDROP taken = nullptr;
    eu::Box box;
    std::wstring afterRefusal;
    std::wstring afterDrop;
    FxUser user(kDialogCaption, [&](HWND dlg) {
        const HWND edit = ::GetDlgItem(dlg, IDC_EXPORT_PATH);
        FxUser::Type(dlg, IDC_EXPORT_PATH, L"C:\\typed.csv");
        refused = FxUser::MakeDrop({L"C:\\data\\upper.CSV"});
        ::PostMessageW(edit, WM_DROPFILES, reinterpret_cast<WPARAM>(refused), 0);
        box = eu::Answer(kUtilityCaption, IDOK, ThreadOf(dlg), 3000);
        afterRefusal = FxUser::Text(edit);
        taken = FxUser::MakeDrop({L"C:\\data\\エクスポート先.csv", L"C:\\data\\second.csv"});
        ::SendMessageW(edit, WM_DROPFILES, reinterpret_cast<WPARAM>(taken), 0);
        afterDrop = FxUser::Text(edit);
        FxUser::Press(dlg, IDCANCEL);
    });
    dialog.DoModal();
    ASSERT_TRUE(user.Join());
    ASSERT_TRUE(box.found);
    EXPECT_EQ(L"csvファイルを指定してください。", box.text);
    EXPECT_EQ(L"C:\\typed.csv", afterRefusal);
    EXPECT_EQ(L"C:\\data\\エクスポート先.csv", afterDrop);
    EXPECT_TRUE(FxUser::DropIsFreed(refused));
    EXPECT_TRUE(FxUser::DropIsFreed(taken));
}

namespace {

BOOL CALLBACK FindSaveDialog(HWND window, LPARAM out) {
    if (::IsWindowVisible(window) && ::GetDlgItem(window, cmb1)) {
        *reinterpret_cast<HWND*>(out) = window;
        return FALSE;
    }
    return TRUE;
}

// Waits for the save dialog of thread (the one with the file-type list) and
// saves under name.
bool SaveAs(DWORD thread, const std::wstring& name, std::wstring* firstType) {
    for (int i = 0; i < 500; ++i) {
        HWND found = nullptr;
        ::EnumThreadWindows(thread, &FindSaveDialog, reinterpret_cast<LPARAM>(&found));
        if (found) {
            wchar_t text[256] = {};
            ::SendDlgItemMessageW(found, cmb1, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
            *firstType = text;
            HWND box = ::GetDlgItem(found, cmb13);
            if (HWND edit = ::FindWindowExW(box, nullptr, L"Edit", nullptr)) box = edit;
            if (!box) box = ::GetDlgItem(found, edt1);
            ::SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
            ::PostMessageW(found, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            return FxUser::WaitUntilGone(found, 5000);
        }
        ::Sleep(20);
    }
    return false;
}

} // namespace

TEST_F(ExportDialogTest, BrowseTakesTheChosenNameWithCsvAddedAndKeepsThePassphrase) {
    CExportDlg dialog;
    bool saved = false;
    std::wstring firstType;
    std::wstring path;
    std::wstring passphrase;
    FxUser user(kDialogCaption, [&](HWND dlg) {
        FxUser::Type(dlg, IDC_EXPORT_PASSPHRASE, L"保つ");
        eu::Click(dlg, IDC_EXPORT_BROWSE);
        saved = SaveAs(ThreadOf(dlg), fresh, &firstType);
        ::Sleep(100);
        path = FxUser::Text(::GetDlgItem(dlg, IDC_EXPORT_PATH));
        passphrase = FxUser::Text(::GetDlgItem(dlg, IDC_EXPORT_PASSPHRASE));
        FxUser::Press(dlg, IDCANCEL);
    });
    dialog.DoModal();
    ASSERT_TRUE(user.Join());
    ASSERT_TRUE(saved);
    EXPECT_EQ(L"csvファイル (*.csv)", firstType);
    EXPECT_EQ(fresh + L".csv", path);
    EXPECT_EQ(L"保つ", passphrase);
}

// ---------------------------------------------------------------------------
// The progress dialog on its own, told of the states as the worker tells it.

#include "CExportingDlg.h"

namespace {

class COwnerWnd : public CWnd {
public:
    int closedMessages = 0;
    LRESULT OnDialogClosed(WPARAM, LPARAM) {
        ++closedMessages;
        return 0;
    }

protected:
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(COwnerWnd, CWnd)
    ON_MESSAGE(kProgressDialogClosed, &COwnerWnd::OnDialogClosed)
END_MESSAGE_MAP()
// clang-format on

void Pump() {
    eu::PumpUntil([] { return false; }, 100);
}

} // namespace

TEST(AnimationResource, OpensAndPlaysInTheAnimationControl) {
    EXPECT_GE(AnimationFrameCount(IDR_AVI_EXPORTING), 2u);
    EXPECT_EQ(0u, AnimationFrameCount(4711));
    const HWND control =
        ::CreateWindowExW(0, ANIMATE_CLASSW, L"", WS_POPUP | ACS_TIMER, 0, 0, 100, 50, nullptr,
                          nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, control);
    EXPECT_TRUE(::SendMessageW(control, ACM_OPENW, 0,
                               reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(IDR_AVI_EXPORTING))));
    EXPECT_TRUE(::SendMessageW(control, ACM_PLAY, static_cast<WPARAM>(-1), MAKELPARAM(0, 0xFFFF)));
    EXPECT_TRUE(::SendMessageW(control, ACM_STOP, 0, 0));
    ::DestroyWindow(control);
}

TEST(ProgressDialog, DisablesItsOwnerAndShowsEachStateTheWorkerReports) {
    COwnerWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, L"STATIC", L"持ち主", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               CRect(0, 0, 300, 200), nullptr, 0));
    CExportingDlg dialog(&owner);
    ASSERT_TRUE(dialog.Create(IDD_EXPORTING, &owner));
    dialog.ShowWindow(SW_SHOW);
    const HWND window = dialog.GetSafeHwnd();
    const HWND ok = ::GetDlgItem(window, IDOK);
    EXPECT_EQ(owner.GetSafeHwnd(), ::GetWindow(window, GW_OWNER));
    EXPECT_FALSE(::IsWindowEnabled(owner.GetSafeHwnd()));
    EXPECT_FALSE(::IsWindowEnabled(ok));
    EXPECT_TRUE(::GetMenuState(::GetSystemMenu(window, FALSE), SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED);

    // Neither Escape, nor the close command, nor OK before the end close it.
    ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    ::SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    Pump();
    EXPECT_TRUE(::IsWindow(window) && ::IsWindowVisible(window));
    EXPECT_EQ(0, owner.closedMessages);

    ::SendMessageW(window, kExportStateMessage, kExportStarted, 0);
    EXPECT_EQ(L"エクスポート中です。", FxUser::Text(::GetDlgItem(window, IDC_EXPORTING_STATUS)));
    EXPECT_EQ(L"エクスポート中...", FxUser::Text(window));
    ::SendDlgItemMessageW(window, IDC_EXPORTING_PROGRESS, PBM_SETRANGE32, 0, 4);
    ::SendDlgItemMessageW(window, IDC_EXPORTING_PROGRESS, PBM_SETPOS, 3, 0);
    ::SendMessageW(window, kExportStateMessage, 7, 0);
    EXPECT_EQ(L"エクスポート中です。", FxUser::Text(::GetDlgItem(window, IDC_EXPORTING_STATUS)));
    EXPECT_FALSE(::IsWindowEnabled(owner.GetSafeHwnd()));

    ::SendMessageW(window, kExportStateMessage, kExportFailed, kNoCheckedItems);
    EXPECT_EQ(L"失敗", FxUser::Text(window));
    EXPECT_EQ(L"エクスポートに失敗しました。",
              FxUser::Text(::GetDlgItem(window, IDC_EXPORTING_STATUS)));
    EXPECT_EQ(0, ::SendDlgItemMessageW(window, IDC_EXPORTING_PROGRESS, PBM_GETPOS, 0, 0));
    EXPECT_TRUE(::IsWindowEnabled(ok));
    EXPECT_TRUE(::IsWindowEnabled(owner.GetSafeHwnd()));

    ::SendMessageW(window, kExportStateMessage, kExportDone, 0);
    EXPECT_EQ(L"成功", FxUser::Text(window));
    EXPECT_EQ(L"エクスポート処理が終了しました。",
              FxUser::Text(::GetDlgItem(window, IDC_EXPORTING_STATUS)));

    // OK: the frame is told and the window goes; the object stays for it.
    ::SendMessageW(ok, BM_CLICK, 0, 0);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(nullptr, dialog.GetSafeHwnd());
    Pump();
    EXPECT_EQ(1, owner.closedMessages);
    owner.DestroyWindow();
}
