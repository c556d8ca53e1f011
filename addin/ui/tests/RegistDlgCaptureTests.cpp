// The page capture on its own: the model built from the page, without a window.
#include "RegistDlgFixture.h"

#include "RegistHtml.h"

namespace {

const CDataWebItem* ItemOf(const CDataWebForm& form, const std::wstring& formName) {
    for (const auto& item : form.m_items)
        if (item->m_strFormName == formName) return item.get();
    return nullptr;
}

std::vector<int> Kinds(const CDataWebItem& item) {
    std::vector<int> kinds;
    for (const auto& ctrl : item.m_ctrls)
        kinds.push_back(ctrl->m_nType);
    return kinds;
}

} // namespace

TEST_F(RegistDlgTest, CaptureMakesOneItemPerFormWithControlsInPageOrder) {
    CRegistDlg dialog(Page(), 0, CRegistDlg::STATE_NEW);
    ASSERT_TRUE(dialog.UpdatePageData());
    const CDataWebForm* form = dialog.PageForm();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->m_strTitle, L"会員ログイン");
    EXPECT_EQ(form->m_strUrl, PageUrl());
    // The form with only a hidden input leaves no item behind.
    ASSERT_EQ(form->m_items.size(), 2u);
    const CDataWebItem* login = ItemOf(*form, L"login");
    const CDataWebItem* search = ItemOf(*form, L"search");
    ASSERT_TRUE(login && search);
    EXPECT_EQ(login->m_nIndex, 0);
    EXPECT_EQ(search->m_nIndex, 1);
    EXPECT_EQ(Kinds(*login), (std::vector<int>{D_WEB_CTRL_TEXT, D_WEB_CTRL_PSWD, D_WEB_CTRL_SELECT,
                                               D_WEB_CTRL_CHECK, D_WEB_CTRL_RADIO, D_WEB_CTRL_MULTI,
                                               D_WEB_CTRL_SUBMIT, D_WEB_CTRL_SUBMIT}));
    // Positions follow the page's element order.
    int previous = -1;
    for (const auto& ctrl : login->m_ctrls) {
        EXPECT_GT(ctrl->m_nPosition, previous) << ctrl->m_strName.c_str();
        previous = ctrl->m_nPosition;
    }

    const CDataWebSelCtrl* domain = FindStored(*login, D_WEB_CTRL_SELECT, L"domain")->SelValue();
    ASSERT_EQ(domain->m_elements.size(), 2u);
    EXPECT_EQ(domain->m_elements[0]->m_strText, L"本社");
    EXPECT_EQ(domain->m_elements[0]->m_nSelect, 0);
    // "branch selected": the mark selects the option and is dropped.
    EXPECT_EQ(domain->m_elements[1]->m_strValue, L"branch");
    EXPECT_EQ(domain->m_elements[1]->m_nSelect, 1);

    const CDataWebSelCtrl* mode = FindStored(*login, D_WEB_CTRL_RADIO, L"mode")->SelValue();
    ASSERT_EQ(mode->m_elements.size(), 2u);
    EXPECT_EQ(mode->m_elements[0]->m_nSelect, 1);
    EXPECT_EQ(mode->m_elements[1]->m_nSelect, 0);

    EXPECT_EQ(FindStored(*login, D_WEB_CTRL_TEXT, L"user")->TextValue()->m_nDataLen, 20);
    // maxlength 600 is more than a stored length may be.
    EXPECT_EQ(FindStored(*search, D_WEB_CTRL_TEXT, L"q")->TextValue()->m_nDataLen, -1);
    EXPECT_EQ(FindStored(*search, D_WEB_CTRL_TEXT, L"q")->TextValue()->m_strValue, L"初期値");
    const CDataWebMultiText* memo = FindStored(*login, D_WEB_CTRL_MULTI, L"memo")->MultiValue();
    EXPECT_EQ(memo->m_nRows, 3);
    EXPECT_EQ(memo->m_nCols, 20);
    // Nothing points into the live page.
    for (const auto& ctrl : login->m_ctrls)
        EXPECT_FALSE(ctrl->m_element);
}

