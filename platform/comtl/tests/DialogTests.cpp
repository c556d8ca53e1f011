#include <gtest/gtest.h>
#include "CAxDialogImpl.h"
#include "TestResource.h"

namespace {

constexpr UINT kAsk = WM_APP + 10;    // answered with wParam * 2 through DWLP_MSGRESULT
constexpr UINT kFinish = WM_APP + 11; // ends the modal dialog with wParam
constexpr UINT_PTR kSafetyTimer = 9;  // ends a modal test that went wrong instead of hanging

template <UINT Id> class CTestDialogBase : public CAxDialogImpl<CTestDialogBase<Id>> {
public:
    enum { IDD = Id };

    BEGIN_MSG_MAP(CTestDialogBase)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(kAsk, OnAsk)
    MESSAGE_HANDLER(kFinish, OnFinish)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    COMMAND_ID_HANDLER(IDOK, OnOk)
    END_MSG_MAP()

    LRESULT OnInitDialog(UINT, WPARAM, LPARAM lParam, BOOL&) {
        initParam = lParam;
        editFound = this->GetDlgItem(IDC_TEST_EDIT) != nullptr;
        if (postOnInit) this->PostMessage(postOnInit, postWParam, postLParam);
        ::SetTimer(this->m_hWnd, kSafetyTimer, 5000, nullptr);
        return TRUE;
    }
    LRESULT OnAsk(UINT, WPARAM wParam, LPARAM, BOOL&) { return static_cast<LRESULT>(wParam) * 2; }
    LRESULT OnFinish(UINT, WPARAM wParam, LPARAM, BOOL&) {
        this->EndDialog(static_cast<INT_PTR>(wParam));
        return 0;
    }
    LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL&) {
        this->EndDialog(-2);
        return 0;
    }
    LRESULT OnOk(WORD code, WORD, HWND, BOOL&) {
        okCode = code;
        this->EndDialog(IDOK);
        return 0;
    }
    void OnFinalMessage(HWND window) override { finalWindow = window; }

    UINT postOnInit = 0;
    WPARAM postWParam = 0;
    LPARAM postLParam = 0;
    LPARAM initParam = 0;
    bool editFound = false;
    int okCode = -1;
    HWND finalWindow = nullptr;
};

using CTestDialog = CTestDialogBase<IDD_TEST_DIALOG>;

TEST(AxDialogImpl, HandlersAnswerReachesSendMessage) {
    CTestDialog dialog;
    const HWND hwnd = dialog.Create(nullptr, 1234);
    ASSERT_NE(nullptr, hwnd);
    EXPECT_EQ(1234, dialog.initParam);
    EXPECT_TRUE(dialog.editFound);
    EXPECT_EQ(84, ::SendMessageW(hwnd, kAsk, 42, 0));
    EXPECT_EQ(84, ::GetWindowLongPtrW(hwnd, DWLP_MSGRESULT));
    // A message the map does not know gets the dialog manager's default answer.
    EXPECT_EQ(0, ::SendMessageW(hwnd, WM_APP + 99, 0, 0));

    ASSERT_TRUE(dialog.DestroyWindow());
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    EXPECT_EQ(hwnd, dialog.finalWindow);
}

TEST(AxDialogImpl, ModalDialogReturnsTheEndDialogResult) {
    CTestDialog dialog;
    dialog.postOnInit = kFinish;
    dialog.postWParam = 77;
    EXPECT_EQ(77, dialog.DoModal(nullptr, 5));
    EXPECT_EQ(5, dialog.initParam);
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    EXPECT_NE(nullptr, dialog.finalWindow);
}

TEST(AxDialogImpl, ButtonCommandReachesTheCommandHandler) {
    CTestDialog dialog;
    dialog.postOnInit = WM_COMMAND;
    dialog.postWParam = MAKEWPARAM(IDOK, BN_CLICKED);
    EXPECT_EQ(IDOK, dialog.DoModal(nullptr));
    EXPECT_EQ(BN_CLICKED, dialog.okCode);
}

TEST(AxDialogImpl, MissingTemplateFailsWithoutBinding) {
    CTestDialogBase<IDD_MISSING_DIALOG> dialog;
    EXPECT_EQ(-1, dialog.DoModal(nullptr));
    EXPECT_EQ(nullptr, dialog.Create(nullptr));
    EXPECT_EQ(nullptr, dialog.m_hWnd);

    // The failed attempts leave nothing behind that a later dialog would pick up.
    CTestDialog good;
    ASSERT_NE(nullptr, good.Create(nullptr));
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    good.DestroyWindow();
}

} // namespace
