// The management dialog's commands run as a user runs them: nodes selected
// in the tree, buttons pressed, names typed, and every question answered in
// its message box.
#include "MgrDialogSupport.h"
#include "MgrTestSupport.h"
#include "CWinApp.h"
#include "FxUser.h"
#include "resource.h"

#include <commctrl.h>
#include <shellapi.h>
#include <gtest/gtest.h>

namespace {

class MgrCommands : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), 0xFF};
        ::InitCommonControlsEx(&controls);
        ASSERT_TRUE(AfxEnableControlContainer());
        RemoveLeftoverPages(m_raw);
    }
    void TearDown() override {
        if (m_dlg.m_hWnd) m_dlg.DestroyWindow();
        for (const auto& key : m_keys)
            m_raw.Delete(key);
    }
    std::wstring NewPage(const std::wstring& tag, const std::wstring& title,
                         const std::wstring& url) {
        m_keys.push_back(ScratchPageKey(tag));
        const std::wstring& page = m_keys.back();
        EXPECT_TRUE(m_raw.Create(page));
        m_raw.SetText(page, L"URL", url);
        m_raw.SetText(page, L"TITLE", title);
        m_raw.SetDword(page, L"CHANGEFLG", 0);
        m_label = title + L"(" + url + L")";
        return page;
    }
    std::wstring AddItem(const std::wstring& page, const wchar_t* key, const std::wstring& name,
                         DWORD index, DWORD autoInput = 0) {
        const std::wstring item = page + L"\\" + key;
        m_raw.SetText(item, L"NAME", name);
        m_raw.SetText(item, L"FORMNAME", L"login");
        m_raw.SetDword(item, L"AUTOINPUT", autoInput);
        m_raw.SetDword(item, L"AUTOSEND", 0);
        m_raw.SetDword(item, L"INDEX", index);
        m_raw.SetDword(item + L"\\CTRL001", L"TYPE", D_WEB_CTRL_TEXT);
        m_raw.SetText(item + L"\\CTRL001", L"NAME", L"user");
        m_raw.SetText(item + L"\\CTRL001", L"VALUE", L"山田");
        return item;
    }
    HWND Tree() const { return m_dlg.Item(IDC_TREE_WEBDATA); }
    HTREEITEM PageNode() { return FindChild(Tree(), TreeView_GetRoot(Tree()), m_label); }
    HTREEITEM ItemNode(const std::wstring& label) { return FindChild(Tree(), PageNode(), label); }
    // A click on the node.
    bool Select(HTREEITEM node) { return node && TreeView_SelectItem(Tree(), node); }
    void Type(int id, const wchar_t* text) { ::SetDlgItemTextW(m_dlg.m_hWnd, id, text); }
    std::wstring Text(int id) { return FxUser::Text(m_dlg.Item(id)); }
    // A click on a check box: it toggles and tells the dialog.
    void Click(int id) { ::SendMessageW(m_dlg.Item(id), BM_CLICK, 0, 0); }
    bool Checked(int id) { return ::IsDlgButtonChecked(m_dlg.m_hWnd, id) == BST_CHECKED; }
    void Apply() {
        m_dlg.Press(IDC_BUTTON_APPLY);
        EXPECT_TRUE(PumpUntil([this] { return !m_dlg.IsSaving(); }));
    }
    CDataWebItem* Shown() { return m_dlg.m_pShownItem; }
    CDataWebItem* ItemOf(const std::wstring& key) {
        for (auto& page : m_dlg.m_pages)
            for (auto& item : page->m_items)
                if (item->m_strKey == key) return item.get();
        return nullptr;
    }

    RawDb m_raw;
    std::vector<std::wstring> m_keys;
    std::wstring m_label;
    UserDlg m_dlg;
};

} // namespace

