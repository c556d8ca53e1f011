// Reading and setting the state of a dialog's controls.
#pragma once

#include <windows.h>

#include <string>

// The window's text; empty for a null window.
inline std::wstring WindowText(HWND window) {
    if (!window) return {};
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// 1 when the box is checked, else 0.
inline int Checked(HWND box) {
    return ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

// Checks the box for 1, clears it for anything else.
inline void SetChecked(HWND box, int checked) {
    ::SendMessageW(box, BM_SETCHECK, checked == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
}
