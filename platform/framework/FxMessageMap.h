// The message-map macros. In the class: DECLARE_MESSAGE_MAP(); in the source
// file: BEGIN_MESSAGE_MAP(CMyDlg, CDialog) ... END_MESSAGE_MAP(). Handlers
// named by an argument are given as member pointers (&CMyDlg::OnBnClickedX);
// the ON_WM_ rows call the conventionally named member (OnPaint, OnSize, ...)
// of the class, which the base CWnd declares with a default that passes the
// message on.
//
// Signatures:
//   ON_COMMAND(id, f), ON_BN_CLICKED(id, f), ON_CONTROL(code, id, f): void f()
//   ON_COMMAND_RANGE(first, last, f):                     void f(UINT id)
//   ON_NOTIFY(code, id, f):                                void f(NMHDR*, LRESULT*)
//   ON_MESSAGE(msg, f):                                    LRESULT f(WPARAM, LPARAM)
//   ON_NOTIFY_REFLECT(code, f): a control's own notification, offered to the
//     control's object before its parent's map:          void f(NMHDR*, LRESULT*)
//   ON_UPDATE_COMMAND_UI(id, f): the state of a menu item or tool button of
//     command id, asked for before a menu opens and at idle: void f(CCmdUI*)
#pragma once

#include "CCmdTarget.h"

#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    static const FxMsgMap* GetThisMessageMap();                                                    \
    const FxMsgMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const FxMsgMap* theClass::GetMessageMap() const {                                              \
        return GetThisMessageMap();                                                                \
    }                                                                                              \
    const FxMsgMap* theClass::GetThisMessageMap() {                                                \
        using ThisClass = theClass;                                                                \
        using TheBaseClass = baseClass;                                                            \
        static const FxMsgMapEntry s_entries[] = {

#define END_MESSAGE_MAP()                                                                          \
    { 0, 0, 0, 0, nullptr }                                                                        \
    }                                                                                              \
    ;                                                                                              \
    static const FxMsgMap s_map = {&TheBaseClass::GetThisMessageMap, s_entries};                   \
    return &s_map;                                                                                 \
    }

#define FX_THUNK(body)                                                                             \
    [](CCmdTarget* fxTarget, UINT fxMsg, WPARAM wParam, LPARAM lParam,                             \
       LRESULT* fxResult) -> bool {                                                                \
        (void)fxMsg;                                                                               \
        (void)wParam;                                                                              \
        (void)lParam;                                                                              \
        (void)fxResult;                                                                            \
        ThisClass* fxThis = static_cast<ThisClass*>(fxTarget);                                     \
        body;                                                                                      \
        return true;                                                                               \
    }

// Commands and control notifications.
#define ON_COMMAND(id, memberFxn)                                                                  \
    {WM_COMMAND, kFxCodeCommand, static_cast<UINT>(id), static_cast<UINT>(id),                     \
     FX_THUNK((fxThis->*(memberFxn))())},
#define ON_COMMAND_RANGE(firstId, lastId, memberFxn)                                               \
    {WM_COMMAND, kFxCodeCommand, static_cast<UINT>(firstId), static_cast<UINT>(lastId),            \
     FX_THUNK((fxThis->*(memberFxn))(LOWORD(wParam)))},
#define ON_CONTROL(notifyCode, id, memberFxn)                                                      \
    {WM_COMMAND, static_cast<UINT>(notifyCode), static_cast<UINT>(id), static_cast<UINT>(id),      \
     FX_THUNK((fxThis->*(memberFxn))())},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_NOTIFY(notifyCode, id, memberFxn)                                                       \
    {WM_NOTIFY, static_cast<UINT>(notifyCode), static_cast<UINT>(id), static_cast<UINT>(id),       \
     FX_THUNK((fxThis->*(memberFxn))(reinterpret_cast<NMHDR*>(lParam), fxResult))},

#define ON_NOTIFY_REFLECT(notifyCode, memberFxn)                                                   \
    {kFxReflectBase + WM_NOTIFY, static_cast<UINT>(notifyCode), 0, 0xFFFFFFFFu,                    \
     FX_THUNK((fxThis->*(memberFxn))(reinterpret_cast<NMHDR*>(lParam), fxResult))},
