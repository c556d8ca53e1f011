// The management dialog's tree built from pages in the user's database, and
// the item fields that follow the selected node.
#include "MgrDialogSupport.h"
#include "MgrTestSupport.h"
#include "CWinApp.h"
#include "resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

class MgrTree : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), 0xFF};
        ::InitCommonControlsEx(&controls);
        // The preview is a hosted browser control.
        ASSERT_TRUE(AfxEnableControlContainer());
        RemoveLeftoverPages(m_raw);
    }
    void TearDown() override {
        if (m_dlg.m_hWnd) m_dlg.DestroyWindow();
        for (const auto& key : m_keys)
            m_raw.Delete(key);
    }
    std::wstring NewPage(const std::wstring& tag) {
        m_keys.push_back(ScratchPageKey(tag));
        EXPECT_TRUE(m_raw.Create(m_keys.back()));
        return m_keys.back();
    }
    RawDb m_raw;
    std::vector<std::wstring> m_keys;
    CTvrIEToolDlg m_dlg;
};

} // namespace

TEST_F(MgrTree, StoredPagesAndItemsAppearAndSelectionFillsTheFields) {
    const std::wstring page = NewPage(L"tree");
    m_raw.SetText(page, L"URL", L"https://example.jp/tree");
    m_raw.SetText(page, L"TITLE", L"ツリー");
    m_raw.SetDword(page, L"CHANGEFLG", 1);
    m_raw.SetText(page + L"\\ITEM001", L"NAME", L"仕事用");
    m_raw.SetText(page + L"\\ITEM001", L"FORMNAME", L"login");
    m_raw.SetDword(page + L"\\ITEM001", L"AUTOINPUT", 1);
    m_raw.SetDword(page + L"\\ITEM001", L"INDEX", 0);
    m_raw.SetText(page + L"\\ITEM002", L"NAME", L"");
    m_raw.SetText(page + L"\\ITEM002", L"FORMNAME", L"");
    m_raw.SetDword(page + L"\\ITEM002", L"INDEX", 0);

    ASSERT_TRUE(m_dlg.Create(CTvrIEToolDlg::IDD, nullptr));
    // The tree is filled once the loader has read the store.
    ASSERT_TRUE(PumpUntil([this] { return m_dlg.IsLoaded(); }));
    const HWND tree = ::GetDlgItem(m_dlg.m_hWnd, IDC_TREE_WEBDATA);
    ASSERT_NE(nullptr, tree);
    const HTREEITEM root = TreeView_GetRoot(tree);
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(L"登録アイテム一覧", NodeText(tree, root));
    const HTREEITEM pageNode = FindChild(tree, root, L"ツリー(https://example.jp/tree)");
    ASSERT_NE(nullptr, pageNode);
    EXPECT_TRUE(TreeView_GetItemState(tree, pageNode, TVIS_EXPANDED) & TVIS_EXPANDED);
    const HTREEITEM named = FindChild(tree, pageNode, L"仕事用");
    ASSERT_NE(nullptr, named);
    EXPECT_NE(nullptr, FindChild(tree, pageNode, L"名前なし(新規登録)"));

    ASSERT_TRUE(TreeView_SelectItem(tree, named));
    ASSERT_NE(nullptr, m_dlg.m_pShownItem);
    EXPECT_EQ(L"仕事用", m_dlg.m_pShownItem->m_strName);
    wchar_t text[64] = {};
    ::GetDlgItemTextW(m_dlg.m_hWnd, IDC_EDIT_ITEMNAME, text, 64);
    EXPECT_STREQ(L"仕事用", text);
    ::GetDlgItemTextW(m_dlg.m_hWnd, IDC_STATIC_FORMNAME, text, 64);
    EXPECT_STREQ(L"login", text);
    EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(m_dlg.m_hWnd, IDC_CHECK_AUTOINPUT));
    EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(m_dlg.m_hWnd, IDC_CHECK_CHANGEFLG));

    // What the user types is what the data side fetches.
    ::SetDlgItemTextW(m_dlg.m_hWnd, IDC_EDIT_ITEMNAME, L"個人用");
    ::CheckDlgButton(m_dlg.m_hWnd, IDC_CHECK_AUTOSEND, BST_CHECKED);
    ::SendMessageW(m_dlg.m_hWnd, WM_USER + 60, 1, 0);
    EXPECT_EQ(L"個人用", m_dlg.m_strItemName);
    EXPECT_TRUE(m_dlg.m_bAutoSend);

    // Leaving the edited item asks first; the user gives the edit up.
    {
        BoxUser user({IDYES});
        ASSERT_TRUE(TreeView_SelectItem(tree, root));
        ASSERT_EQ(1u, user.Texts().size());
        EXPECT_EQ(
            L"項目の選択を変更すると、編集中のデータは破棄されます。\n選択項目を変更しますか？",
            user.Texts()[0]);
    }
    // The root is no item: nothing is shown.
    EXPECT_EQ(nullptr, m_dlg.m_pShownItem);
    ::GetDlgItemTextW(m_dlg.m_hWnd, IDC_EDIT_ITEMNAME, text, 64);
    EXPECT_STREQ(L"", text);
}