TEST_F(MgrCommands, DeletingTheOnlyItemOfAFormLeavesAPlaceholder) {
    const std::wstring page = NewPage(L"del1", L"削除", L"https://example.jp/d1");
    const std::wstring item = AddItem(page, L"ITEM001", L"仕事用", 0);
    ASSERT_TRUE(m_dlg.Open());
    ASSERT_TRUE(Select(ItemNode(L"仕事用")));
    {
        BoxUser user({IDNO});
        m_dlg.Press(IDC_BUTTON_DELETE);
        ASSERT_EQ(1u, user.Texts().size());
        EXPECT_EQ(L"アイテム「仕事用」の情報を削除しますか？", user.Texts()[0]);
    }
    EXPECT_NE(nullptr, ItemNode(L"仕事用"));
    {
        BoxUser user({IDYES});
        m_dlg.Press(IDC_BUTTON_DELETE);
        EXPECT_EQ(1u, user.Texts().size());
    }
    // The form keeps a node to register data for it again.
    EXPECT_EQ(1, ChildCount(Tree(), PageNode()));
    ASSERT_NE(nullptr, ItemNode(L"login(新規登録)"));
    ASSERT_NE(nullptr, ItemOf(item));
    EXPECT_EQ(CTvrIEToolDlg::kItemPlaceholder, ItemOf(item)->m_nState);

    BoxUser user({});
    Apply();
    EXPECT_TRUE(user.Texts().empty());
    EXPECT_TRUE(m_raw.Exists(item));
    EXPECT_EQ(std::optional<std::wstring>(L""), m_raw.Text(item, L"NAME"));
    EXPECT_EQ(CTvrIEToolDlg::kItemUnnamed, ItemOf(item)->m_nState);
}

TEST_F(MgrCommands, DeletingOneOfTwoItemsOfAFormRemovesItsNode) {
    const std::wstring page = NewPage(L"del2", L"削除二", L"https://example.jp/d2");
    const std::wstring first = AddItem(page, L"ITEM001", L"一つ目", 0);
    const std::wstring second = AddItem(page, L"ITEM002", L"二つ目", 0);
    ASSERT_TRUE(m_dlg.Open());
    ASSERT_TRUE(Select(ItemNode(L"二つ目")));
    {
        BoxUser user({IDYES});
        m_dlg.Press(IDC_BUTTON_DELETE);
        EXPECT_EQ(1u, user.Texts().size());
    }
    EXPECT_EQ(nullptr, ItemNode(L"二つ目"));
    EXPECT_EQ(1, ChildCount(Tree(), PageNode()));
    BoxUser user({});
    Apply();
    EXPECT_FALSE(m_raw.Exists(second));
    EXPECT_TRUE(m_raw.Exists(first));
}

TEST_F(MgrCommands, DeletingAPageAsksWithItsTitle) {
    const std::wstring page = NewPage(L"del3", L"消す頁", L"https://example.jp/d3");
    AddItem(page, L"ITEM001", L"項目", 0);
    ASSERT_TRUE(m_dlg.Open());
    ASSERT_TRUE(Select(PageNode()));
    {
        BoxUser user({IDYES});
        m_dlg.Press(IDC_BUTTON_DELETE);
        ASSERT_EQ(1u, user.Texts().size());
        EXPECT_EQ(L"ページ「消す頁」を削除しますか？", user.Texts()[0]);
    }
    EXPECT_EQ(nullptr, PageNode());
    BoxUser user({});
    Apply();
    EXPECT_FALSE(m_raw.Exists(page));
}