#define ON_UPDATE_COMMAND_UI(id, memberFxn)                                                        \
    {kFxMsgUpdateCommandUI, kFxCodeAny, static_cast<UINT>(id), static_cast<UINT>(id),              \
     FX_THUNK((fxThis->*(memberFxn))(reinterpret_cast<CCmdUI*>(lParam)))},

// Any message, handler given.
#define ON_MESSAGE(message, memberFxn)                                                             \
    {static_cast<UINT>(message), kFxCodeAny, 0, 0,                                                 \
     FX_THUNK(*fxResult = (fxThis->*(memberFxn))(wParam, lParam))},

// Window messages with the conventional handler names.
#define ON_WM_CREATE()                                                                             \
    {WM_CREATE, kFxCodeAny, 0, 0,                                                                  \
     FX_THUNK(*fxResult = fxThis->OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam)))},
#define ON_WM_DESTROY() {WM_DESTROY, kFxCodeAny, 0, 0, FX_THUNK(fxThis->OnDestroy())},
#define ON_WM_CLOSE() {WM_CLOSE, kFxCodeAny, 0, 0, FX_THUNK(fxThis->OnClose())},
#define ON_WM_PAINT() {WM_PAINT, kFxCodeAny, 0, 0, FX_THUNK(fxThis->OnPaint())},
#define ON_WM_SIZE()                                                                               \
    {WM_SIZE, kFxCodeAny, 0, 0,                                                                    \
     FX_THUNK(fxThis->OnSize(static_cast<UINT>(wParam), static_cast<short>(LOWORD(lParam)),        \
                             static_cast<short>(HIWORD(lParam))))},
#define ON_WM_MOVING()                                                                             \
    {                                                                                              \
        WM_MOVING, kFxCodeAny, 0, 0,                                                               \
            FX_THUNK(                                                                              \
                fxThis->OnMoving(static_cast<UINT>(wParam), reinterpret_cast<LPRECT>(lParam));     \
                *fxResult = TRUE)                                                                  \
    }                                                                                              \
    ,
#define ON_WM_GETMINMAXINFO()                                                                      \
    {WM_GETMINMAXINFO, kFxCodeAny, 0, 0,                                                           \
     FX_THUNK(fxThis->OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)))},
#define ON_WM_SYSCOMMAND()                                                                         \
    {WM_SYSCOMMAND, kFxCodeAny, 0, 0,                                                              \
     FX_THUNK(fxThis->OnSysCommand(static_cast<UINT>(wParam), lParam))},
#define ON_WM_QUERYDRAGICON()                                                                      \
    {WM_QUERYDRAGICON, kFxCodeAny, 0, 0,                                                           \
     FX_THUNK(*fxResult = reinterpret_cast<LRESULT>(fxThis->OnQueryDragIcon()))},
#define ON_WM_TIMER()                                                                              \
    {WM_TIMER, kFxCodeAny, 0, 0, FX_THUNK(fxThis->OnTimer(static_cast<UINT_PTR>(wParam)))},
#define ON_WM_SHOWWINDOW()                                                                         \
    {WM_SHOWWINDOW, kFxCodeAny, 0, 0,                                                              \
     FX_THUNK(fxThis->OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam)))},
#define ON_WM_CONTEXTMENU()                                                                        \
    {WM_CONTEXTMENU, kFxCodeAny, 0, 0,                                                             \
     FX_THUNK(fxThis->OnContextMenu(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)),              \
                                    CPoint(lParam)))},
#define ON_WM_LBUTTONDOWN()                                                                        \
    {WM_LBUTTONDOWN, kFxCodeAny, 0, 0,                                                             \
     FX_THUNK(fxThis->OnLButtonDown(static_cast<UINT>(wParam), CPoint(lParam)))},
#define ON_WM_KEYDOWN()                                                                            \
    {WM_KEYDOWN, kFxCodeAny, 0, 0,                                                                 \
     FX_THUNK(fxThis->OnKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))},
#define ON_WM_SYSKEYDOWN()                                                                         \
    {WM_SYSKEYDOWN, kFxCodeAny, 0, 0,                                                              \
     FX_THUNK(fxThis->OnSysKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)))},