TEST_F(RegistDlgTest, EachFormIsSentByTheClickedButtonElseByItsFirst) {
    const auto sending = [](const CDataWebForm& form) {
        std::vector<int> marks;
        for (const wchar_t* formName : {L"login", L"search"})
            for (const auto& ctrl : ItemOf(form, formName)->m_ctrls)
                if (ctrl->m_nType == D_WEB_CTRL_SUBMIT)
                    marks.push_back(ctrl->ButtonValue()->m_nSelected);
        return marks; // go, back, 検索
    };
    // Without a click (the toolbar; the fill-in's re-registration, which
    // passes the form's index) the row to select does not choose buttons.
    for (const int selForm : {0, 1}) {
        SCOPED_TRACE(selForm);
        CRegistDlg dialog(Page(), selForm, CRegistDlg::STATE_NEW);
        ASSERT_TRUE(dialog.UpdatePageData());
        EXPECT_EQ(sending(*dialog.PageForm()), (std::vector<int>{1, 0, 1}));
    }
    // "戻る" clicked: it sends its form; the other form keeps its first.
    CComPtr<IHTMLElementCollection> all;
    ASSERT_EQ(Page()->get_all(&all), S_OK);
    CComPtr<IHTMLElement> back;
    long count = 0;
    ASSERT_EQ(all->get_length(&count), S_OK);
    for (long i = 0; i < count && !back; ++i) {
        CComPtr<IHTMLElement> element;
        if (SUCCEEDED(ItemAt(all.p, i, IID_IHTMLElement, element)) &&
            regist::ControlName(element) == L"back")
            back = element;
    }
    ASSERT_TRUE(back);
    CRegistDlg clicked(Page(), 0, CRegistDlg::STATE_NEW, back);
    ASSERT_TRUE(clicked.UpdatePageData());
    EXPECT_EQ(sending(*clicked.PageForm()), (std::vector<int>{0, 1, 1}));
}

TEST_F(RegistDlgTest, CaptureWithoutDocumentFails) {
    CRegistDlg dialog(nullptr, 0, CRegistDlg::STATE_NEW);
    EXPECT_FALSE(dialog.UpdatePageData());
    EXPECT_EQ(dialog.PageForm(), nullptr);
}

class RegistDlgStoredTest : public RegistDlgTest {
protected:
    static constexpr const wchar_t* kStoredPassword = L"pw-秘密&<x>";

    // Stores the page as a user would have: item "login" named, with values.
    void StoreLogin(const std::wstring& user, const std::wstring& q) {
        CRegistDlg capture(Page(), 0, CRegistDlg::STATE_NEW);
        ASSERT_TRUE(capture.UpdatePageData());
        CDataWebForm* form = capture.PageForm();
        for (auto& item : form->m_items) {
            item->m_strName = item->m_strFormName == L"login" ? L"ログイン" : L"検索";
            for (auto& ctrl : item->m_ctrls) {
                if (ctrl->m_strName == L"user") ctrl->TextValue()->m_strValue = user;
                if (ctrl->m_strName == L"q") ctrl->TextValue()->m_strValue = q;
                if (ctrl->m_strName == L"pass") ctrl->TextValue()->m_strValue = kStoredPassword;
            }
        }
        CExpData store;
        ASSERT_EQ(store.SetWebPageData(form, form->m_items[0].get()), 0);
    }
};

TEST_F(RegistDlgStoredTest, NewStateShowsTheStoredValues) {
    StoreLogin(L"stored.user", L"stored query");
    CRegistDlg dialog(Page(), 0, CRegistDlg::STATE_NEW);
    ASSERT_TRUE(dialog.UpdatePageData());
    const CDataWebItem* search = ItemOf(*dialog.PageForm(), L"search");
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(search->m_strName, L"検索");
    const CDataWebCtrl* q = FindStored(*search, D_WEB_CTRL_TEXT, L"q");
    EXPECT_EQ(q->TextValue()->m_strValue, L"stored query");
    EXPECT_EQ(q->m_nChanged, 0);
}

TEST_F(RegistDlgStoredTest, OverwriteKeepsStoredValuesForEmptyFieldsAndTakesChangedOnes) {
    StoreLogin(L"stored.user", L"stored query");
    CRegistDlg dialog(Page(), 0, CRegistDlg::STATE_OVERWRITE);
    ASSERT_TRUE(dialog.UpdatePageData());
    const CDataWebItem* login = ItemOf(*dialog.PageForm(), L"login");
    const CDataWebItem* search = ItemOf(*dialog.PageForm(), L"search");
    ASSERT_TRUE(login && search);
    // The page's user field is empty: the stored value stays.
    const CDataWebCtrl* user = FindStored(*login, D_WEB_CTRL_TEXT, L"user");
    EXPECT_EQ(user->TextValue()->m_strValue, L"stored.user");
    EXPECT_EQ(user->m_nChanged, 0);
    // The page's query differs: it replaces the stored one.
    const CDataWebCtrl* q = FindStored(*search, D_WEB_CTRL_TEXT, L"q");
    EXPECT_EQ(q->TextValue()->m_strValue, L"初期値");
    EXPECT_EQ(q->m_nChanged, 1);
}