TEST_F(MgrCommands, CopyAddsACopyThatApplyStores) {
    const std::wstring page = NewPage(L"copy", L"コピー元", L"https://example.jp/c");
    AddItem(page, L"ITEM001", L"A", 0, 1);
    ASSERT_TRUE(m_dlg.Open());
    ASSERT_TRUE(Select(ItemNode(L"A")));
    {
        BoxUser user({});
        m_dlg.Press(IDC_BUTTON_COPY);
        // Nothing was edited: nothing to ask.
        EXPECT_TRUE(user.Texts().empty());
    }
    const HTREEITEM copyNode = ItemNode(L"コピー ～ A");
    ASSERT_NE(nullptr, copyNode);
    EXPECT_EQ(copyNode, TreeView_GetSelection(Tree()));
    ASSERT_NE(nullptr, Shown());
    EXPECT_EQ(CTvrIEToolDlg::kItemCopied, Shown()->m_nState);
    EXPECT_EQ(L"コピー ～ A", Text(IDC_EDIT_ITEMNAME));
    EXPECT_FALSE(Checked(IDC_CHECK_AUTOINPUT));
    {
        // A copy not yet stored is neither deleted nor copied.
        BoxUser user({IDOK, IDOK});
        m_dlg.Press(IDC_BUTTON_DELETE);
        m_dlg.Press(IDC_BUTTON_COPY);
        ASSERT_EQ(2u, user.Texts().size());
        EXPECT_EQ(L"未登録データは削除できません。", user.Texts()[0]);
        EXPECT_EQ(L"未登録データはコピーできません。", user.Texts()[1]);
    }
    BoxUser user({});
    Apply();
    const std::wstring copyKey = page + L"\\ITEM002";
    EXPECT_EQ(std::optional<std::wstring>(L"コピー ～ A"), m_raw.Text(copyKey, L"NAME"));
    EXPECT_EQ(std::optional<std::int32_t>(0), m_raw.Dword(copyKey, L"AUTOINPUT"));
    EXPECT_EQ(std::optional<std::wstring>(L"山田"), m_raw.Text(copyKey + L"\\CTRL001", L"VALUE"));
    // The original is left as it was.
    EXPECT_EQ(std::optional<std::int32_t>(1), m_raw.Dword(page + L"\\ITEM001", L"AUTOINPUT"));
}

TEST_F(MgrCommands, CopyOfAnEditedItemIsSavedFirstAndStopsWhenTheSaveFails) {
    const std::wstring page = NewPage(L"copy2", L"保存後", L"https://example.jp/c2");
    const std::wstring item = AddItem(page, L"ITEM001", L"A", 0);
    ASSERT_TRUE(m_dlg.Open());
    ASSERT_TRUE(Select(ItemNode(L"A")));

    // A name the save refuses: no copy is made.
    Type(IDC_EDIT_ITEMNAME, L"");
    {
        BoxUser user({IDYES, IDOK});
        m_dlg.Press(IDC_BUTTON_COPY);
        ASSERT_EQ(2u, user.Texts().size());
        EXPECT_EQ(L"データが変更されています。\n保存してからコピーしますか？", user.Texts()[0]);
        EXPECT_EQ(L"アイテム名が入力されていません", user.Texts()[1]);
    }
    EXPECT_EQ(1, ChildCount(Tree(), PageNode()));

    // The save starts with the crypto library in use again.
    m_dlg.m_nCryptUsable = 0;
    Type(IDC_EDIT_ITEMNAME, L"B");
    {
        BoxUser user({IDYES});
        m_dlg.Press(IDC_BUTTON_COPY);
        EXPECT_EQ(1u, user.Texts().size());
    }
    EXPECT_EQ(1, m_dlg.m_nCryptUsable);
    EXPECT_EQ(std::optional<std::wstring>(L"B"), m_raw.Text(item, L"NAME"));
    EXPECT_NE(nullptr, ItemNode(L"B"));
    EXPECT_NE(nullptr, ItemNode(L"コピー ～ B"));
}

