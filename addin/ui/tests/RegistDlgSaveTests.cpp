// Saving what the user typed into the copy, and what stops a save.
#include "RegistDlgFixture.h"

namespace {

// The copy of the login form: user, pass, domain, remember, mode a, mode b,
// memo and the list of its two buttons.
constexpr size_t kLoginControls = 8;

struct Typed {
    std::wstring user = L"yamada.taro";
    std::wstring pass = L"p&ss<秘密>";
    std::wstring memo = L"メモ";
};

// Types into the login copy: its three edit boxes are user, pass and memo.
bool TypeLogin(HWND dialog, const Typed& typed) {
    if (!WaitForCopy(dialog, kLoginControls)) return false;
    const std::vector<HWND> edits = CopyControls(dialog, L"Edit");
    if (edits.size() != 3) return false;
    TypeInto(edits[0], typed.user);
    TypeInto(edits[1], typed.pass);
    TypeInto(edits[2], typed.memo);
    return true;
}

HWND ClickAndWaitForBox(HWND dialog, int id) {
    DialogDriver::Click(dialog, id);
    return DialogDriver::WaitForMessageBox(dialog, 8000);
}

} // namespace

TEST_F(RegistDlgTest, TypedValuesAreStoredAndLoadBackThroughAFreshStore) {
    CRegistDlg dialog(Page(), 0, CRegistDlg::STATE_NEW);
    const Typed typed;
    bool typedAll = false;
    const INT_PTR result = Run(dialog, [&](DialogDriver& driver) {
        const HWND dlg = driver.Dialog();
        typedAll = TypeLogin(dlg, typed);
        SetBoxText(dlg, IDC_REGIST_NAME, L"会社のログイン");
        SetBoxText(dlg, IDC_REGIST_TITLE, L"私の銀行");
        DialogDriver::Click(dlg, IDOK);
        DialogDriver::WaitUntilGone(dlg, 10000);
    });
    ASSERT_TRUE(typedAll);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.SaveFlag(), 1);
    EXPECT_TRUE(dialog.TempPath().empty());

    const auto stored = Stored();
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->m_strTitle, L"私の銀行");
    EXPECT_EQ(stored->m_strUpdateDate.size(), 19u); // "YYYY/MM/DD hh:mm:ss"
    const CDataWebItem* item = nullptr;
    for (const auto& candidate : stored->m_items)
        if (candidate->m_strName == L"会社のログイン") item = candidate.get();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->m_strFormName, L"login");
    const CDataWebCtrl* user = FindStored(*item, D_WEB_CTRL_TEXT, L"user");
    const CDataWebCtrl* pass = FindStored(*item, D_WEB_CTRL_PSWD, L"pass");
    const CDataWebCtrl* memo = FindStored(*item, D_WEB_CTRL_MULTI, L"memo");
    const CDataWebCtrl* domain = FindStored(*item, D_WEB_CTRL_SELECT, L"domain");
    ASSERT_TRUE(user && pass && memo && domain);
    EXPECT_EQ(user->TextValue()->m_strValue, typed.user);
    EXPECT_EQ(user->TextValue()->m_nDataLen, 20);
    EXPECT_EQ(pass->TextValue()->m_strValue, typed.pass);
    EXPECT_EQ(memo->MultiValue()->m_strText, typed.memo);
    ASSERT_EQ(domain->SelValue()->m_elements.size(), 2u);
    EXPECT_EQ(domain->SelValue()->m_elements[1]->m_strValue, L"branch");
    EXPECT_EQ(domain->SelValue()->m_elements[1]->m_nSelect, 1);
}

