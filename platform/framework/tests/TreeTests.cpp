#include <gtest/gtest.h>

#include <vector>

#include "Framework.h"
#include "FxTestResource.h"

namespace {

// A modeless dialog with a tree bound by DDX_Control and three images, laid
// out like the manager's tree: a root, a page under it, an item under that.
class CTreeDialog : public CDialog {
public:
    CTreeDialog() : CDialog(IDD_FX_TREE) {}

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        imagesMade = m_images.Create(16, 16, ILC_COLOR8, 3, 3) != FALSE;
        for (UINT id : {IDB_FX_ROOT, IDB_FX_PAGE, IDB_FX_ITEM}) {
            CBitmap bitmap;
            if (bitmap.LoadBitmap(id))
                added.push_back(m_images.Add(&bitmap, static_cast<CBitmap*>(nullptr)));
        }
        m_tree.SetImageList(&m_images, TVSIL_NORMAL);
        root = m_tree.InsertItem(L"登録アイテム一覧", 0, 0);
        page = m_tree.InsertItem(L"ページ(http://example.test/)", 1, 1, root);
        item = m_tree.InsertItem(L"アイテム", 2, 2, page);
        m_tree.SetItemData(page, 0x100);
        m_tree.SetItemData(item, 0x200);
        m_tree.Expand(root, TVE_EXPAND);
        m_tree.Expand(page, TVE_EXPAND);
        return TRUE;
    }
    void DoDataExchange(CDataExchange* dx) override {
        CDialog::DoDataExchange(dx);
        DDX_Control(dx, IDC_FX_TREE, m_tree);
    }

    CTreeCtrl m_tree;
    CImageList m_images;
    bool imagesMade = false;
    std::vector<int> added;
    HTREEITEM root = nullptr;
    HTREEITEM page = nullptr;
    HTREEITEM item = nullptr;
    bool vetoChange = false;
    std::vector<DWORD_PTR> shownData;
    int labelEdits = 0;
    CString editedLabel;

protected:
    void OnSelChanging(NMHDR*, LRESULT* result) { *result = vetoChange ? TRUE : FALSE; }
    void OnSelChanged(NMHDR* header, LRESULT* result) {
        const auto* tree = reinterpret_cast<const NMTREEVIEWW*>(header);
        shownData.push_back(m_tree.GetItemData(tree->itemNew.hItem));
        *result = 0;
    }
    void OnBeginLabelEdit(NMHDR* header, LRESULT* result) {
        const auto* info = reinterpret_cast<const NMTVDISPINFOW*>(header);
        ++labelEdits;
        // Only pages are renamed.
        *result = m_tree.GetParentItem(info->item.hItem) == root ? FALSE : TRUE;
    }
    void OnEndLabelEdit(NMHDR* header, LRESULT* result) {
        const auto* info = reinterpret_cast<const NMTVDISPINFOW*>(header);
        editedLabel = info->item.pszText ? info->item.pszText : L"";
        *result = info->item.pszText ? TRUE : FALSE;
    }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CTreeDialog, CDialog)
    ON_NOTIFY(TVN_SELCHANGINGW, IDC_FX_TREE, &CTreeDialog::OnSelChanging)
    ON_NOTIFY(TVN_SELCHANGEDW, IDC_FX_TREE, &CTreeDialog::OnSelChanged)
    ON_NOTIFY(TVN_BEGINLABELEDITW, IDC_FX_TREE, &CTreeDialog::OnBeginLabelEdit)
    ON_NOTIFY(TVN_ENDLABELEDITW, IDC_FX_TREE, &CTreeDialog::OnEndLabelEdit)
END_MESSAGE_MAP()
// clang-format on

class TreeControl : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dialog.Create(IDD_FX_TREE));
        dialog.ShowWindow(SW_SHOW);
    }
    void TearDown() override { dialog.DestroyWindow(); }
    CTreeDialog dialog;
};