TEST_F(MgrCommands, ClearPutsTheStoredValuesBack) {
    const std::wstring page = NewPage(L"clear", L"クリア", L"https://example.jp/cl");
    AddItem(page, L"ITEM001", L"元の名前", 0);
    ASSERT_TRUE(m_dlg.Open());
    ASSERT_TRUE(Select(ItemNode(L"元の名前")));
    Type(IDC_EDIT_ITEMNAME, L"変えた名前");
    {
        BoxUser user({IDNO});
        m_dlg.Press(IDC_BUTTON_CLEAR);
        ASSERT_EQ(1u, user.Texts().size());
        EXPECT_EQ(L"変更前のデータに戻しますか?", user.Texts()[0]);
    }
    EXPECT_EQ(L"変えた名前", Text(IDC_EDIT_ITEMNAME));
    {
        BoxUser user({IDYES});
        m_dlg.Press(IDC_BUTTON_CLEAR);
        EXPECT_EQ(1u, user.Texts().size());
    }
    EXPECT_EQ(L"元の名前", Text(IDC_EDIT_ITEMNAME));
    BoxUser user({});
    m_dlg.Press(IDC_BUTTON_CLEAR);
    EXPECT_TRUE(user.Texts().empty());
}

TEST_F(MgrCommands, OpenPageGivesTheUrlAsOneArgument) {
    const std::wstring url = L"https://example.jp/a b\" -k \"c:\\x\\";
    NewPage(L"open", L"開く", url);
    ASSERT_TRUE(m_dlg.Open());
    ASSERT_TRUE(Select(PageNode()));
    m_dlg.Press(IDC_BUTTON_OPENPAGE);
    ASSERT_EQ(1u, m_dlg.browserParameters.size());
    const std::wstring line = L"iexplore.exe " + m_dlg.browserParameters[0];
    int count = 0;
    LPWSTR* args = ::CommandLineToArgvW(line.c_str(), &count);
    ASSERT_NE(nullptr, args);
    ASSERT_EQ(3, count);
    EXPECT_STREQ(L"-new", args[1]);
    EXPECT_STREQ(L"https://example.jp/a b%22 -k %22c:\\x\\", args[2]);
    ::LocalFree(args);

    EXPECT_EQ(L"-new ", CTvrIEToolDlg::OpenPageParameters(L""));
    EXPECT_EQ(L"-new \"https://example.jp/\"",
              CTvrIEToolDlg::OpenPageParameters(L"https://example.jp/"));
}

TEST_F(MgrCommands, ButtonsAndFieldsFollowTheSelection) {
    const std::wstring page = NewPage(L"buttons", L"ボタン", L"https://example.jp/b");
    AddItem(page, L"ITEM001", L"項目", 0);
    ASSERT_TRUE(m_dlg.Open());
    const auto enabled = [this](int id) { return ::IsWindowEnabled(m_dlg.Item(id)) != FALSE; };
    ASSERT_TRUE(Select(TreeView_GetRoot(Tree())));
    for (const int id : {IDC_BUTTON_RENAME, IDC_BUTTON_OPENPAGE, IDC_BUTTON_DELETE, IDC_BUTTON_COPY,
                         IDC_EDIT_ITEMNAME, IDC_CHECK_AUTOINPUT})
        EXPECT_FALSE(enabled(id)) << id;
    ASSERT_TRUE(Select(PageNode()));
    EXPECT_TRUE(enabled(IDC_BUTTON_RENAME));
    EXPECT_TRUE(enabled(IDC_BUTTON_OPENPAGE));
    EXPECT_TRUE(enabled(IDC_BUTTON_DELETE));
    EXPECT_FALSE(enabled(IDC_BUTTON_COPY));
    EXPECT_FALSE(enabled(IDC_CHECK_CHANGEFLG));
    ASSERT_TRUE(Select(ItemNode(L"項目")));
    EXPECT_FALSE(enabled(IDC_BUTTON_RENAME));
    EXPECT_FALSE(enabled(IDC_BUTTON_OPENPAGE));
    EXPECT_TRUE(enabled(IDC_BUTTON_DELETE));
    EXPECT_TRUE(enabled(IDC_BUTTON_COPY));
    for (const int id : {IDC_EDIT_ITEMNAME, IDC_BUTTON_CLEAR, IDC_CHECK_AUTOINPUT,
                         IDC_CHECK_AUTOSEND, IDC_CHECK_CHANGEFLG})
        EXPECT_TRUE(enabled(id)) << id;

    // The page's flag follows its check box into the save.
    Click(IDC_CHECK_CHANGEFLG);
    BoxUser user({});
    Apply();
    EXPECT_EQ(std::optional<std::int32_t>(1), m_raw.Dword(page, L"CHANGEFLG"));
}

