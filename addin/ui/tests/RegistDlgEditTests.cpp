// Editing in the dialog: switching rows, Clear and the single automatic item.
#include "RegistDlgFixture.h"

namespace {

constexpr size_t kLoginControls = 8;
constexpr size_t kSearchControls = 1;

std::wstring EditText(HWND edit) {
    return DialogDriver::Text(edit);
}

} // namespace

TEST_F(RegistDlgTest, LeavingAnEditedRowAsksAndNoKeepsTheRowAndItsCopy) {
    CRegistDlg dialog(Page(), 0, CRegistDlg::STATE_NEW);
    std::wstring question;
    int selectedAfterNo = -1;
    std::wstring userAfterNo;
    int selectedAfterYes = -1;
    const INT_PTR result = Run(dialog, [&](DialogDriver& driver) {
        const HWND dlg = driver.Dialog();
        if (!WaitForCopy(dlg, kLoginControls)) return;
        TypeInto(CopyControls(dlg, L"Edit")[0], L"typed");
        ClickRow(dlg, 1);
        HWND box = DialogDriver::WaitForMessageBox(dlg);
        question = DialogDriver::MessageBoxText(box);
        Answer(box, IDNO);
        WaitFor([&] { return SelectedRow(dlg) == 0; }, 2000);
        selectedAfterNo = SelectedRow(dlg);
        const auto edits = CopyControls(dlg, L"Edit");
        if (!edits.empty()) userAfterNo = EditText(edits[0]);
        // Yes leaves the edits behind.
        ClickRow(dlg, 1);
        box = DialogDriver::WaitForMessageBox(dlg);
        Answer(box, IDYES);
        WaitFor([&] { return SelectedRow(dlg) == 1; }, 2000);
        selectedAfterYes = SelectedRow(dlg);
        WaitForCopy(dlg, kSearchControls);
        DialogDriver::Click(dlg, IDCANCEL);
        if (HWND cancelBox = DialogDriver::WaitForMessageBox(dlg, 1000)) Answer(cancelBox, IDYES);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(question,
              L"項目の選択を変更すると、編集中のデータは破棄されます。\n選択項目を変更しますか？");
    EXPECT_EQ(selectedAfterNo, 0);
    EXPECT_EQ(userAfterNo, L"typed");
    EXPECT_EQ(selectedAfterYes, 1);
}

TEST_F(RegistDlgTest, ClearAsksNothingWhenUnchangedAndRestoresTheStoredValueOnYes) {
    CRegistDlg dialog(Page(), 1, CRegistDlg::STATE_NEW);
    HWND boxWhenUnchanged = reinterpret_cast<HWND>(1);
    std::wstring question;
    std::wstring restored;
    Run(dialog, [&](DialogDriver& driver) {
        const HWND dlg = driver.Dialog();
        if (!WaitForCopy(dlg, kSearchControls)) return;
        DialogDriver::Click(dlg, IDC_REGIST_CLEAR);
        boxWhenUnchanged = DialogDriver::WaitForMessageBox(dlg, 500);
        const HWND q = CopyControls(dlg, L"Edit")[0];
        TypeInto(q, L"別の検索");
        DialogDriver::Click(dlg, IDC_REGIST_CLEAR);
        const HWND box = DialogDriver::WaitForMessageBox(dlg);
        question = DialogDriver::MessageBoxText(box);
        Answer(box, IDYES);
        WaitFor([&] { return EditText(q) == L"初期値"; }, 2000);
        restored = EditText(q);
        DialogDriver::Click(dlg, IDCANCEL);
    });
    EXPECT_EQ(boxWhenUnchanged, nullptr);
    EXPECT_EQ(question, L"変更前のデータに戻しますか?");
    EXPECT_EQ(restored, L"初期値");
}

TEST_F(RegistDlgTest, OnlyOneItemOfThePageFillsInAutomatically) {
    // First the login item, automatic.
    {
        CRegistDlg first(Page(), 0, CRegistDlg::STATE_NEW);
        Run(first, [&](DialogDriver& driver) {
            const HWND dlg = driver.Dialog();
            if (!WaitForCopy(dlg, kLoginControls)) return;
            SetBoxText(dlg, IDC_REGIST_NAME, L"自動ログイン");
            DialogDriver::Click(dlg, IDC_REGIST_AUTOINPUT);
            DialogDriver::Click(dlg, IDOK);
            DialogDriver::WaitUntilGone(dlg, 10000);
        });
    }
    // Then the search item asks to take the automatic fill over.
    CRegistDlg second(Page(), 1, CRegistDlg::STATE_NEW);
    std::wstring question, caption;
    const INT_PTR result = Run(second, [&](DialogDriver& driver) {
        const HWND dlg = driver.Dialog();
        if (!WaitForCopy(dlg, kSearchControls)) return;
        SetBoxText(dlg, IDC_REGIST_NAME, L"自動検索");
        DialogDriver::Click(dlg, IDC_REGIST_AUTOINPUT);
        const HWND box = DialogDriver::WaitForMessageBox(dlg);
        question = DialogDriver::MessageBoxText(box);
        caption = DialogDriver::Text(box);
        Answer(box, IDYES);
        DialogDriver::Click(dlg, IDOK);
        DialogDriver::WaitUntilGone(dlg, 10000);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(question,
              L"他のアイテムでこの項目がチェックされています。\nこのアイテムで設定しなおしますか?");
    EXPECT_EQ(caption, L"質問");
    const auto stored = Stored();
    ASSERT_NE(stored, nullptr);
    std::vector<std::wstring> automatic;
    for (const auto& item : stored->m_items)
        if (item->m_nAutoInput == 1) automatic.push_back(item->m_strName);
    EXPECT_EQ(automatic, std::vector<std::wstring>{L"自動検索"});
}
