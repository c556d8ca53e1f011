#pragma once
#include <windows.h>

// Anything with a message map (BEGIN_MSG_MAP defines the override), so that
// a window can chain to a member object's map.
class CMessageMap {
public:
    virtual BOOL ProcessWindowMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam,
                                      LRESULT& result) = 0;

protected:
    ~CMessageMap() = default;
};

// Sends a control notification that reached parent back to the control as
// OCM__BASE + msg and returns the control's answer. handled is cleared for
// messages that are no notification or whose control cannot be found.
LRESULT ReflectNotification(HWND parent, UINT msg, WPARAM wParam, LPARAM lParam,
                            BOOL& handled) noexcept;
