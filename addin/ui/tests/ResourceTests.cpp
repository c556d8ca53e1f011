// The add-in's dialog templates: present in Japanese, with the ids and texts
// the add-in's code and its users rely on.
#include "UiTestSupport.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

torva::UniqueWindow MakePlain(int id) {
    return torva::UniqueWindow(::CreateDialogParamW(
        ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), nullptr, PlainDialogProc, 0));
}

std::wstring ItemText(HWND dialog, int id) {
    wchar_t text[256] = {};
    ::GetDlgItemTextW(dialog, id, text, 256);
    return text;
}

std::wstring Caption(HWND window) {
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

} // namespace

TEST(AddinResources, EveryTemplateIsJapanese) {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    for (const int id : {IDD_NOTIFYMSG, IDD_SELECTENTRY, IDD_SELFRAME, IDD_CHANGEENTRY}) {
        EXPECT_NE(::FindResourceExW(module, RT_DIALOG, MAKEINTRESOURCEW(id),
                                    MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)),
                  nullptr)
            << "template " << id;
        EXPECT_EQ(::FindResourceExW(module, RT_DIALOG, MAKEINTRESOURCEW(id),
                                    MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)),
                  nullptr)
            << "template " << id << " has no other language";
    }
}

TEST(AddinResources, NoticeHasNoTitleBarAndIsHiddenUntilShown) {
    torva::UniqueWindow notice = MakePlain(IDD_NOTIFYMSG);
    ASSERT_TRUE(notice);
    const LONG style = ::GetWindowLongW(notice.get(), GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, 0);
    EXPECT_NE(style & WS_POPUP, 0);
    EXPECT_FALSE(::IsWindowVisible(notice.get()));
    EXPECT_EQ(Caption(notice.get()), L"");
    EXPECT_EQ(ItemText(notice.get(), IDC_NOTIFYMSG_TEXT),
              L"データを更新しています。お待ちください。");
}

TEST(AddinResources, EntryDialogTextsAndChoices) {
    torva::UniqueWindow dialog = MakePlain(IDD_SELECTENTRY);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(Caption(dialog.get()), L"登録方法選択");
    EXPECT_EQ(ItemText(dialog.get(), IDC_SELECTENTRY_TEXT),
              L"このフォームデータはすでに登録済みです。\n登録方法を選択してください。");
    EXPECT_EQ(ItemText(dialog.get(), IDC_SELECTENTRY_ADD), L"追加登録(&A)");
    EXPECT_EQ(ItemText(dialog.get(), IDC_SELECTENTRY_OVERWRITE), L"上書き登録(&U)");
    EXPECT_EQ(ItemText(dialog.get(), IDOK), L"OK");
    EXPECT_EQ(ItemText(dialog.get(), IDCANCEL), L"キャンセル");
    const LONG add = ::GetWindowLongW(::GetDlgItem(dialog.get(), IDC_SELECTENTRY_ADD), GWL_STYLE);
    EXPECT_EQ(add & BS_TYPEMASK, BS_AUTORADIOBUTTON);
    EXPECT_NE(add & WS_GROUP, 0) << "the two choices form one group";
}

TEST(AddinResources, FrameDialogTextsAndList) {
    torva::UniqueWindow dialog = MakePlain(IDD_SELFRAME);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(Caption(dialog.get()), L"フレーム選択");
    const HWND list = ::GetDlgItem(dialog.get(), IDC_SELFRAME_LIST);
    ASSERT_NE(list, nullptr);
    std::wstring texts;
    for (HWND child = ::GetWindow(dialog.get(), GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT))
        texts += Caption(child) + L"|";
    EXPECT_NE(texts.find(L"登録するフレームを選択してください。|"), std::wstring::npos)
        << testing::PrintToString(texts);
    EXPECT_NE(texts.find(L"フレーム(&F)：|"), std::wstring::npos);
    EXPECT_EQ(ItemText(dialog.get(), IDCANCEL), L"キャンセル");
}

TEST(AddinResources, ChangeDialogTextsAndButtons) {
    torva::UniqueWindow dialog = MakePlain(IDD_CHANGEENTRY);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(Caption(dialog.get()), L"再登録確認");
    EXPECT_EQ(ItemText(dialog.get(), IDC_CHANGEENTRY_TEXT),
              L"フォームの構成が変更されています。\n現在の登録を破棄して新たに登録し直しますか？");
    EXPECT_EQ(ItemText(dialog.get(), IDC_CHANGEENTRY_NOASK),
              L"これ以降、この問い合わせは行わない(&C)");
    EXPECT_EQ(::GetWindowLongW(::GetDlgItem(dialog.get(), IDC_CHANGEENTRY_NOASK), GWL_STYLE) &
                  BS_TYPEMASK,
              BS_AUTOCHECKBOX);
    EXPECT_EQ(ItemText(dialog.get(), IDOK), L"はい(&Y)");
    EXPECT_EQ(ItemText(dialog.get(), IDCANCEL), L"いいえ(&N)");
}
