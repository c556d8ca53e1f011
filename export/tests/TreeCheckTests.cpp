#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "TreeCheckRules.h"

using namespace vantrel;

namespace {

// A hidden tree with check boxes shaped like the item tree: the root, a
// web-form group with a page of two forms, and the authentication group
// with a TPM item that cannot be checked and a fingerprint item.
class CheckTree : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX init{sizeof(init), ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&init);
        tree = CreateWindowExW(0, WC_TREEVIEWW, L"", WS_POPUP | TVS_HASBUTTONS | TVS_HASLINES, 0, 0,
                               300, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(tree, nullptr);
        // Set after creation, as the control builds its state images then.
        SetWindowLongW(tree, GWL_STYLE, GetWindowLongW(tree, GWL_STYLE) | TVS_CHECKBOXES);
        root = Insert(L"全てのデータ", TVI_ROOT);
        group = Insert(L"Webフォームミルテデータ", root);
        page = Insert(L"Login(https://login.example.jp/)", group);
        form1 = Insert(L"loginForm", page);
        form2 = Insert(L"searchForm", page);
        auth = Insert(L"認証情報", root);
        tpm = Insert(L"TPM", auth);
        finger = Insert(L"指紋", auth);
    }
    void TearDown() override {
        if (tree) DestroyWindow(tree);
    }
    HTREEITEM Insert(const wchar_t* text, HTREEITEM parent) {
        TVINSERTSTRUCTW insert{};
        insert.hParent = parent;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = const_cast<wchar_t*>(text);
        return TreeView_InsertItem(tree, &insert);
    }
    TreeCheckRules Rules() {
        return TreeCheckRules(tree, [this](HTREEITEM item) { return item != tpm; });
    }
    // What the control does on a click of the state icon, before the view.
    void Toggle(const TreeCheckRules& rules, HTREEITEM item) {
        rules.SetChecked(item, !rules.IsChecked(item));
        rules.AfterToggle(item);
    }

    HWND tree = nullptr;
    HTREEITEM root{}, group{}, page{}, form1{}, form2{}, auth{}, tpm{}, finger{};
};

} // namespace

TEST_F(CheckTree, CheckingTheRootChecksEveryCheckableItem) {
    TreeCheckRules rules = Rules();
    EXPECT_FALSE(rules.IsAnyChecked());
    Toggle(rules, root);
    for (HTREEITEM item : {root, group, page, form1, form2, auth, finger})
        EXPECT_TRUE(rules.IsChecked(item));
    EXPECT_FALSE(rules.IsChecked(tpm));
    EXPECT_TRUE(rules.IsAnyChecked());
}

TEST_F(CheckTree, UncheckingALeafUnchecksItsAncestors) {
    TreeCheckRules rules = Rules();
    Toggle(rules, root);
    Toggle(rules, form1);
    for (HTREEITEM item : {form1, page, group, root})
        EXPECT_FALSE(rules.IsChecked(item));
    for (HTREEITEM item : {form2, auth, finger})
        EXPECT_TRUE(rules.IsChecked(item));
}

TEST_F(CheckTree, AncestorsCheckedOnceAllBelowAre) {
    TreeCheckRules rules = Rules();
    Toggle(rules, form2);
    EXPECT_TRUE(rules.IsChecked(form2));
    EXPECT_FALSE(rules.IsChecked(page));
    Toggle(rules, form1);
    EXPECT_TRUE(rules.IsChecked(page));
    EXPECT_TRUE(rules.IsChecked(group));
    // The authentication group is not checked, so the root stays unchecked.
    EXPECT_FALSE(rules.IsChecked(root));
}

TEST_F(CheckTree, UncheckableItemStaysUncheckedByClickAndSpace) {
    TreeCheckRules rules = Rules();
    Toggle(rules, tpm);
    EXPECT_FALSE(rules.IsChecked(tpm));
    TreeView_SelectItem(tree, tpm);
    EXPECT_TRUE(rules.OnSpace());
    EXPECT_FALSE(rules.IsChecked(tpm));
    EXPECT_TRUE(rules.OnSpace());
    EXPECT_FALSE(rules.IsChecked(tpm));
    EXPECT_FALSE(rules.IsAnyChecked());
}

TEST_F(CheckTree, SpaceTogglesTheSelectedItemWithItsChildren) {
    TreeCheckRules rules = Rules();
    TreeView_SelectItem(tree, page);
    EXPECT_TRUE(rules.OnSpace());
    EXPECT_TRUE(rules.IsChecked(page));
    EXPECT_TRUE(rules.IsChecked(form1));
    EXPECT_TRUE(rules.IsChecked(form2));
    EXPECT_TRUE(rules.IsChecked(group));
    EXPECT_TRUE(rules.OnSpace());
    EXPECT_FALSE(rules.IsAnyChecked());
}

TEST_F(CheckTree, CheckedListLeavesOutGroupsInDisplayOrder) {
    TreeCheckRules rules = Rules();
    Toggle(rules, root);
    const auto typeOf = [this](HTREEITEM item) {
        if (item == root) return 0;
        if (item == group) return 16;
        if (item == page) return 17;
        if (item == auth) return 80;
        if (item == finger) return 82;
        return 18;
    };
    EXPECT_EQ(rules.CheckedItems(typeOf), (std::vector<HTREEITEM>{form1, form2, finger}));
    Toggle(rules, form1);
    EXPECT_EQ(rules.CheckedItems(typeOf), (std::vector<HTREEITEM>{form2, finger}));
    EXPECT_EQ(rules.CheckedItems(typeOf, auth), (std::vector<HTREEITEM>{finger}));
}
