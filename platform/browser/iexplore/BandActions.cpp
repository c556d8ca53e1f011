#include "BandActions.h"

#include <commctrl.h>

#include <algorithm>

namespace torva::browser {

namespace BandActions {

namespace {

struct Search {
    bool (*fits)(HWND);
    HWND found = nullptr;
};

BOOL CALLBACK Visit(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    if (!s->fits(w)) return TRUE;
    s->found = w;
    return FALSE;
}

HWND FirstUnder(const std::vector<HWND>& roots, bool (*fits)(HWND)) {
    for (HWND root : roots) {
        if (!root) continue;
        Search s{fits};
        EnumChildWindows(root, Visit, reinterpret_cast<LPARAM>(&s));
        if (s.found) return s.found;
    }
    return nullptr;
}

bool ClassIs(HWND w, const wchar_t* name) {
    wchar_t cls[64] = {};
    if (GetClassNameW(w, cls, 64) && lstrcmpiW(cls, name) == 0) return true;
    return RealGetWindowClassW(w, cls, 64) && lstrcmpiW(cls, name) == 0;
}

bool IsToolbar(HWND w) {
    // A superclass keeps the toolbar's procedure behind its own, so it
    // answers the toolbar's messages; DefWindowProc answers them with 0.
    return ClassIs(w, TOOLBARCLASSNAMEW) || SendMessageW(w, TB_GETBUTTONSIZE, 0, 0) != 0;
}

bool IsCombo(HWND w) {
    return ClassIs(w, WC_COMBOBOXW);
}

void PostClick(HWND w, POINT at) {
    const LPARAM lp = MAKELPARAM(at.x, at.y);
    PostMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, lp);
    PostMessageW(w, WM_LBUTTONUP, 0, lp);
}

void PostKey(HWND w, UINT vk) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(w, WM_KEYDOWN, vk, scan | 1);
    PostMessageW(w, WM_KEYUP, vk, scan | 0xC0000001);
}

struct ChildSearch {
    int id;
    HWND found = nullptr;
};

BOOL CALLBACK VisitId(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<ChildSearch*>(lp);
    if (GetDlgCtrlID(w) != s->id) return TRUE;
    s->found = w;
    return FALSE;
}

BOOL CALLBACK VisitMenu(HWND w, LPARAM lp) {
    if (!ClassIs(w, L"#32768") || !IsWindowVisible(w)) return TRUE;
    *reinterpret_cast<HWND*>(lp) = w;
    return FALSE;
}

// Where a user clicks to press the button (left of a drop-down arrow) or
// to drop its menu down (on the arrow).
bool ButtonPoint(HWND toolbar, const TBBUTTON& b, bool dropDown, POINT& at, std::wstring& why) {
    RECT r{};
    if (!SendMessageW(toolbar, TB_GETRECT, b.idCommand, reinterpret_cast<LPARAM>(&r)) ||
        r.right <= r.left) {
        why = L"the button has no place on the toolbar";
        return false;
    }
    const DWORD ex = static_cast<DWORD>(SendMessageW(toolbar, TB_GETEXTENDEDSTYLE, 0, 0));
    const bool drops = (b.fsStyle & (BTNS_DROPDOWN | BTNS_WHOLEDROPDOWN)) != 0;
    const bool arrow = (b.fsStyle & BTNS_DROPDOWN) && !(b.fsStyle & BTNS_WHOLEDROPDOWN) &&
                       (ex & TBSTYLE_EX_DRAWDDARROWS);
    if (dropDown && !drops) {
        why = L"the button has no drop-down";
        return false;
    }
    // The arrow takes the button's right edge (some 11 to 14 pixels).
    constexpr int kArrow = 16;
    const int width = r.right - r.left;
    at.y = (r.top + r.bottom) / 2;
    if (!arrow)
        at.x = r.left + width / 2;
    else if (dropDown)
        at.x = r.right - 3;
    else
        at.x = r.left + std::max(1, (width - kArrow) / 2);
    return true;
}

bool FindButton(HWND toolbar, int id, TBBUTTON& b) {
    const auto index = SendMessageW(toolbar, TB_COMMANDTOINDEX, static_cast<WPARAM>(id), 0);
    return index >= 0 &&
           SendMessageW(toolbar, TB_GETBUTTON, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(&b)) &&
           b.idCommand == id && !(b.fsStyle & BTNS_SEP);
}

HWND FindChild(HWND toolbar, int id) {
    ChildSearch s{id};
    EnumChildWindows(toolbar, VisitId, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

} // namespace

HWND FindToolbar(const std::vector<HWND>& bands) {
    return FirstUnder(bands, IsToolbar);
}

HWND FindCombo(const std::vector<HWND>& bands) {
    return FirstUnder(bands, IsCombo);
}

bool ClickWindow(HWND window, std::wstring& why) {
    RECT r{};
    if (!window || !GetClientRect(window, &r)) {
        why = L"no such window";
        return false;
    }
    if (!IsWindowVisible(window) || !IsWindowEnabled(window)) {
        why = L"the window is hidden or disabled";
        return false;
    }
    PostClick(window, {r.right / 2, r.bottom / 2});
    return true;
}

bool PressToolbar(HWND toolbar, int id, bool dropDown, std::wstring& why) {
    if (!toolbar) {
        why = L"no band has a toolbar";
        return false;
    }
    TBBUTTON b{};
    if (!FindButton(toolbar, id, b)) {
        HWND child = dropDown ? nullptr : FindChild(toolbar, id);
        if (!child) {
            why = L"the toolbar has no button " + std::to_wstring(id);
            return false;
        }
        return ClickWindow(child, why);
    }
    const auto state = SendMessageW(toolbar, TB_GETSTATE, static_cast<WPARAM>(id), 0);
    if (!IsWindowEnabled(toolbar) || !IsWindowVisible(toolbar) || !(state & TBSTATE_ENABLED) ||
        (state & TBSTATE_HIDDEN)) {
        why = L"the button is disabled or hidden";
        return false;
    }
    POINT at{};
    if (!ButtonPoint(toolbar, b, dropDown, at, why)) return false;
    PostClick(toolbar, at);
    return true;
}

bool ToolbarItem(HWND toolbar, int id, bool& enabled, std::wstring& text, std::wstring& why) {
    if (!toolbar) {
        why = L"no band has a toolbar";
        return false;
    }
    TBBUTTON b{};
    if (FindButton(toolbar, id, b)) {
        const auto state = SendMessageW(toolbar, TB_GETSTATE, static_cast<WPARAM>(id), 0);
        enabled = IsWindowEnabled(toolbar) && (state & TBSTATE_ENABLED);
        const auto length = SendMessageW(toolbar, TB_GETBUTTONTEXTW, static_cast<WPARAM>(id), 0);
        text.assign(length > 0 ? static_cast<size_t>(length) + 1 : 1, L'\0');
        if (length > 0)
            SendMessageW(toolbar, TB_GETBUTTONTEXTW, static_cast<WPARAM>(id),
                         reinterpret_cast<LPARAM>(text.data()));
        text.resize(wcslen(text.c_str()));
        return true;
    }
    HWND child = FindChild(toolbar, id);
    if (!child) {
        why = L"the toolbar has no button " + std::to_wstring(id);
        return false;
    }
    enabled = IsWindowEnabled(child) != FALSE;
    text.assign(static_cast<size_t>(GetWindowTextLengthW(child)) + 1, L'\0');
    GetWindowTextW(child, text.data(), static_cast<int>(text.size()));
    text.resize(wcslen(text.c_str()));
    return true;
}

HWND OpenMenu() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), VisitMenu, reinterpret_cast<LPARAM>(&found));
    return found;
}

