// The file dialog, dropped files and the length check of data exchange,
// each in the form dialog of the framework tests, driven as a user would.
#include <gtest/gtest.h>

#include <windows.h>
#include <dlgs.h>
#include <shlobj.h>

#include <string>
#include <thread>
#include <vector>

#include "CFileDialog.h"
#include "DataValidation.h"
#include "FormDialog.h"
#include "FxDropFiles.h"
#include "FxUser.h"

namespace {

const wchar_t kFormCaption[] = L"フォームの試験";

struct WindowSearch {
    DWORD thread;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    if (::GetWindowThreadProcessId(window, nullptr) == search->thread && ::IsWindowVisible(window))
        search->found.push_back(window);
    return TRUE;
}

// A visible dialog of thread holding a control id, other than except.
HWND WaitForDialogWith(DWORD thread, int controlId, HWND except, DWORD timeoutMs = 10000) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 20) {
        WindowSearch search{thread, {}};
        ::EnumWindows(&CollectTopLevel, reinterpret_cast<LPARAM>(&search));
        for (HWND window : search.found) {
            if (window != except && ::GetDlgItem(window, controlId)) return window;
        }
        ::Sleep(20);
    }
    return nullptr;
}

// A message box's text control.
constexpr int kMessageText = 0xFFFF;

// The name box of the save dialog: the combo box of the Explorer style, or
// the plain edit box.
HWND FileNameBox(HWND dialog) {
    if (HWND combo = ::GetDlgItem(dialog, cmb13)) {
        if (HWND edit = ::FindWindowExW(combo, nullptr, L"Edit", nullptr)) return edit;
        return combo;
    }
    return ::GetDlgItem(dialog, edt1);
}

// The name box accepts dropped files and keeps the names of each drop.
class CDropEdit : public CEdit {
public:
    std::vector<std::wstring> names;
    int drops = 0;

    void OnDropFiles(HDROP drop) {
        ++drops;
        const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            wchar_t name[MAX_PATH] = {};
            ::DragQueryFileW(drop, i, name, MAX_PATH);
            names.emplace_back(name);
        }
        ::DragFinish(drop);
    }

protected:
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CDropEdit, CEdit)
    ON_WM_DROPFILES()
END_MESSAGE_MAP()
// clang-format on

class CDropDialog : public CFormDialog {
public:
    BOOL OnInitDialog() override {
        CFormDialog::OnInitDialog();
        m_edit.SubclassDlgItem(IDC_FX_NAME, this);
        m_edit.DragAcceptFiles(TRUE);
        return TRUE;
    }
    CDropEdit m_edit;
};

// The name may hold at most five characters.
class CShortNameDialog : public CFormDialog {
public:
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Text(dx, IDC_FX_NAME, m_name);
        DDV_MaxChars(dx, m_name, 5);
    }
};

} // namespace

