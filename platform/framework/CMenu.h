// CMenu: owner of a menu handle (menus loaded or created through it are
// destroyed with it, unless detached), and temporary wrappers for menus the
// system owns (a window's menu, a submenu), which are never destroyed.
#pragma once

#include <windows.h>

class CWnd;

class CMenu {
public:
    CMenu() = default;
    ~CMenu() { DestroyMenu(); }
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU m_hMenu = nullptr;
    operator HMENU() const noexcept { return m_hMenu; }
    HMENU GetSafeHmenu() const noexcept { return m_hMenu; }

    // A wrapper that does not own menu, valid on the calling thread until
    // its next idle moment; null for null.
    static CMenu* FromHandle(HMENU menu);
    static void DeleteTempMap() noexcept;

    BOOL LoadMenu(UINT id);
    BOOL CreatePopupMenu();
    BOOL Attach(HMENU menu) noexcept;
    HMENU Detach() noexcept;
    BOOL DestroyMenu() noexcept;

    CMenu* GetSubMenu(int position) const { return FromHandle(::GetSubMenu(m_hMenu, position)); }
    UINT GetMenuItemCount() const noexcept {
        return static_cast<UINT>(::GetMenuItemCount(m_hMenu));
    }
    UINT GetMenuItemID(int position) const noexcept { return ::GetMenuItemID(m_hMenu, position); }
    UINT GetMenuState(UINT id, UINT flags) const noexcept {
        return ::GetMenuState(m_hMenu, id, flags);
    }
    UINT EnableMenuItem(UINT id, UINT enable) noexcept {
        return static_cast<UINT>(::EnableMenuItem(m_hMenu, id, enable));
    }
    DWORD CheckMenuItem(UINT id, UINT check) noexcept {
        return ::CheckMenuItem(m_hMenu, id, check);
    }
    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, const wchar_t* text = nullptr) noexcept {
        return ::AppendMenuW(m_hMenu, flags, id, text);
    }
    BOOL DeleteMenu(UINT position, UINT flags) noexcept {
        return ::DeleteMenu(m_hMenu, position, flags);
    }
    // Shows the menu at (x, y) in screen coordinates; the chosen command goes
    // to owner as WM_COMMAND unless TPM_RETURNCMD asks for it as the result.
    BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const RECT* rect = nullptr);

private:
    bool m_temporary = false;
};

// CAcceleratorTable: owner of an accelerator table of the program's
// resources, and its translation for a window's PreTranslateMessage.
class CAcceleratorTable {
public:
    CAcceleratorTable() = default;
    ~CAcceleratorTable() { Destroy(); }
    CAcceleratorTable(const CAcceleratorTable&) = delete;
    CAcceleratorTable& operator=(const CAcceleratorTable&) = delete;

    BOOL Load(UINT id);
    void Destroy() noexcept;
    HACCEL GetSafeHandle() const noexcept { return m_hAccel; }
    // TRUE when msg was a key of the table, sent to window as WM_COMMAND.
    BOOL Translate(HWND window, MSG* msg) const noexcept {
        return m_hAccel && window && ::TranslateAcceleratorW(window, m_hAccel, msg);
    }

private:
    HACCEL m_hAccel = nullptr;
};
