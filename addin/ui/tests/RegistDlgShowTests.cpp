// Opening the dialog on a page: the rows, the page information and the copy.
#include "RegistDlgFixture.h"

#include "UiTestSupport.h"

#include <commctrl.h>

namespace {

std::wstring Title(HWND dialog) {
    return BoxText(dialog, IDC_REGIST_TITLE);
}

} // namespace

TEST_F(RegistDlgTest, ListsOneRowPerFormWithControlsAndShowsTheFirstCopy) {
    CRegistDlg dialog(Page(), 0, CRegistDlg::STATE_NEW);
    std::vector<ListRow> rows;
    int selected = -2;
    std::wstring title, name, formName;
    size_t edits = 0;
    std::wstring tempPath;
    bool tempExisted = false;
    const INT_PTR result = Run(dialog, [&](DialogDriver& driver) {
        const HWND dlg = driver.Dialog();
        rows = ReadRows(dlg);
        selected = SelectedRow(dlg);
        title = Title(dlg);
        name = BoxText(dlg, IDC_REGIST_NAME);
        formName = BoxText(dlg, IDC_REGIST_FORMNAME);
        // user, pass, domain, remember, mode a, mode b, memo, the button list
        if (WaitForCopy(dlg, 8)) edits = CopyControls(dlg, L"Edit").size();
        tempPath = dialog.TempPath();
        tempExisted = ::GetFileAttributesW(tempPath.c_str()) != INVALID_FILE_ATTRIBUTES;
        DialogDriver::Click(dlg, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].name, L"アイテム1(新規登録)");
    EXPECT_EQ(rows[0].form, L"login");
    EXPECT_EQ(rows[1].name, L"アイテム2(新規登録)");
    EXPECT_EQ(rows[1].form, L"search");
    EXPECT_EQ(selected, 0);
    EXPECT_EQ(title, L"会員ログイン");
    EXPECT_EQ(name, L"アイテム1");
    EXPECT_EQ(formName, L"login");
    EXPECT_EQ(edits, 3u); // user, pass and memo
    EXPECT_NE(tempPath.find(L"setform"), std::wstring::npos);
    EXPECT_TRUE(tempExisted);
    // Cancel without edits stores nothing and removes the copy.
    EXPECT_EQ(::GetFileAttributesW(tempPath.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Stored(), nullptr);
    EXPECT_EQ(dialog.SaveFlag(), 0);
}
