#include "CMenu.h"

#include <memory>
#include <unordered_map>

#include "CWinApp.h"
#include "CWnd.h"

namespace {

std::unordered_map<HMENU, std::unique_ptr<CMenu>>& Temporaries() {
    thread_local std::unordered_map<HMENU, std::unique_ptr<CMenu>> map;
    return map;
}

} // namespace

CMenu* CMenu::FromHandle(HMENU menu) {
    if (!menu) return nullptr;
    auto& slot = Temporaries()[menu];
    if (!slot) {
        slot = std::make_unique<CMenu>();
        slot->m_hMenu = menu;
        slot->m_temporary = true;
    }
    return slot.get();
}

void CMenu::DeleteTempMap() noexcept {
    auto& map = Temporaries();
    for (auto it = map.begin(); it != map.end();) {
        if (::IsMenu(it->first)) {
            ++it;
            continue;
        }
        it = map.erase(it);
    }
}

BOOL CMenu::LoadMenu(UINT id) {
    if (m_hMenu) return FALSE;
    m_hMenu = ::LoadMenuW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id));
    return m_hMenu != nullptr;
}

BOOL CMenu::CreatePopupMenu() {
    if (m_hMenu) return FALSE;
    m_hMenu = ::CreatePopupMenu();
    return m_hMenu != nullptr;
}

BOOL CMenu::Attach(HMENU menu) noexcept {
    if (m_hMenu || !menu) return FALSE;
    m_hMenu = menu;
    return TRUE;
}

HMENU CMenu::Detach() noexcept {
    const HMENU menu = m_hMenu;
    m_hMenu = nullptr;
    return menu;
}

BOOL CMenu::DestroyMenu() noexcept {
    if (!m_hMenu) return FALSE;
    const HMENU menu = Detach();
    // A wrapper of a menu it does not own only lets go of it.
    return m_temporary ? TRUE : ::DestroyMenu(menu);
}

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const RECT* rect) {
    if (!m_hMenu || !owner) return FALSE;
    // The owner must be foreground first, or the menu stays up when the
    // user clicks elsewhere.
    ::SetForegroundWindow(owner->m_hWnd);
    const BOOL result = ::TrackPopupMenu(m_hMenu, flags, x, y, 0, owner->m_hWnd, rect);
    ::PostMessageW(owner->m_hWnd, WM_NULL, 0, 0);
    return result;
}

BOOL CAcceleratorTable::Load(UINT id) {
    Destroy();
    m_hAccel = ::LoadAcceleratorsW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id));
    return m_hAccel != nullptr;
}

void CAcceleratorTable::Destroy() noexcept {
    if (m_hAccel) ::DestroyAcceleratorTable(m_hAccel);
    m_hAccel = nullptr;
}