TEST_F(TreeControl, ImageListHoldsTheThreeBitmapsAndTheTreeUsesIt) {
    EXPECT_TRUE(dialog.imagesMade);
    EXPECT_EQ((std::vector<int>{0, 1, 2}), dialog.added);
    EXPECT_EQ(3, dialog.m_images.GetImageCount());
    int cx = 0;
    int cy = 0;
    ASSERT_TRUE(dialog.m_images.GetIconSize(&cx, &cy));
    EXPECT_EQ(16, cx);
    EXPECT_EQ(16, cy);
    EXPECT_EQ(dialog.m_images.GetSafeHandle(), dialog.m_tree.GetImageList(TVSIL_NORMAL));
}

TEST_F(TreeControl, ItemsKeepTheirTextImagesDataAndPlace) {
    CTreeCtrl& tree = dialog.m_tree;
    EXPECT_EQ(::GetDlgItem(dialog.m_hWnd, IDC_FX_TREE), tree.m_hWnd);
    EXPECT_EQ(3u, tree.GetCount());
    EXPECT_EQ(dialog.root, tree.GetRootItem());
    EXPECT_EQ(dialog.page, tree.GetChildItem(dialog.root));
    EXPECT_EQ(dialog.item, tree.GetChildItem(dialog.page));
    EXPECT_EQ(dialog.page, tree.GetParentItem(dialog.item));
    EXPECT_EQ(nullptr, tree.GetNextSiblingItem(dialog.page));
    EXPECT_TRUE(tree.ItemHasChildren(dialog.page));
    EXPECT_FALSE(tree.ItemHasChildren(dialog.item));
    EXPECT_EQ(CString(L"ページ(http://example.test/)"), tree.GetItemText(dialog.page));
    int image = -1;
    int selected = -1;
    ASSERT_TRUE(tree.GetItemImage(dialog.item, image, selected));
    EXPECT_EQ(2, image);
    EXPECT_EQ(2, selected);
    EXPECT_EQ(0x200u, tree.GetItemData(dialog.item));
    EXPECT_TRUE(tree.GetItemState(dialog.page, TVIS_EXPANDED) & TVIS_EXPANDED);

    ASSERT_TRUE(tree.SetItemText(dialog.item, L"改名したアイテム"));
    EXPECT_EQ(CString(L"改名したアイテム"), tree.GetItemText(dialog.item));
    ASSERT_TRUE(tree.DeleteItem(dialog.item));
    EXPECT_EQ(2u, tree.GetCount());
}

TEST_F(TreeControl, SelectionNotificationsReachTheDialogAndCanBeRefused) {
    CTreeCtrl& tree = dialog.m_tree;
    // Showing the dialog focused the tree, which selected its first item.
    dialog.shownData.clear();
    ASSERT_TRUE(tree.SelectItem(dialog.item));
    EXPECT_EQ(dialog.item, tree.GetSelectedItem());
    EXPECT_EQ((std::vector<DWORD_PTR>{0x200}), dialog.shownData);

    dialog.vetoChange = true;
    tree.SelectItem(dialog.page);
    EXPECT_EQ(dialog.item, tree.GetSelectedItem());
    EXPECT_EQ(1u, dialog.shownData.size());

    dialog.vetoChange = false;
    ASSERT_TRUE(tree.SelectItem(dialog.page));
    EXPECT_EQ(dialog.page, tree.GetSelectedItem());
    EXPECT_EQ((std::vector<DWORD_PTR>{0x200, 0x100}), dialog.shownData);
}

TEST_F(TreeControl, LabelEditingAsksTheDialogAndTakesTheAcceptedText) {
    CTreeCtrl& tree = dialog.m_tree;
    // The item is no page: editing is refused.
    EXPECT_EQ(nullptr, tree.EditLabel(dialog.item));
    EXPECT_EQ(1, dialog.labelEdits);

    CWnd* edit = tree.EditLabel(dialog.page);
    ASSERT_NE(nullptr, edit);
    EXPECT_EQ(2, dialog.labelEdits);
    EXPECT_EQ(edit->m_hWnd, tree.GetEditControl()->m_hWnd);
    edit->SetWindowText(L"新しい題名");
    TreeView_EndEditLabelNow(tree.m_hWnd, FALSE);
    EXPECT_EQ(CString(L"新しい題名"), dialog.editedLabel);
    EXPECT_EQ(CString(L"新しい題名"), tree.GetItemText(dialog.page));
}

} // namespace