namespace {

class MgrRename : public MgrTree {
protected:
    // The page's node after the dialog opened on one stored page.
    HTREEITEM OpenOnPage(HWND* tree) {
        m_page = NewPage(L"rename");
        m_raw.SetText(m_page, L"URL", L"https://example.jp/r");
        m_raw.SetText(m_page, L"TITLE", L"元の題");
        EXPECT_TRUE(m_test.Create(CTvrIEToolDlg::IDD, nullptr));
        EXPECT_TRUE(PumpUntil([this] { return m_test.IsLoaded(); }));
        *tree = ::GetDlgItem(m_test.m_hWnd, IDC_TREE_WEBDATA);
        const HTREEITEM node =
            FindChild(*tree, TreeView_GetRoot(*tree), L"元の題(https://example.jp/r)");
        EXPECT_NE(nullptr, node);
        TreeView_SelectItem(*tree, node);
        return node;
    }
    // Presses rename, types into the label editor and presses Enter.
    bool Rename(HWND tree, const std::wstring& text) {
        ::SendMessageW(m_test.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_BUTTON_RENAME, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(m_test.m_hWnd, IDC_BUTTON_RENAME)));
        const HWND edit = TreeView_GetEditControl(tree);
        if (!edit) return false;
        wchar_t shown[64] = {};
        ::GetWindowTextW(edit, shown, 64);
        m_editorStart = shown;
        ::SetWindowTextW(edit, text.c_str());
        TreeView_EndEditLabelNow(tree, FALSE);
        return true;
    }
    CDataWebForm* Page() {
        for (auto& page : m_test.m_pages)
            if (page->m_strKey == m_page) return page.get();
        return nullptr;
    }
    void TearDown() override {
        if (m_test.m_hWnd) m_test.DestroyWindow();
        MgrTree::TearDown();
    }
    TestDlg m_test;
    std::wstring m_page;
    std::wstring m_editorStart;
};

} // namespace