TEST(DroppedFiles, ReachTheSubclassedBoxWhichEndsEveryDrop) {
    CDropDialog dialog;
    bool accepts = false;
    HDROP first = nullptr;
    HDROP second = nullptr;
    FxUser user(kFormCaption, [&](HWND dlg) {
        const HWND edit = ::GetDlgItem(dlg, IDC_FX_NAME);
        accepts = (::GetWindowLongPtrW(edit, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0;
        first = FxUser::MakeDrop({L"C:\\data\\一つ目.csv", L"C:\\data\\two.txt"});
        ::SendMessageW(edit, WM_DROPFILES, reinterpret_cast<WPARAM>(first), 0);
        second = FxUser::MakeDrop({L"C:\\data\\三.csv"});
        ::SendMessageW(edit, WM_DROPFILES, reinterpret_cast<WPARAM>(second), 0);
        FxUser::Press(dlg, IDCANCEL);
    });
    dialog.DoModal();
    ASSERT_TRUE(user.Join());
    EXPECT_TRUE(accepts);
    EXPECT_EQ(2, dialog.m_edit.drops);
    EXPECT_EQ((std::vector<std::wstring>{L"C:\\data\\一つ目.csv", L"C:\\data\\two.txt",
                                         L"C:\\data\\三.csv"}),
              dialog.m_edit.names);
    EXPECT_TRUE(FxUser::DropIsFreed(first));
    EXPECT_TRUE(FxUser::DropIsFreed(second));
}

TEST(DataValidation, LimitsTheBoxAndRefusesALongerTextSetIntoIt) {
    CShortNameDialog dialog;
    dialog.m_name = L"abc";
    LRESULT limit = 0;
    bool refused = false;
    std::wstring told;
    bool openAfterRefusal = false;
    FxUser user(kFormCaption, [&](HWND dlg) {
        limit = ::SendDlgItemMessageW(dlg, IDC_FX_NAME, EM_GETLIMITTEXT, 0, 0);
        FxUser::Type(dlg, IDC_FX_NAME, L"abcdef");
        ::PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        const HWND box =
            WaitForDialogWith(::GetWindowThreadProcessId(dlg, nullptr), kMessageText, dlg);
        refused = box != nullptr;
        if (box) {
            told = FxUser::Text(::GetDlgItem(box, kMessageText));
            ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            FxUser::WaitUntilGone(box, 3000);
        }
        openAfterRefusal = ::IsWindow(dlg) && ::IsWindowVisible(dlg);
        FxUser::Type(dlg, IDC_FX_NAME, L"abcde");
        FxUser::Press(dlg, IDOK);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    ASSERT_TRUE(user.Join());
    EXPECT_EQ(5, limit);
    EXPECT_TRUE(refused);
    EXPECT_NE(std::wstring::npos, told.find(L"5"));
    EXPECT_TRUE(openAfterRefusal);
    EXPECT_EQ(CString(L"abcde"), dialog.m_name);
}

namespace {

std::wstring TempFolder() {
    wchar_t dir[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, dir);
    return dir;
}

struct SaveAnswer {
    bool found = false;
    std::wstring firstFilter;
    bool readOnlyBoxShown = true;
};

// Types name into the save dialog and presses Save (or cancels when name
// is empty).
SaveAnswer AnswerSaveDialog(DWORD thread, const std::wstring& name) {
    SaveAnswer answer;
    const HWND dialog = WaitForDialogWith(thread, cmb1, nullptr);
    if (!dialog) return answer;
    answer.found = true;
    wchar_t text[256] = {};
    const HWND types = ::GetDlgItem(dialog, cmb1);
    if (::SendMessageW(types, CB_GETLBTEXTLEN, 0, 0) < 256)
        ::SendMessageW(types, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
    answer.firstFilter = text;
    const HWND readOnly = ::GetDlgItem(dialog, chx1);
    answer.readOnlyBoxShown = readOnly && ::IsWindowVisible(readOnly);
    if (name.empty()) {
        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    } else {
        ::SendMessageW(FileNameBox(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
    FxUser::WaitUntilGone(dialog, 5000);
    return answer;
}

} // namespace

TEST(FileDialog, SaveGivesTheTypedPathAndItsParts) {
    const std::wstring path = TempFolder() + L"fx_save_試験.data.csv";
    CFileDialog dialog(FALSE, nullptr, nullptr, OFN_HIDEREADONLY, L"csvファイル (*.csv)|*.csv||");
    SaveAnswer answer;
    const DWORD thread = ::GetCurrentThreadId();
    std::thread user([&] { answer = AnswerSaveDialog(thread, path); });
    const INT_PTR result = dialog.DoModal();
    user.join();
    ASSERT_TRUE(answer.found);
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(L"csvファイル (*.csv)", answer.firstFilter);
    EXPECT_FALSE(answer.readOnlyBoxShown);
    EXPECT_EQ(CString(path), dialog.GetPathName());
    EXPECT_EQ(CString(L"fx_save_試験.data.csv"), dialog.GetFileName());
    EXPECT_EQ(CString(L"csv"), dialog.GetFileExt());
    EXPECT_EQ(CString(L"fx_save_試験.data"), dialog.GetFileTitle());
}

TEST(FileDialog, CancelGivesIdCancelAndANameWithoutExtensionHasNone) {
    {
        CFileDialog dialog(FALSE, nullptr, nullptr, OFN_HIDEREADONLY, L"all|*.*||");
        const DWORD thread = ::GetCurrentThreadId();
        std::thread user([&] { AnswerSaveDialog(thread, L""); });
        EXPECT_EQ(IDCANCEL, dialog.DoModal());
        user.join();
    }
    const std::wstring path = TempFolder() + L"fx_save_plain";
    CFileDialog dialog(FALSE, nullptr, nullptr, OFN_HIDEREADONLY, L"all|*.*||");
    const DWORD thread = ::GetCurrentThreadId();
    std::thread user([&] { AnswerSaveDialog(thread, path); });
    EXPECT_EQ(IDOK, dialog.DoModal());
    user.join();
    EXPECT_EQ(CString(L""), dialog.GetFileExt());
    EXPECT_EQ(CString(L"fx_save_plain"), dialog.GetFileTitle());
}
