#include <gtest/gtest.h>

#include "FormDialog.h"
#include "FxUser.h"

namespace {

const wchar_t kFormCaption[] = L"フォームの試験";

TEST(ModalDialog, FillsTheControlsAndReadsThemBackOnOK) {
    CFormDialog dialog;
    dialog.m_name = L"最初の名前";
    dialog.m_check = 1;
    dialog.m_number = 7;
    std::wstring shownName;
    UINT shownCheck = 0;
    std::wstring shownNumber;
    FxUser user(kFormCaption, [&](HWND dlg) {
        shownName = FxUser::Text(::GetDlgItem(dlg, IDC_FX_NAME));
        shownCheck = ::IsDlgButtonChecked(dlg, IDC_FX_CHECK);
        shownNumber = FxUser::Text(::GetDlgItem(dlg, IDC_FX_NUMBER));
        FxUser::Type(dlg, IDC_FX_NAME, L"入力した名前");
        FxUser::Type(dlg, IDC_FX_NUMBER, L"42");
        FxUser::Press(dlg, IDC_FX_CHECK);
        FxUser::Press(dlg, IDOK);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    ASSERT_TRUE(user.Join());
    EXPECT_FALSE(user.LeftOpen());
    EXPECT_EQ(1, dialog.m_initCount);
    EXPECT_EQ(L"最初の名前", shownName);
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), shownCheck);
    EXPECT_EQ(L"7", shownNumber);
    EXPECT_EQ(CString(L"入力した名前"), dialog.m_name);
    EXPECT_EQ(0, dialog.m_check);
    EXPECT_EQ(42, dialog.m_number);
    EXPECT_EQ(nullptr, dialog.m_hWnd);
}

TEST(ModalDialog, RefusesANumberThatIsNoneAndStaysOpen) {
    CFormDialog dialog;
    bool openAfterRefusal = false;
    HWND focusAfterRefusal = nullptr;
    HWND numberBox = nullptr;
    FxUser user(kFormCaption, [&](HWND dlg) {
        numberBox = ::GetDlgItem(dlg, IDC_FX_NUMBER);
        FxUser::Type(dlg, IDC_FX_NUMBER, L"abc");
        FxUser::Press(dlg, IDOK);
        ::Sleep(100);
        openAfterRefusal = ::IsWindow(dlg) && ::IsWindowVisible(dlg);
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        if (::GetGUIThreadInfo(::GetWindowThreadProcessId(dlg, nullptr), &info))
            focusAfterRefusal = info.hwndFocus;
        FxUser::Type(dlg, IDC_FX_NUMBER, L"5");
        FxUser::Press(dlg, IDOK);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    ASSERT_TRUE(user.Join());
    EXPECT_TRUE(openAfterRefusal);
    EXPECT_EQ(numberBox, focusAfterRefusal);
    EXPECT_EQ(5, dialog.m_number);
}

TEST(ModalDialog, EscapeInAControlCancelsThroughTheModalLoop) {
    CFormDialog dialog;
    dialog.m_name = L"元の名前";
    FxUser user(kFormCaption, [&](HWND dlg) {
        FxUser::Type(dlg, IDC_FX_NAME, L"捨てる名前");
        FxUser::Key(::GetDlgItem(dlg, IDC_FX_NAME), VK_ESCAPE);
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    ASSERT_TRUE(user.Join());
    EXPECT_FALSE(user.LeftOpen());
    EXPECT_EQ(CString(L"元の名前"), dialog.m_name);
}

TEST(ModalDialog, AcceleratorKeyReachesTheDialogsCommand) {
    CFormDialog dialog;
    FxUser user(kFormCaption,
                [&](HWND dlg) { FxUser::Key(::GetDlgItem(dlg, IDC_FX_NAME), VK_F5); });
    EXPECT_EQ(77, dialog.DoModal());
    ASSERT_TRUE(user.Join());
    EXPECT_FALSE(user.LeftOpen());
    EXPECT_EQ(1, dialog.m_accelRuns);
}

TEST(ModalDialog, KeyWithoutAcceleratorTableDoesNothing) {
    CFormDialog dialog;
    dialog.m_useAccelerators = false;
    bool openAfterKey = false;
    FxUser user(kFormCaption, [&](HWND dlg) {
        FxUser::Key(::GetDlgItem(dlg, IDC_FX_NAME), VK_F5);
        ::Sleep(150);
        openAfterKey = ::IsWindow(dlg) != FALSE;
        FxUser::Press(dlg, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    ASSERT_TRUE(user.Join());
    EXPECT_TRUE(openAfterKey);
    EXPECT_EQ(0, dialog.m_accelRuns);
}

TEST(ModalDialog, CloseBoxCancelsUnlessTheDialogKeepsItselfOpen) {
    CFormDialog dialog;
    FxUser user(kFormCaption, [&](HWND dlg) { ::PostMessageW(dlg, WM_SYSCOMMAND, SC_CLOSE, 0); });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    ASSERT_TRUE(user.Join());
    EXPECT_EQ(1, dialog.m_closeRequests);

    CFormDialog keeper;
    keeper.m_ignoreClose = true;
    bool openAfterClose = false;
    FxUser keeperUser(kFormCaption, [&](HWND dlg) {
        ::SendMessageW(dlg, WM_SYSCOMMAND, SC_CLOSE, 0);
        ::Sleep(50);
        openAfterClose = ::IsWindow(dlg) != FALSE;
        FxUser::Press(dlg, IDOK);
    });
    EXPECT_EQ(IDOK, keeper.DoModal());
    ASSERT_TRUE(keeperUser.Join());
    EXPECT_TRUE(openAfterClose);
    EXPECT_EQ(1, keeper.m_closeRequests);
}

TEST(ModalDialog, EndDialogDuringInitialisationReturnsAtOnce) {
    CFormDialog dialog;
    dialog.m_endInInit = true;
    EXPECT_EQ(55, dialog.DoModal());
    EXPECT_EQ(1, dialog.m_initCount);
    EXPECT_EQ(nullptr, dialog.m_hWnd);
}

TEST(ModalDialog, MissingTemplateFails) {
    CDialog dialog(999u);
    EXPECT_EQ(-1, dialog.DoModal());
    EXPECT_EQ(nullptr, dialog.m_hWnd);
}

// The worker reads the controls by a message to the dialog, changes the
// value and puts it back by calling UpdateData itself, which the dialog's
// thread carries out; the dialog polls the suspended-then-resumed worker.
UINT ExchangingWorker(LPVOID param) {
    auto* dialog = static_cast<CFormDialog*>(param);
    if (!::SendMessageW(dialog->m_hWnd, CFormDialog::kExchange, 1, 0)) return 1;
    dialog->m_name += L"と作業";
    // A wrapper the worker asks for is its own thread's, gone with it.
    CWnd* name = dialog->GetDlgItem(IDC_FX_NAME);
    if (!name || name == CWnd::FromHandlePermanent(name->m_hWnd)) return 3;
    name->EnableWindow(TRUE);
    if (!dialog->UpdateData(FALSE)) return 2;
    // The dialog's polls see the worker still running before it ends.
    for (int i = 0; i < 500 && dialog->m_polls < 2; ++i)
        ::Sleep(10);
    return 5;
}

TEST(ModalDialog, WorkerGetsDataExchangeOnTheDialogsThread) {
    CFormDialog dialog;
    dialog.m_worker =
        AfxBeginThread(ExchangingWorker, &dialog, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, dialog.m_worker);
    dialog.m_worker->m_bAutoDelete = FALSE;
    FxUser user(kFormCaption, [&](HWND dlg) {
        FxUser::Type(dlg, IDC_FX_NAME, L"入力");
        FxUser::Press(dlg, IDC_FX_START);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    ASSERT_TRUE(user.Join());
    EXPECT_EQ(5u, dialog.m_workerExit);
    EXPECT_GE(dialog.m_polls.load(), 3);
    EXPECT_EQ(CString(L"入力と作業"), dialog.m_name);
    EXPECT_EQ(CString(L"入力と作業"), dialog.m_textWhenWorkerEnded);
}

class CNoticeDialog : public CDialog {
public:
    CNoticeDialog() : CDialog(IDD_FX_NOTICE) {}
    void PostNcDestroy() override { ++m_finalCalls; }
    int m_finalCalls = 0;
};

TEST(ModelessDialog, IsCreatedHiddenShownAndDestroyed) {
    CNoticeDialog notice;
    ASSERT_TRUE(notice.Create(IDD_FX_NOTICE));
    const HWND window = notice.m_hWnd;
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(&notice, CWnd::FromHandlePermanent(window));
    EXPECT_FALSE(notice.IsWindowVisible());
    notice.ShowWindow(SW_SHOW);
    EXPECT_TRUE(notice.IsWindowVisible());
    CString text;
    notice.GetDlgItemText(IDC_FX_NOTICE_TEXT, text);
    EXPECT_EQ(CString(L"お待ちください"), text);

    EXPECT_TRUE(notice.DestroyWindow());
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(nullptr, notice.m_hWnd);
    EXPECT_EQ(1, notice.m_finalCalls);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(window));
}

TEST(ModalDialog, OwnerIsDisabledWhileTheDialogRunsAndEnabledAfter) {
    CNoticeDialog owner;
    ASSERT_TRUE(owner.Create(IDD_FX_NOTICE));
    owner.ShowWindow(SW_SHOW);
    CFormDialog dialog(&owner);
    bool ownerEnabledMeanwhile = true;
    HWND dialogOwner = nullptr;
    FxUser user(kFormCaption, [&](HWND dlg) {
        ownerEnabledMeanwhile = ::IsWindowEnabled(owner.m_hWnd) != FALSE;
        dialogOwner = ::GetWindow(dlg, GW_OWNER);
        FxUser::Press(dlg, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    ASSERT_TRUE(user.Join());
    EXPECT_FALSE(ownerEnabledMeanwhile);
    EXPECT_EQ(owner.m_hWnd, dialogOwner);
    EXPECT_TRUE(owner.IsWindowEnabled());
    owner.DestroyWindow();
}

} // namespace
