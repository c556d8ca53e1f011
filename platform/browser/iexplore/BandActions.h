// What a user does to a band's windows: press a toolbar button or its
// drop-down arrow, choose an item of the popup menu that opens, pick an
// entry of a combo box. Clicks are posted as the mouse's button messages at
// the button's place, so the toolbar itself decides between WM_COMMAND and
// TBN_DROPDOWN and a handler that runs a modal loop (a menu, a dialog) does
// not hold up the caller. Menu items are chosen with the keys a user would
// press while the menu's own loop runs (Down until the item is highlighted,
// then Enter): the menu then ends itself and posts the item's WM_COMMAND
// to its owner, as it does for a user's choice.
//
// UI thread of the browser program (the thread that owns the bands and
// their menus).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace torva::browser {

namespace BandActions {

// The first toolbar window under any of the band windows: class
// "ToolbarWindow32", or a class derived from it (it answers the toolbar's
// TB_GETBUTTONSIZE with a size). Null when none.
HWND FindToolbar(const std::vector<HWND>& bands);
// The first combo box under any of the band windows, or null.
HWND FindCombo(const std::vector<HWND>& bands);

// A user's click on toolbar button id (dropDown: on its drop-down arrow,
// or anywhere on a button that drops down as a whole), posted to the
// toolbar. Without such a button, a click on the toolbar's child window
// with control id id (a push button placed on the toolbar). False, with
// why, when there is none or it is disabled or hidden.
[[nodiscard]] bool PressToolbar(HWND toolbar, int id, bool dropDown, std::wstring& why);

// What a user sees of toolbar button id (or of the toolbar's child window
// with that control id): whether it is enabled, and its text. False, with
// why, when there is no such button.
[[nodiscard]] bool ToolbarItem(HWND toolbar, int id, bool& enabled, std::wstring& text,
                               std::wstring& why);

// A posted left click at the middle of a child window (a push button).
[[nodiscard]] bool ClickWindow(HWND window, std::wstring& why);

// The popup menu window ("#32768") this thread shows, or null.
HWND OpenMenu();

// One step of choosing item id of the open menu: true once Enter was sent
// for it (the menu then closes); false while the highlight is still being
// moved there (keysSent counts the keys so far). Sets why and ends the
// menu when the item cannot be chosen.
struct MenuStep {
    bool entered = false;
    bool failed = false;
};
MenuStep StepTowardsItem(HWND menuWindow, UINT id, int& keysSent, std::wstring& why);

// CB_SETCURSEL and the CBN_SELCHANGE a user's choice sends the parent
// (posted: the parent may open a dialog).
[[nodiscard]] bool SelectComboItem(HWND combo, int index, std::wstring& why);
// The text of item index; false with why when there is no such item.
[[nodiscard]] bool ComboItemText(HWND combo, int index, std::wstring& text, std::wstring& why);

} // namespace BandActions

} // namespace torva::browser