TEST_F(MgrRename, TitleIsRenamedWithinFiftyCharacters) {
    HWND tree = nullptr;
    const HTREEITEM node = OpenOnPage(&tree);
    ASSERT_NE(nullptr, node);
    ASSERT_TRUE(Rename(tree, L"新しい題"));
    EXPECT_EQ(L"元の題", m_editorStart);
    EXPECT_EQ(L"新しい題(https://example.jp/r)", NodeText(tree, node));
    ASSERT_NE(nullptr, Page());
    EXPECT_EQ(L"新しい題", Page()->m_strTitle);
    EXPECT_EQ(CTvrIEToolDlg::kPageRetitled, Page()->m_nEditState);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(m_test.m_hWnd, IDC_BUTTON_APPLY)));

    // Exactly 50 characters are taken; 51 are refused with the limit told.
    const std::wstring fifty(50, L'あ');
    ASSERT_TRUE(Rename(tree, fifty));
    EXPECT_EQ(fifty, Page()->m_strTitle);
    m_test.messages.clear();
    ASSERT_TRUE(Rename(tree, fifty + L"い"));
    EXPECT_EQ(fifty, Page()->m_strTitle);
    ASSERT_EQ(1u, m_test.messages.size());
    EXPECT_EQ(L"タイトルは５０文字以内です。", m_test.messages[0]);

    m_test.messages.clear();
    ASSERT_TRUE(Rename(tree, L""));
    EXPECT_EQ(fifty, Page()->m_strTitle);
    ASSERT_EQ(1u, m_test.messages.size());
    EXPECT_EQ(L"タイトルが入力されていません。", m_test.messages[0]);
}

TEST_F(MgrRename, OnlyPageNodesAreRenamed) {
    HWND tree = nullptr;
    ASSERT_NE(nullptr, OpenOnPage(&tree));
    TreeView_SelectItem(tree, TreeView_GetRoot(tree));
    EXPECT_FALSE(Rename(tree, L"ルート"));
    EXPECT_EQ(L"登録アイテム一覧", NodeText(tree, TreeView_GetRoot(tree)));
}

TEST_F(MgrRename, ApplyWritesTheNewTitleAndOkSavesAgain) {
    HWND tree = nullptr;
    const HTREEITEM node = OpenOnPage(&tree);
    ASSERT_NE(nullptr, node);
    ASSERT_TRUE(Rename(tree, L"適用後の題"));
    ::SendMessageW(m_test.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_BUTTON_APPLY, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(m_test.m_hWnd, IDC_BUTTON_APPLY)));
    // The save runs on its worker while the dialog takes no input.
    EXPECT_FALSE(::IsWindowEnabled(m_test.m_hWnd));
    ASSERT_TRUE(PumpUntil([this] { return !m_test.IsSaving(); }));
    EXPECT_TRUE(::IsWindowEnabled(m_test.m_hWnd));
    EXPECT_EQ(std::optional<std::wstring>(L"適用後の題"), m_raw.Text(m_page, L"TITLE"));
    EXPECT_EQ(CTvrIEToolDlg::kPageNormal, Page()->m_nEditState);
    // The tree is rebuilt from what was saved.
    EXPECT_NE(nullptr,
              FindChild(tree, TreeView_GetRoot(tree), L"適用後の題(https://example.jp/r)"));

    const HTREEITEM again =
        FindChild(tree, TreeView_GetRoot(tree), L"適用後の題(https://example.jp/r)");
    TreeView_SelectItem(tree, again);
    ASSERT_TRUE(Rename(tree, L"OKの題"));
    ::SendMessageW(m_test.m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(m_test.m_hWnd, IDOK)));
    ASSERT_TRUE(PumpUntil([this] { return !m_test.IsSaving(); }));
    EXPECT_EQ(std::optional<std::wstring>(L"OKの題"), m_raw.Text(m_page, L"TITLE"));
    // A full save closes the dialog.
    EXPECT_FALSE(::IsWindowVisible(m_test.m_hWnd));
}