TEST_F(RegistDlgTest, CancelAfterEditingAsksAndStoresNothing) {
    CRegistDlg dialog(Page(), 0, CRegistDlg::STATE_NEW);
    std::wstring question;
    std::wstring tempPath;
    const INT_PTR result = Run(dialog, [&](DialogDriver& driver) {
        const HWND dlg = driver.Dialog();
        if (!TypeLogin(dlg, Typed{})) return;
        tempPath = dialog.TempPath();
        const HWND box = ClickAndWaitForBox(dlg, IDCANCEL);
        question = DialogDriver::MessageBoxText(box);
        Answer(box, IDYES);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(question, L"キャンセルすると、編集した内容が破棄されます。\nキャンセルしますか?");
    EXPECT_EQ(Stored(), nullptr);
    EXPECT_FALSE(tempPath.empty());
    EXPECT_EQ(::GetFileAttributesW(tempPath.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(RegistDlgTest, EmptyTitleOrNameIsRefusedAndTheDialogStaysOpen) {
    CRegistDlg dialog(Page(), 0, CRegistDlg::STATE_NEW);
    std::wstring noTitle, noName;
    bool enabledAfter = false;
    const INT_PTR result = Run(dialog, [&](DialogDriver& driver) {
        const HWND dlg = driver.Dialog();
        if (!WaitForCopy(dlg, kLoginControls)) return;
        SetBoxText(dlg, IDC_REGIST_TITLE, L"");
        HWND box = ClickAndWaitForBox(dlg, IDOK);
        noTitle = DialogDriver::MessageBoxText(box);
        DialogDriver::DismissMessageBox(box);
        WaitFor([&] { return ::IsWindowEnabled(dlg) != FALSE; });
        SetBoxText(dlg, IDC_REGIST_TITLE, L"題名");
        SetBoxText(dlg, IDC_REGIST_NAME, L"");
        box = ClickAndWaitForBox(dlg, IDOK);
        noName = DialogDriver::MessageBoxText(box);
        DialogDriver::DismissMessageBox(box);
        enabledAfter = WaitFor([&] { return ::IsWindowEnabled(dlg) != FALSE; });
        DialogDriver::Click(dlg, IDCANCEL);
        if (HWND cancelBox = DialogDriver::WaitForMessageBox(dlg, 2000)) Answer(cancelBox, IDYES);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(noTitle, L"タイトル名が設定されていません。");
    EXPECT_EQ(noName, L"アイテム名が設定されていません。");
    EXPECT_TRUE(enabledAfter);
    EXPECT_EQ(Stored(), nullptr);
}

TEST_F(RegistDlgTest, ApplyStoresAndASecondItemCannotTakeTheSameName) {
    CRegistDlg dialog(Page(), 0, CRegistDlg::STATE_NEW);
    std::wstring duplicate;
    std::vector<ListRow> rowsAfterApply;
    const INT_PTR result = Run(dialog, [&](DialogDriver& driver) {
        const HWND dlg = driver.Dialog();
        if (!TypeLogin(dlg, Typed{})) return;
        SetBoxText(dlg, IDC_REGIST_NAME, L"同じ名前");
        DialogDriver::Click(dlg, IDC_REGIST_APPLY);
        // The capture after Apply lists the stored item under its name.
        WaitFor([&] {
            const auto rows = ReadRows(dlg);
            return ::IsWindowEnabled(dlg) && !rows.empty() && rows[0].name == L"同じ名前";
        });
        rowsAfterApply = ReadRows(dlg);
        ClickRow(dlg, 1);
        if (!WaitForCopy(dlg, 1)) return; // q (a single button makes no list)
        SetBoxText(dlg, IDC_REGIST_NAME, L"同じ名前");
        const HWND box = ClickAndWaitForBox(dlg, IDOK);
        duplicate = DialogDriver::MessageBoxText(box);
        DialogDriver::DismissMessageBox(box);
        WaitFor([&] { return ::IsWindowEnabled(dlg) != FALSE; });
        DialogDriver::Click(dlg, IDCANCEL);
        if (HWND cancelBox = DialogDriver::WaitForMessageBox(dlg, 2000)) Answer(cancelBox, IDYES);
    });
    EXPECT_EQ(result, IDCANCEL);
    ASSERT_EQ(rowsAfterApply.size(), 2u);
    EXPECT_EQ(rowsAfterApply[0].name, L"同じ名前");
    EXPECT_EQ(duplicate, L"既に登録されているアイテム名です。");
    EXPECT_EQ(dialog.SaveFlag(), 1);
    const auto stored = Stored();
    ASSERT_NE(stored, nullptr);
    int named = 0;
    for (const auto& item : stored->m_items)
        named += item->m_strName == L"同じ名前" ? 1 : 0;
    EXPECT_EQ(named, 1);
}

TEST_F(RegistDlgTest, SecondSaveInOneDialogDoesNotAuthenticateAgain) {
    CRegistDlg dialog(Page(), 0, CRegistDlg::STATE_NEW);
    const INT_PTR result = Run(dialog, [&](DialogDriver& driver) {
        const HWND dlg = driver.Dialog();
        if (!TypeLogin(dlg, Typed{})) return;
        SetBoxText(dlg, IDC_REGIST_NAME, L"一回目");
        DialogDriver::Click(dlg, IDC_REGIST_APPLY);
        WaitFor([&] {
            return ::IsWindowEnabled(dlg) && ReadRows(dlg).size() == 2 &&
                   ReadRows(dlg)[0].name == L"一回目";
        });
        // From now on an authentication would be refused.
        SetAuthAnswer(2);
        if (!WaitForCopy(dlg, kLoginControls)) return;
        TypeInto(CopyControls(dlg, L"Edit")[0], L"second.user");
        DialogDriver::Click(dlg, IDOK);
        DialogDriver::WaitUntilGone(dlg, 10000);
    });
    EXPECT_EQ(result, IDOK);
    const auto stored = Stored();
    ASSERT_NE(stored, nullptr);
    const CDataWebCtrl* user = nullptr;
    for (const auto& item : stored->m_items)
        if (item->m_strName == L"一回目") user = FindStored(*item, D_WEB_CTRL_TEXT, L"user");
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(user->TextValue()->m_strValue, L"second.user");
}

TEST_F(RegistDlgTest, RefusedAuthenticationStoresNothingAndKeepsTheDialogOpen) {
    SetAuthAnswer(2);
    CRegistDlg dialog(Page(), 0, CRegistDlg::STATE_NEW);
    bool openAfterOK = false;
    const INT_PTR result = Run(dialog, [&](DialogDriver& driver) {
        const HWND dlg = driver.Dialog();
        if (!TypeLogin(dlg, Typed{})) return;
        SetBoxText(dlg, IDC_REGIST_NAME, L"拒否");
        DialogDriver::Click(dlg, IDOK);
        openAfterOK = WaitFor([&] { return ::IsWindowEnabled(dlg) != FALSE; }, 8000) &&
                      !DialogDriver::WaitUntilGone(dlg, 500);
        DialogDriver::Click(dlg, IDCANCEL);
        if (HWND box = DialogDriver::WaitForMessageBox(dlg, 2000)) Answer(box, IDYES);
    });
    EXPECT_TRUE(openAfterOK);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dialog.SaveFlag(), 0);
    EXPECT_EQ(Stored(), nullptr);
}