MenuStep StepTowardsItem(HWND menuWindow, UINT id, int& keysSent, std::wstring& why) {
    MenuStep step;
    const auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
    const int count = menu ? GetMenuItemCount(menu) : -1;
    int target = -1, lit = -1;
    for (int i = 0; i < count; ++i) {
        if (GetMenuItemID(menu, i) == id) target = i;
        if (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE) lit = i;
    }
    if (target < 0)
        why = L"the menu has no item " + std::to_wstring(id);
    else if (GetMenuState(menu, static_cast<UINT>(target), MF_BYPOSITION) &
             (MF_GRAYED | MF_DISABLED))
        why = L"the item is greyed";
    else if (lit != target && keysSent > count + 1)
        why = L"the highlight does not reach the item";
    if (!why.empty()) {
        EndMenu();
        step.failed = true;
        return step;
    }
    // Down from nothing highlights the first item; the menu itself skips
    // separators and wraps, so the highlight is read back every time.
    PostKey(menuWindow, lit == target ? VK_RETURN : VK_DOWN);
    ++keysSent;
    step.entered = lit == target;
    return step;
}

bool SelectComboItem(HWND combo, int index, std::wstring& why) {
    if (!combo) {
        why = L"no band has a combo box";
        return false;
    }
    const auto count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    if (index < 0 || index >= count) {
        why = L"the combo box has " + std::to_wstring(count) + L" item(s)";
        return false;
    }
    if (!IsWindowEnabled(combo) || !IsWindowVisible(combo)) {
        why = L"the combo box is disabled or hidden";
        return false;
    }
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    PostMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
    return true;
}

bool ComboItemText(HWND combo, int index, std::wstring& text, std::wstring& why) {
    if (!combo) {
        why = L"no band has a combo box";
        return false;
    }
    const auto count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    const auto length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (index < 0 || index >= count || length == CB_ERR) {
        why = L"the combo box has " + std::to_wstring(count) + L" item(s)";
        return false;
    }
    text.assign(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(wcslen(text.c_str()));
    return true;
}

} // namespace BandActions

} // namespace torva::browser
