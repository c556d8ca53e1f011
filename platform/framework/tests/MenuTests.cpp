#include <gtest/gtest.h>

#include <thread>

#include "FormDialog.h"
#include "FxUser.h"

namespace {

TEST(Menu, LoadedMenuGivesItsPopupAndItems) {
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_FX_MENU));
    CMenu* popup = menu.GetSubMenu(0);
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ(popup, menu.GetSubMenu(0)); // one wrapper per menu
    EXPECT_EQ(2u, popup->GetMenuItemCount());
    EXPECT_EQ(static_cast<UINT>(ID_FX_MENU_FIRST), popup->GetMenuItemID(0));
    EXPECT_EQ(static_cast<UINT>(ID_FX_MENU_SECOND), popup->GetMenuItemID(1));
    popup->EnableMenuItem(ID_FX_MENU_SECOND, MF_BYCOMMAND | MF_GRAYED);
    EXPECT_TRUE(popup->GetMenuState(ID_FX_MENU_SECOND, MF_BYCOMMAND) & MF_GRAYED);
    const HMENU handle = menu.m_hMenu;
    EXPECT_TRUE(menu.DestroyMenu());
    EXPECT_FALSE(::IsMenu(handle));
    // The wrapper of a menu it does not own never destroys it.
    EXPECT_FALSE(CMenu::FromHandle(nullptr));
}

TEST(Menu, SystemMenuCloseItemCanBeGreyed) {
    CFormDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_FX_FORM));
    CMenu* system = dialog.GetSystemMenu(FALSE);
    ASSERT_NE(nullptr, system);
    system->EnableMenuItem(SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    EXPECT_TRUE(::GetMenuState(::GetSystemMenu(dialog.m_hWnd, FALSE), SC_CLOSE, MF_BYCOMMAND) &
                MF_GRAYED);
    dialog.DestroyWindow();
    CMenu::DeleteTempMap();
}

TEST(Menu, PopupReturnsTheItemTheUserChose) {
    CFormDialog owner;
    ASSERT_TRUE(owner.Create(IDD_FX_FORM));
    owner.ShowWindow(SW_SHOW);
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_FX_MENU));
    // The user opens nothing but picks the second item with the keyboard.
    std::thread user([thread = ::GetCurrentThreadId()] {
        HWND menuWindow = nullptr;
        for (int i = 0; i < 300 && !menuWindow; ++i) {
            for (HWND w = ::FindWindowExW(nullptr, nullptr, L"#32768", nullptr); w;
                 w = ::FindWindowExW(nullptr, w, L"#32768", nullptr)) {
                if (::IsWindowVisible(w) && ::GetWindowThreadProcessId(w, nullptr) == thread)
                    menuWindow = w;
            }
            if (!menuWindow) ::Sleep(10);
        }
        for (UINT key : {VK_DOWN, VK_DOWN, VK_RETURN}) {
            FxUser::Key(menuWindow, key);
            ::Sleep(20);
        }
    });
    const BOOL chosen = menu.GetSubMenu(0)->TrackPopupMenu(
        TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, 10, 10, &owner);
    user.join();
    EXPECT_EQ(ID_FX_MENU_SECOND, chosen);
    owner.DestroyWindow();
}

} // namespace
