// CCmdUI: the state of one command's menu item or tool button, asked of the
// command's handlers (ON_UPDATE_COMMAND_UI rows) before a menu opens and at
// idle time. A command nobody answers for and nobody handles is disabled.
#pragma once

#include <windows.h>

class CCmdTarget;

class CCmdUI {
public:
    UINT m_nID = 0;
    // Exactly one of these is set: the menu and the item's position in it,
    // or the tool bar holding a button of the command.
    HMENU m_hMenu = nullptr;
    UINT m_nIndex = 0;
    HWND m_hToolBar = nullptr;

    virtual ~CCmdUI() = default;
    virtual void Enable(BOOL on = TRUE);
    virtual void SetCheck(int check = 1);

    // Offers the update to target's map; TRUE when a row answered it.
    BOOL DoUpdate(CCmdTarget* target);
    // Whether a handler set the state during the last DoUpdate.
    bool m_bEnableChanged = false;
};

// Sent to the main window when the application's loop has nothing to do:
// the frame brings its tool bar buttons and status indicators up to date.
inline constexpr UINT WM_IDLEUPDATECMDUI = 0x0363;
