// CCmdTarget: the root of every class with a message map. A map is a static
// table of rows, each a message (and for WM_COMMAND / WM_NOTIFY a control id
// range and notification code) with a thunk that unpacks the message and
// calls the handler; a derived class's map is searched before its base's.
#pragma once

#include <windows.h>

#include "CObject.h"

class CCmdTarget;

// Calls one handler; answers false when the row declines the message (the
// search then goes on), result receives the message's answer.
using FxMapThunk = bool (*)(CCmdTarget* target, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT* result);

// Row codes beyond the real notification codes.
inline constexpr UINT kFxCodeCommand = 0xFFFFFFFEu; // menu item or accelerator (code 0 or 1)
inline constexpr UINT kFxCodeAny = 0xFFFFFFFFu;     // no code test (window messages)
// A control's notification offered back to the control (message + base).
inline constexpr UINT kFxReflectBase = 0xBC00u;
// The map rows of ON_UPDATE_COMMAND_UI: wParam the command id, lParam the
// CCmdUI. Never sent as a window message.
inline constexpr UINT kFxMsgUpdateCommandUI = 0xBB01u;

class CCmdUI;

struct FxMsgMapEntry {
    UINT message; // 0 ends the table
    UINT code;    // notification code, kFxCodeCommand or kFxCodeAny
    UINT firstId; // control or command id range (WM_COMMAND, WM_NOTIFY)
    UINT lastId;
    FxMapThunk thunk;
};

struct FxMsgMap {
    const FxMsgMap* (*base)(); // null at the root
    const FxMsgMapEntry* entries;
};

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)

public:
    CCmdTarget() = default;

    // Runs the first matching row of this object's maps; TRUE when a row
    // handled the message.
    BOOL DispatchToMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Whether a row of the maps handles command id (menu item or accelerator).
    bool HasCommandHandler(UINT id) const;

protected:
    static const FxMsgMap* GetThisMessageMap();
    virtual const FxMsgMap* GetMessageMap() const;
};
