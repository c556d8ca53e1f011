// The confirmation "登録確認" on its own, over an owner window of the test,
// with the real store's options.
#include "CaptureFixture.h"

#include "CAutoEntryDlg.h"
#include "DialogDriver.h"
#include "UiTestSupport.h"

class AutoEntryDlg : public CaptureFixture {
protected:
    // Runs the dialog; script answers it. The modal result.
    INT_PTR Run(CAutoEntryDlg& dialog, DialogDriver::Script script) {
        DialogDriver driver(L"登録確認", std::move(script));
        const INT_PTR result = dialog.DoModal(TopWindow());
        driver.Join();
        EXPECT_TRUE(driver.Dialog());
        EXPECT_FALSE(driver.LeftOpen());
        return result;
    }
};

TEST_F(AutoEntryDlg, ShowsTheQuestionTheBoxAndTheTwoAnswers) {
    CAutoEntryDlg dialog;
    std::wstring text, box, yes, no;
    LONG_PTR boxStyle = 0;
    const INT_PTR result = Run(dialog, [&](DialogDriver& d) {
        const HWND dlg = d.Dialog();
        for (HWND child = ::GetWindow(dlg, GW_CHILD); child;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            wchar_t name[16] = {};
            ::GetClassNameW(child, name, 16);
            if (::lstrcmpiW(name, L"Static") == 0) text = DialogDriver::Text(child);
        }
        box = DialogDriver::Text(::GetDlgItem(dlg, IDC_AUTOENTRY_NOASK));
        boxStyle = ::GetWindowLongPtrW(::GetDlgItem(dlg, IDC_AUTOENTRY_NOASK), GWL_STYLE);
        yes = DialogDriver::Text(::GetDlgItem(dlg, IDOK));
        no = DialogDriver::Text(::GetDlgItem(dlg, IDCANCEL));
        DialogDriver::Click(dlg, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(text, L"このWebページの情報を登録しますか？");
    EXPECT_EQ(box, L"これ以降、この問い合わせは行わない(&C)");
    EXPECT_EQ(boxStyle & BS_TYPEMASK, BS_AUTOCHECKBOX);
    EXPECT_EQ(yes, L"はい(&Y)");
    EXPECT_EQ(no, L"いいえ(&N)");
}

TEST_F(AutoEntryDlg, EachAnswerWithAndWithoutTheBox) {
    struct Case {
        const char* what;
        bool tick;
        int button;
        INT_PTR modal;
        int result;
        int checkSet;
    };
    const Case cases[] = {
        {"yes", false, IDOK, IDOK, 1, 1},
        {"no", false, IDCANCEL, IDCANCEL, 0, 1},
        {"yes, never again", true, IDOK, IDOK, 1, 0},
        {"no, never again", true, IDCANCEL, IDCANCEL, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteOptions(1, 1, 1, 1);
        CAutoEntryDlg dialog;
        const INT_PTR modal = Run(dialog, [&](DialogDriver& d) {
            if (c.tick) DialogDriver::Click(d.Dialog(), IDC_AUTOENTRY_NOASK);
            DialogDriver::Click(d.Dialog(), c.button);
        });
        EXPECT_EQ(modal, c.modal);
        EXPECT_EQ(dialog.Result(), c.result);
        EXPECT_EQ(StoredCheckSet(), c.checkSet);
        // The other options are written back as they were read.
        CExpData fresh(false);
        ASSERT_TRUE(fresh.GetOptionData());
        EXPECT_EQ(fresh.m_option.m_nOnlyPwd, 1);
        EXPECT_EQ(fresh.m_option.m_nNoMultiText, 1);
        EXPECT_EQ(fresh.m_option.m_nSetAuto, 1);
    }
}

TEST_F(AutoEntryDlg, TheCloseBoxAnswersNo) {
    CAutoEntryDlg dialog;
    const INT_PTR modal = Run(
        dialog, [](DialogDriver& d) { ::PostMessageW(d.Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0); });
    EXPECT_EQ(modal, IDCANCEL);
    EXPECT_EQ(dialog.Result(), 0);
    EXPECT_EQ(StoredCheckSet(), 1);
}
