// Names, counts and labels of the items of a page, in memory only.
#include "MgrTestSupport.h"

#include <gtest/gtest.h>

namespace {

CDataWebItem& Item(CDataWebForm& page, const std::wstring& name, int state = 0,
                   const std::wstring& formName = L"") {
    CDataWebItem& item = page.AddItem();
    item.m_strName = name;
    item.m_strFormName = formName;
    item.m_nState = state;
    return item;
}

} // namespace

TEST(MgrNames, CopyNameUsesTheFullWidthTildeAndTheFirstFreeNumber) {
    TestDlg dlg;
    CDataWebForm page;
    Item(page, L"A");
    const std::wstring first = dlg.CreateCopyName(&page, L"A");
    EXPECT_EQ(first, L"コピー ～ A");
    EXPECT_EQ(first[4], wchar_t(0xFF5E));
    Item(page, first);
    EXPECT_EQ(dlg.CreateCopyName(&page, L"A"), L"コピー ～ (2) A");
    Item(page, L"コピー ～ (2) A");
    EXPECT_EQ(dlg.CreateCopyName(&page, L"A"), L"コピー ～ (3) A");
    // A name held only by an item being deleted is free.
    CDataWebForm other;
    Item(other, L"コピー ～ B", CTvrIEToolDlg::kItemDeleted);
    EXPECT_EQ(dlg.CreateCopyName(&other, L"B"), L"コピー ～ B");
}

TEST(MgrNames, ItemNameIsRefusedOnlyWhenAnotherLiveItemHasIt) {
    TestDlg dlg;
    CDataWebForm page;
    CDataWebItem& a = Item(page, L"A");
    Item(page, L"B");
    Item(page, L"C", CTvrIEToolDlg::kItemDeleted);
    EXPECT_TRUE(dlg.IsItemName(&page, &a, L"A"));
    EXPECT_TRUE(dlg.IsItemName(&page, &a, L"C"));
    EXPECT_TRUE(dlg.messages.empty());
    EXPECT_FALSE(dlg.IsItemName(&page, &a, L"B"));
    ASSERT_EQ(dlg.messages.size(), 1u);
    EXPECT_EQ(dlg.messages[0], L"既に登録されているアイテム名です。");
    EXPECT_EQ(dlg.GetItemNum(&page), 2);
}

TEST(MgrNames, UnnamedItemsAreLabelledAsNewEntriesNumberedAmongSiblings) {
    TestDlg dlg;
    CDataWebForm page;
    CDataWebItem& named = Item(page, L"A");
    CDataWebItem& first = Item(page, L"");
    CDataWebItem& second = Item(page, L"");
    CDataWebItem& form = Item(page, L"", 0, L"login");
    CDataWebItem& form2 = Item(page, L"", 0, L"login");
    EXPECT_EQ(dlg.GetItemLabel(&page, &named), L"A");
    EXPECT_EQ(dlg.GetItemLabel(&page, &first), L"名前なし(新規登録)");
    EXPECT_EQ(dlg.GetItemLabel(&page, &second), L"名前なし2(新規登録)");
    EXPECT_EQ(dlg.GetItemLabel(&page, &form), L"login(新規登録)");
    EXPECT_EQ(dlg.GetItemLabel(&page, &form2), L"login2(新規登録)");
}

TEST(MgrNames, NothingEnteredComparesTheFieldsWithWhatThePaneProposed) {
    TestDlg dlg;
    CDataWebForm page;
    CDataWebItem& placeholder = Item(page, L"", CTvrIEToolDlg::kItemPlaceholder, L"login");
    placeholder.m_nAutoInput = 1;
    placeholder.m_nAutoSend = -1;
    EXPECT_TRUE(dlg.CheckDeleteData(&placeholder)); // not shown
    dlg.m_pShownItem = &placeholder;
    dlg.m_strItemName = L"login";
    dlg.m_bAutoInput = FALSE; // a placeholder shows AUTOINPUT off
    EXPECT_TRUE(dlg.CheckDeleteData(&placeholder));
    dlg.m_strItemName = L"typed";
    EXPECT_FALSE(dlg.CheckDeleteData(&placeholder));
    dlg.m_strItemName = L"login";
    dlg.m_bAutoSend = TRUE;
    EXPECT_FALSE(dlg.CheckDeleteData(&placeholder));
}
