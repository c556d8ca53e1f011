#pragma once
#include <windows.h>

// Message maps. A map defines ProcessWindowMessage, which answers TRUE when an
// entry handled the message and leaves the answer in result. A handler may
// clear `handled` to let later entries (and finally the default procedure)
// see the message as well.
//   MESSAGE_HANDLER:    LRESULT f(UINT msg, WPARAM, LPARAM, BOOL& handled)
//   COMMAND_*_HANDLER:  LRESULT f(WORD code, WORD id, HWND control, BOOL& handled)
//   NOTIFY_*_HANDLER:   LRESULT f(int id, NMHDR* header, BOOL& handled)
#define BEGIN_MSG_MAP(x)                                                                           \
    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,                  \
                              LRESULT& lResult) override {                                         \
        BOOL bHandled = TRUE;                                                                      \
        (void)hWnd;                                                                                \
        (void)uMsg;                                                                                \
        (void)wParam;                                                                              \
        (void)lParam;                                                                              \
        (void)lResult;                                                                             \
        (void)bHandled;

#define MESSAGE_HANDLER(msg, func)                                                                 \
    if (uMsg == (msg)) {                                                                           \
        bHandled = TRUE;                                                                           \
        lResult = func(uMsg, wParam, lParam, bHandled);                                            \
        if (bHandled) return TRUE;                                                                 \
    }

#define MESSAGE_RANGE_HANDLER(first, last, func)                                                   \
    if (uMsg >= (first) && uMsg <= (last)) {                                                       \
        bHandled = TRUE;                                                                           \
        lResult = func(uMsg, wParam, lParam, bHandled);                                            \
        if (bHandled) return TRUE;                                                                 \
    }

#define COMMAND_HANDLER(id, code, func)                                                            \
    if (uMsg == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) == (code)) {                \
        bHandled = TRUE;                                                                           \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled);  \
        if (bHandled) return TRUE;                                                                 \
    }

#define COMMAND_ID_HANDLER(id, func)                                                               \
    if (uMsg == WM_COMMAND && LOWORD(wParam) == (id)) {                                            \
        bHandled = TRUE;                                                                           \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled);  \
        if (bHandled) return TRUE;                                                                 \
    }

#define NOTIFY_HANDLER(id, cd, func)                                                               \
    if (uMsg == WM_NOTIFY &&                                                                       \
        reinterpret_cast<NMHDR*>(lParam)->idFrom == static_cast<UINT_PTR>(id) &&                   \
        reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(cd)) {                         \
        bHandled = TRUE;                                                                           \
        lResult = func(static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam), bHandled);      \
        if (bHandled) return TRUE;                                                                 \
    }

#define NOTIFY_CODE_HANDLER(cd, func)                                                              \
    if (uMsg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(cd)) {    \
        bHandled = TRUE;                                                                           \
        lResult = func(static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam), bHandled);      \
        if (bHandled) return TRUE;                                                                 \
    }

// Hands the message to a base class's map, or to a member object's map.
#define CHAIN_MSG_MAP(base)                                                                        \
    if (base::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult)) return TRUE;
#define CHAIN_MSG_MAP_MEMBER(member)                                                               \
    if ((member).ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult)) return TRUE;

// Sends control notifications (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, ...) back
// to the control that sent them as OCM_ messages, so a control's own class can
// handle them.
#define REFLECT_NOTIFICATIONS()                                                                    \
    {                                                                                              \
        bHandled = TRUE;                                                                           \
        lResult = ReflectNotification(hWnd, uMsg, wParam, lParam, bHandled);                       \
        if (bHandled) return TRUE;                                                                 \
    }

#define END_MSG_MAP()                                                                              \
    return FALSE;                                                                                  \
    }
