// The management dialog's tree built from pages in the user's database, and
// the item fields that follow the selected node.
#include "MgrTestSupport.h"
#include "CWinApp.h"
#include "resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

std::wstring NodeText(HWND tree, HTREEITEM node) {
    wchar_t text[256] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = node;
    item.pszText = text;
    item.cchTextMax = 256;
    TreeView_GetItem(tree, &item);
    return text;
}

HTREEITEM FindChild(HWND tree, HTREEITEM parent, const std::wstring& text) {
    for (HTREEITEM node = TreeView_GetChild(tree, parent); node;
         node = TreeView_GetNextSibling(tree, node)) {
        if (NodeText(tree, node) == text) return node;
    }
    return nullptr;
}

class MgrTree : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), 0xFF};
        ::InitCommonControlsEx(&controls);
        // The preview is a hosted browser control.
        ASSERT_TRUE(AfxEnableControlContainer());
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

    // The root is no item: nothing is shown.
    ASSERT_TRUE(TreeView_SelectItem(tree, root));
    EXPECT_EQ(nullptr, m_dlg.m_pShownItem);
    ::GetDlgItemTextW(m_dlg.m_hWnd, IDC_EDIT_ITEMNAME, text, 64);
    EXPECT_STREQ(L"", text);
}