TEST_F(RegistDlgStoredTest, AddStateListsACopyOfTheChosenFormAsANewItem) {
    StoreLogin(L"stored.user", L"stored query");
    CRegistDlg dialog(Page(), 1, CRegistDlg::STATE_ADD);
    std::vector<ListRow> rows;
    int selected = -1;
    std::wstring name;
    Run(dialog, [&](DialogDriver& driver) {
        const HWND dlg = driver.Dialog();
        rows = ReadRows(dlg);
        selected = SelectedRow(dlg);
        name = BoxText(dlg, IDC_REGIST_NAME);
        DialogDriver::Click(dlg, IDCANCEL);
        if (HWND box = DialogDriver::WaitForMessageBox(dlg, 1000)) Answer(box, IDYES);
    });
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].name, L"ログイン");
    EXPECT_EQ(rows[1].name, L"検索");
    EXPECT_EQ(rows[2].name, L"アイテム1(新規登録)");
    EXPECT_EQ(rows[2].form, L"search");
    EXPECT_EQ(selected, 2);
    EXPECT_EQ(name, L"アイテム1");
    EXPECT_EQ(dialog.State(), CRegistDlg::STATE_NEW);
    const CDataWebItem* added = dialog.PageForm()->m_items.back().get();
    EXPECT_TRUE(added->m_strKey.empty());
    EXPECT_EQ(added->m_nAutoInput, 0);
    EXPECT_EQ(FindStored(*added, D_WEB_CTRL_TEXT, L"q")->TextValue()->m_strValue, L"初期値");
}

TEST_F(RegistDlgStoredTest, ReregisterReplacesTheStoredPageOnSave) {
    StoreLogin(L"stored.user", L"stored query");
    CRegistDlg dialog(Page(), 0, CRegistDlg::STATE_REREGIST);
    std::vector<ListRow> rows;
    const INT_PTR result = Run(dialog, [&](DialogDriver& driver) {
        const HWND dlg = driver.Dialog();
        rows = ReadRows(dlg);
        if (!WaitForCopy(dlg, 8)) return;
        SetBoxText(dlg, IDC_REGIST_NAME, L"新しいログイン");
        DialogDriver::Click(dlg, IDOK);
        DialogDriver::WaitUntilGone(dlg, 10000);
    });
    EXPECT_EQ(result, IDOK);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].name, L"アイテム1(新規登録)"); // every item is new
    const auto stored = Stored();
    ASSERT_NE(stored, nullptr);
    std::vector<std::wstring> names;
    for (const auto& item : stored->m_items)
        names.push_back(item->m_strName);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"新しいログイン", L""}));
}

TEST_F(RegistDlgTest, LongUrlShowsAsThreeLinesOf55Characters) {
    std::wstring url = L"http://example.test/";
    while (url.size() < 200)
        url += L"abcdefghij";
    url.resize(200);
    auto page = torva::browser::HtmlDocument::FromMarkup(
        url, L"<html><head><title>t</title></head><body><form><input name=a></form></body></html>");
    CRegistDlg dialog(page.get(), 0, CRegistDlg::STATE_NEW);
    std::wstring shown;
    Run(dialog, [&](DialogDriver& driver) {
        shown = BoxText(driver.Dialog(), IDC_REGIST_URL);
        DialogDriver::Click(driver.Dialog(), IDCANCEL);
    });
    page->Close();
    EXPECT_EQ(shown,
              url.substr(0, 55) + L"\n" + url.substr(55, 55) + L"\n" + url.substr(110, 55) + L"\n");
}

TEST_F(RegistDlgStoredTest, StoredValuesAndThePasswordAppearInTheCopy) {
    StoreLogin(L"stored.user", L"stored query");
    CRegistDlg dialog(Page(), 0, CRegistDlg::STATE_NEW);
    std::vector<std::wstring> shown;
    Run(dialog, [&](DialogDriver& driver) {
        const HWND dlg = driver.Dialog();
        if (!WaitForCopy(dlg, 8)) return;
        for (HWND edit : CopyControls(dlg, L"Edit"))
            shown.push_back(DialogDriver::Text(edit));
        DialogDriver::Click(dlg, IDCANCEL);
    });
    // Shown in a password box (filled after loading) or as plain text,
    // whichever the option says: the stored password either way.
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"stored.user", kStoredPassword, L""}));
}