TEST_F(MgrCommands, AutoInputMovesFromAnotherItemOnlyWhenTheUserAgrees) {
    const std::wstring page = NewPage(L"auto", L"自動", L"https://example.jp/ai");
    const std::wstring first = AddItem(page, L"ITEM001", L"A", 0, 1);
    const std::wstring second = AddItem(page, L"ITEM002", L"B", 1, 0);
    ASSERT_TRUE(m_dlg.Open());
    ASSERT_TRUE(Select(ItemNode(L"B")));
    {
        BoxUser user({IDNO});
        Click(IDC_CHECK_AUTOINPUT);
        ASSERT_EQ(1u, user.Texts().size());
        EXPECT_EQ(
            L"他のアイテムでこの項目がチェックされています。\nこのアイテムで設定しなおしますか?",
            user.Texts()[0]);
    }
    EXPECT_FALSE(Checked(IDC_CHECK_AUTOINPUT));
    EXPECT_EQ(CTvrIEToolDlg::kItemNormal, ItemOf(first)->m_nState);

    {
        BoxUser user({IDYES});
        Click(IDC_CHECK_AUTOINPUT);
        EXPECT_EQ(1u, user.Texts().size());
    }
    EXPECT_TRUE(Checked(IDC_CHECK_AUTOINPUT));
    EXPECT_EQ(CTvrIEToolDlg::kItemAutoInputMoved, ItemOf(first)->m_nState);
    // Off and on again: asked again, and agreed again.
    Click(IDC_CHECK_AUTOINPUT);
    EXPECT_FALSE(Checked(IDC_CHECK_AUTOINPUT));
    {
        BoxUser user({IDYES});
        Click(IDC_CHECK_AUTOINPUT);
        EXPECT_EQ(1u, user.Texts().size());
    }
    EXPECT_TRUE(Checked(IDC_CHECK_AUTOINPUT));

    // Leaving the item with its edit given up gives the other item its flag
    // and its state back, as they were stored.
    {
        BoxUser user({IDYES});
        ASSERT_TRUE(Select(ItemNode(L"A")));
        ASSERT_EQ(1u, user.Texts().size());
        EXPECT_EQ(
            L"項目の選択を変更すると、編集中のデータは破棄されます。\n選択項目を変更しますか？",
            user.Texts()[0]);
    }
    EXPECT_EQ(CTvrIEToolDlg::kItemNormal, ItemOf(first)->m_nState);
    EXPECT_EQ(1, ItemOf(first)->m_nAutoInput);

    ASSERT_TRUE(Select(ItemNode(L"B")));
    {
        BoxUser user({IDYES});
        Click(IDC_CHECK_AUTOINPUT);
    }
    BoxUser user({});
    Apply();
    EXPECT_EQ(std::optional<std::int32_t>(0), m_raw.Dword(first, L"AUTOINPUT"));
    EXPECT_EQ(std::optional<std::int32_t>(1), m_raw.Dword(second, L"AUTOINPUT"));
}