TEST_F(MgrRename, PaneToggleHalvesAndRestoresTheWidth) {
    HWND tree = nullptr;
    ASSERT_NE(nullptr, OpenOnPage(&tree));
    const HWND dialog = m_test.m_hWnd;
    const HWND button = ::GetDlgItem(dialog, IDC_BUTTON_ITEMINFO);
    RECT before{};
    ::GetWindowRect(dialog, &before);
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_BUTTON_ITEMINFO, BN_CLICKED),
                   reinterpret_cast<LPARAM>(button));
    RECT hidden{};
    ::GetWindowRect(dialog, &hidden);
    wchar_t text[64] = {};
    ::GetWindowTextW(button, text, 64);
    EXPECT_STREQ(L"アイテム情報(&O)>>", text);
    EXPECT_EQ(before.left, hidden.left);
    EXPECT_EQ(before.top, hidden.top);
    EXPECT_EQ(before.bottom, hidden.bottom);
    EXPECT_NEAR((before.right - before.left) / 2, hidden.right - hidden.left, 1);

    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_BUTTON_ITEMINFO, BN_CLICKED),
                   reinterpret_cast<LPARAM>(button));
    RECT shown{};
    ::GetWindowRect(dialog, &shown);
    ::GetWindowTextW(button, text, 64);
    EXPECT_STREQ(L"<<アイテム情報(&O)", text);
    // Twice the narrow width, within the monitor's work area.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(::GetMonitorInfoW(::MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor));
    const long work = monitor.rcWork.right - monitor.rcWork.left;
    const long twice = (hidden.right - hidden.left) * 2;
    EXPECT_EQ(twice < work ? twice : work, shown.right - shown.left);
}

TEST_F(MgrRename, F2StartsRenamingThePage) {
    HWND tree = nullptr;
    ASSERT_NE(nullptr, OpenOnPage(&tree));
    ::SetFocus(tree);
    MSG key{tree, WM_KEYDOWN, VK_F2, 0, 0, {}};
    ASSERT_TRUE(m_test.PreTranslateMessage(&key));
    // The command comes as a message of the dialog.
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageW(&message);
    ASSERT_NE(nullptr, TreeView_GetEditControl(tree));
    TreeView_EndEditLabelNow(tree, TRUE);
}

TEST_F(MgrRename, CancelAsksOnlyWhenSomethingWasEdited) {
    HWND tree = nullptr;
    ASSERT_NE(nullptr, OpenOnPage(&tree));
    ASSERT_TRUE(Rename(tree, L"未保存の題"));
    m_test.messages.clear();
    // The test's answer is not "yes": the dialog stays with the edit.
    ::SendMessageW(m_test.m_hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_EQ(1u, m_test.messages.size());
    EXPECT_EQ(L"キャンセルすると、編集した内容が破棄されます。\nキャンセルしますか?",
              m_test.messages[0]);
    EXPECT_TRUE(::IsWindow(m_test.m_hWnd));
    EXPECT_EQ(L"未保存の題", Page()->m_strTitle);
}

TEST_F(MgrRename, AnEditGivenUpKeepsTheTitle) {
    HWND tree = nullptr;
    ASSERT_NE(nullptr, OpenOnPage(&tree));
    m_test.messages.clear();
    // The tree ends a cancelled edit without a text: no empty title.
    ::SendMessageW(m_test.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_BUTTON_RENAME, BN_CLICKED), 0);
    HWND edit = TreeView_GetEditControl(tree);
    ASSERT_NE(nullptr, edit);
    ::SetWindowTextW(edit, L"");
    TreeView_EndEditLabelNow(tree, TRUE);
    EXPECT_TRUE(m_test.messages.empty());
    EXPECT_EQ(L"元の題", Page()->m_strTitle);
    EXPECT_EQ(CTvrIEToolDlg::kPageNormal, Page()->m_nEditState);

    // Escape in the editor gives the title back and ends the editing there,
    // without closing the dialog.
    ::SendMessageW(m_test.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_BUTTON_RENAME, BN_CLICKED), 0);
    edit = TreeView_GetEditControl(tree);
    ASSERT_NE(nullptr, edit);
    ::SetWindowTextW(edit, L"途中");
    MSG key{edit, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_TRUE(m_test.PreTranslateMessage(&key));
    EXPECT_EQ(nullptr, TreeView_GetEditControl(tree));
    EXPECT_EQ(L"元の題", Page()->m_strTitle);
    EXPECT_TRUE(m_test.messages.empty());
    EXPECT_TRUE(::IsWindowVisible(m_test.m_hWnd));
}
