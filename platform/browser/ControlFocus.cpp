#include "ControlFocus.h"

#include <commctrl.h>

namespace torva::browser {

namespace {

constexpr UINT_PTR kSubclassId = 0x54425246; // any value unique among this layer's subclasses

bool ControlDown() {
    return GetKeyState(VK_CONTROL) < 0;
}

// Key codes as the add-in's forwarding passes them: letters in either case.
WPARAM KeyOf(WPARAM key) {
    return key >= 'a' && key <= 'z' ? key - ('a' - 'A') : key;
}

bool IsAccelerator(WPARAM key) {
    switch (KeyOf(key)) {
    case 'A':
    case 'C':
    case 'V':
    case 'X':
    case 'Y':
    case 'Z':
        return true;
    default:
        return false;
    }
}

// The characters TranslateMessage makes of Ctrl+A/C/V/X/Y/Z.
bool IsAcceleratorChar(WPARAM ch) {
    return ch == 0x01 || ch == 0x03 || ch == 0x16 || ch == 0x18 || ch == 0x19 || ch == 0x1A;
}

} // namespace

void ControlFocus::Detach() noexcept {
    m_server = nullptr;
    m_active = nullptr;
}

void ControlFocus::Adopt(HWND control) {
    SetWindowSubclass(control, ControlProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK ControlFocus::ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                           DWORD_PTR self) {
    auto* focus = reinterpret_cast<ControlFocus*>(self);
    switch (msg) {
    case WM_SETFOCUS:
        // Only the real focus is handed back; the server's own notice (sent
        // while the server has the focus) goes through to the control.
        if (focus->m_server && GetFocus() == hwnd) {
            focus->Activate(hwnd);
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
        // Activated before the control sees the click, so it finds itself
        // focused and does not take the focus.
        if (focus->m_server) focus->Activate(hwnd);
        break;
    case WM_NCDESTROY:
        if (focus->m_active == hwnd) focus->m_active = nullptr;
        RemoveWindowSubclass(hwnd, ControlProc, id);
        break;
    default:
        break;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

void ControlFocus::SwitchActive(HWND control) {
    if (control == m_active) return;
    const HWND old = m_active;
    m_active = control;
    m_undone = false;
    if (GetFocus() != m_server) return; // the server's WM_SETFOCUS tells the new one
    if (old) SendMessageW(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(m_server), 0);
    if (control) SendMessageW(control, WM_SETFOCUS, reinterpret_cast<WPARAM>(m_server), 0);
}

void ControlFocus::Activate(HWND control) {
    if (!m_server) return;
    SwitchActive(control);
    if (GetFocus() != m_server) SetFocus(m_server);
}

bool ControlFocus::OnServerMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    result = 0;
    switch (msg) {
    case WM_SETFOCUS:
        if (m_active) SendMessageW(m_active, WM_SETFOCUS, reinterpret_cast<WPARAM>(m_server), 0);
        return true;
    case WM_KILLFOCUS:
        if (m_active) SendMessageW(m_active, WM_KILLFOCUS, wp, 0);
        return true;
    case WM_KEYDOWN:
        if (!m_active) return false;
        if (wp == VK_DELETE || (IsAccelerator(wp) && ControlDown())) return true;
        result = SendMessageW(m_active, msg, wp, lp);
        return true;
    case WM_CHAR:
        if (!m_active) return false;
        if (IsAcceleratorChar(wp)) return true;
        m_undone = false;
        result = SendMessageW(m_active, msg, wp, lp);
        return true;
    case WM_KEYUP:
    case WM_DEADCHAR:
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
        if (!m_active) return false;
        result = SendMessageW(m_active, msg, wp, lp);
        return true;
    default:
        return false;
    }
}

HRESULT ControlFocus::EditKey(const MSG& msg, bool password, bool readOnly) {
    if (!m_active || (msg.message != WM_KEYDOWN && msg.message != WM_KEYUP)) return S_FALSE;
    const WPARAM key = KeyOf(msg.wParam);
    if (key != VK_DELETE && !(IsAccelerator(key) && ControlDown())) return S_FALSE;
    if (msg.message == WM_KEYUP) return S_OK;
    switch (key) {
    case VK_DELETE:
        if (!readOnly) SendMessageW(m_active, WM_KEYDOWN, VK_DELETE, 0);
        m_undone = false;
        break;
    case 'A':
        SendMessageW(m_active, EM_SETSEL, 0, -1);
        break;
    case 'C':
        if (!password) SendMessageW(m_active, WM_COPY, 0, 0);
        break;
    case 'X':
        if (!password && !readOnly) SendMessageW(m_active, WM_CUT, 0, 0);
        m_undone = false;
        break;
    case 'V':
        if (!readOnly) SendMessageW(m_active, WM_PASTE, 0, 0);
        m_undone = false;
        break;
    case 'Z':
        if (!readOnly) SendMessageW(m_active, EM_UNDO, 0, 0);
        m_undone = !readOnly;
        break;
    case 'Y':
        // The edit control's undo undoes itself: after an undo it redoes.
        if (m_undone && !readOnly) SendMessageW(m_active, EM_UNDO, 0, 0);
        m_undone = false;
        break;
    default:
        break;
    }
    return S_OK;
}

} // namespace torva::browser