TEST_F(MgrCommands, AutoInputTakenFromAnEditedItemKeepsItsState) {
    const std::wstring page = NewPage(L"auto2", L"自動二", L"https://example.jp/ai2");
    // Stored without a name: an item the save only writes when it is shown.
    const std::wstring unnamed = AddItem(page, L"ITEM001", L"", 0, 1);
    AddItem(page, L"ITEM002", L"B", 1, 0);
    ASSERT_TRUE(m_dlg.Open());
    ASSERT_NE(nullptr, ItemOf(unnamed));
    ASSERT_EQ(CTvrIEToolDlg::kItemUnnamed, ItemOf(unnamed)->m_nState);
    ASSERT_TRUE(Select(ItemNode(L"B")));
    {
        BoxUser user({IDYES});
        Click(IDC_CHECK_AUTOINPUT);
        EXPECT_EQ(1u, user.Texts().size());
    }
    EXPECT_TRUE(Checked(IDC_CHECK_AUTOINPUT));
    EXPECT_EQ(CTvrIEToolDlg::kItemUnnamed, ItemOf(unnamed)->m_nState);
    EXPECT_EQ(0, ItemOf(unnamed)->m_nAutoInput);
}

TEST_F(MgrCommands, TheSystemMenuOpensTheAboutBox) {
    NewPage(L"about", L"情報", L"https://example.jp/ab");
    ASSERT_TRUE(m_dlg.Open());
    HMENU system = ::GetSystemMenu(m_dlg.m_hWnd, FALSE);
    ASSERT_NE(nullptr, system);
    EXPECT_NE(UINT(-1), ::GetMenuState(system, IDM_ABOUTBOX, MF_BYCOMMAND));
    // Close is usable once the tree is there.
    EXPECT_FALSE(::GetMenuState(system, SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED);
    FxUser user(L"Webフォームデータ管理について", [](HWND box) { FxUser::Press(box, IDOK); });
    ::SendMessageW(m_dlg.m_hWnd, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    EXPECT_TRUE(user.Join());
    EXPECT_FALSE(user.LeftOpen());
}

TEST_F(MgrCommands, ApplySavesWhatThePreviewShowedWhenItWasPressed) {
    const std::wstring page = NewPage(L"preview", L"プレビュー", L"https://example.jp/p");
    const std::wstring item = AddItem(page, L"ITEM001", L"A", 0);
    ASSERT_TRUE(m_dlg.Open());
    ASSERT_TRUE(Select(ItemNode(L"A")));
    // The preview of the shown item, bound as the preview binds it.
    PreviewPage preview(L"<input type=text name=user value=\"山田\">");
    preview.Bind(m_dlg, *Shown());
    preview.SetText(L"user", L"佐藤");

    BoxUser user({});
    m_dlg.Press(IDC_BUTTON_APPLY);
    // What the page shows after the press is not what was applied.
    preview.SetText(L"user", L"後から");
    ASSERT_TRUE(PumpUntil([this] { return !m_dlg.IsSaving(); }));
    EXPECT_TRUE(user.Texts().empty());
    EXPECT_EQ(std::optional<std::wstring>(L"佐藤"), m_raw.Text(item + L"\\CTRL001", L"VALUE"));
}

TEST_F(MgrCommands, LeavingAnItemWithAnEditedPreviewAsks) {
    const std::wstring page = NewPage(L"leave", L"離れる", L"https://example.jp/l");
    AddItem(page, L"ITEM001", L"A", 0);
    AddItem(page, L"ITEM002", L"B", 0);
    ASSERT_TRUE(m_dlg.Open());
    ASSERT_TRUE(Select(ItemNode(L"A")));
    PreviewPage preview(L"<input type=text name=user value=\"山田\">");
    preview.Bind(m_dlg, *Shown());
    preview.SetText(L"user", L"佐藤");
    {
        BoxUser user({IDNO});
        EXPECT_FALSE(Select(ItemNode(L"B")));
        ASSERT_EQ(1u, user.Texts().size());
        EXPECT_EQ(
            L"項目の選択を変更すると、編集中のデータは破棄されます。\n選択項目を変更しますか？",
            user.Texts()[0]);
    }
    EXPECT_EQ(L"A", Shown()->m_strName);
    BoxUser user({IDYES});
    EXPECT_TRUE(Select(ItemNode(L"B")));
    EXPECT_EQ(L"B", Shown()->m_strName);
}
