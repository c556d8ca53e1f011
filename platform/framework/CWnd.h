// CWnd: a window with a message map. A permanent CWnd is bound to its window
// (created through it, subclassed, or a dialog's own window) and receives the
// window's messages through its map until WM_NCDESTROY, when it lets go of
// the handle and PostNcDestroy runs (which may delete the object). FromHandle
// gives a temporary wrapper for any other window; such wrappers belong to the
// thread that asked and stay valid until that thread's next idle moment.
//
// Threads: a CWnd is used on the thread that owns its window. UpdateData
// called on another thread is carried out on the window's thread.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "CCmdTarget.h"
#include "FxGeometry.h"
#include "FxMessageMap.h"
#include "FxString.h"

class CDataExchange;
class CMenu;

class CWnd : public CCmdTarget {
    DECLARE_DYNCREATE(CWnd)

public:
    CWnd() = default;
    // Destroys the window it made or subclassed if still there; an attached
    // window is only let go.
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    operator HWND() const noexcept { return m_hWnd; }
    HWND GetSafeHwnd() const noexcept { return m_hWnd; }

    // The permanent object of window, else a temporary wrapper; null for null.
    static CWnd* FromHandle(HWND window);
    // The permanent object of window, or null.
    static CWnd* FromHandlePermanent(HWND window) noexcept;
    // Drops the calling thread's temporary wrappers of windows that are gone.
    static void DeleteTempMap() noexcept;
    static CWnd* GetFocus() { return FromHandle(::GetFocus()); }
    static CWnd* GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
    static CWnd* GetForegroundWindow() { return FromHandle(::GetForegroundWindow()); }
    static CWnd* FindWindow(const wchar_t* className, const wchar_t* windowName) {
        return FromHandle(::FindWindowW(className, windowName));
    }

    // The Z-order places of SetWindowPos.
    static const CWnd wndTop;
    static const CWnd wndBottom;
    static const CWnd wndTopMost;
    static const CWnd wndNoTopMost;

    // Binds without subclassing (the window's messages do not reach the
    // map); Detach gives the handle back.
    BOOL Attach(HWND window) noexcept;
    HWND Detach() noexcept;
    // Binds and routes the window's messages through the map; the window's
    // own procedure gets what the map leaves.
    BOOL SubclassWindow(HWND window) noexcept;
    BOOL SubclassDlgItem(UINT id, CWnd* parent) noexcept;
    HWND UnsubclassWindow() noexcept;

    // Creation; the map sees the window's messages from WM_NCCREATE on.
    virtual BOOL Create(const wchar_t* className, const wchar_t* windowName, DWORD style,
                        const RECT& rect, CWnd* parent, UINT id);
    BOOL CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                  const RECT& rect, CWnd* parent, UINT id, void* param = nullptr);
    // The same from a filled structure (hMenu: a top-level window's menu or
    // a child's id; x and cx may be CW_USEDEFAULT).
    BOOL CreateFromStruct(const CREATESTRUCTW& cs);
    // Creates the ActiveX control clsid in a control host window that is
    // this object's window (AfxEnableControlContainer must have run).
    BOOL CreateControl(REFCLSID clsid, const wchar_t* windowName, DWORD style, const RECT& rect,
                       CWnd* parent, UINT id);
    virtual BOOL DestroyWindow();

    // Message handling.
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    // The window's own procedure (or the default one) for a message.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The message being handled, passed on to DefWindowProc.
    LRESULT Default();
    // Runs after the window is gone; the default does nothing.
    virtual void PostNcDestroy() {}

    // Data exchange between the controls and the object's members:
    // save TRUE reads the controls, FALSE fills them. FALSE when a DDX
    // routine refused a value (the focus is then on that control).
    virtual void DoDataExchange(CDataExchange* dx);
    BOOL UpdateData(BOOL save = TRUE);

    // The hosted ActiveX control (no reference added; valid while the
    // window lives), or null when this is no control host.
    IUnknown* GetControlUnknown() const noexcept;
    // IDispatch::Invoke on the hosted control, conventional form: params is
    // a VTS_ string naming the types of the arguments that follow (plain
    // values: const wchar_t* for VTS_BSTR, never a CString object); result
    // points at a variable of type returnType (VT_EMPTY: none; VT_BSTR: a
    // CString; VT_DISPATCH: an IDispatch* the caller releases).
    HRESULT InvokeHelper(DISPID dispid, WORD flags, VARTYPE returnType, void* result,
                         const BYTE* params, ...);

    // Window operations (each one Win32 call on m_hWnd).
    CWnd* GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    CWnd* GetWindow(UINT relation) const { return FromHandle(::GetWindow(m_hWnd, relation)); }
    int GetDlgCtrlID() const noexcept { return ::GetDlgCtrlID(m_hWnd); }
    BOOL IsWindowVisible() const noexcept { return ::IsWindowVisible(m_hWnd); }
    BOOL IsWindowEnabled() const noexcept { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsIconic() const noexcept { return ::IsIconic(m_hWnd); }
    BOOL IsZoomed() const noexcept { return ::IsZoomed(m_hWnd); }
    BOOL EnableWindow(BOOL enable = TRUE) noexcept { return ::EnableWindow(m_hWnd, enable); }
    BOOL ShowWindow(int show) noexcept { return ::ShowWindow(m_hWnd, show); }
    void SetWindowText(const wchar_t* text) noexcept { ::SetWindowTextW(m_hWnd, text); }
    void GetWindowText(CString& text) const;
    int GetWindowText(wchar_t* text, int maxCount) const noexcept {
        return ::GetWindowTextW(m_hWnd, text, maxCount);
    }
    int GetWindowTextLength() const noexcept { return ::GetWindowTextLengthW(m_hWnd); }
    void SetDlgItemText(int id, const wchar_t* text) noexcept {
        ::SetDlgItemTextW(m_hWnd, id, text);
    }
    int GetDlgItemText(int id, CString& text) const;
    UINT GetDlgItemInt(int id, BOOL* translated = nullptr, BOOL isSigned = TRUE) const noexcept {
        return ::GetDlgItemInt(m_hWnd, id, translated, isSigned);
    }
    LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0,
                               LPARAM lParam = 0) const noexcept {
        return ::SendDlgItemMessageW(m_hWnd, id, message, wParam, lParam);
    }
    void CheckRadioButton(int firstId, int lastId, int checkId) noexcept {
        ::CheckRadioButton(m_hWnd, firstId, lastId, checkId);
    }
    void SetDlgItemInt(int id, UINT value, BOOL isSigned = TRUE) noexcept {
        ::SetDlgItemInt(m_hWnd, id, value, isSigned);
    }
    void CheckDlgButton(int id, UINT check) noexcept { ::CheckDlgButton(m_hWnd, id, check); }
    UINT IsDlgButtonChecked(int id) const noexcept { return ::IsDlgButtonChecked(m_hWnd, id); }
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) noexcept {
        ::MoveWindow(m_hWnd, x, y, width, height, repaint);
    }
    void MoveWindow(const RECT* rect, BOOL repaint = TRUE) noexcept {
        ::MoveWindow(m_hWnd, rect->left, rect->top, rect->right - rect->left,
                     rect->bottom - rect->top, repaint);
    }
    BOOL SetWindowPos(const CWnd* after, int x, int y, int cx, int cy, UINT flags) noexcept {
        return ::SetWindowPos(m_hWnd, after ? after->m_hWnd : nullptr, x, y, cx, cy, flags);
    }
    void GetWindowRect(RECT* rect) const noexcept { ::GetWindowRect(m_hWnd, rect); }
    void GetClientRect(RECT* rect) const noexcept { ::GetClientRect(m_hWnd, rect); }
    void ClientToScreen(POINT* point) const noexcept { ::ClientToScreen(m_hWnd, point); }
    void ClientToScreen(RECT* rect) const noexcept;
    void ScreenToClient(POINT* point) const noexcept { ::ScreenToClient(m_hWnd, point); }
    void ScreenToClient(RECT* rect) const noexcept;
    void CenterWindow(CWnd* alternateOwner = nullptr) noexcept;
    BOOL SetForegroundWindow() noexcept { return ::SetForegroundWindow(m_hWnd); }
    BOOL BringWindowToTop() noexcept { return ::BringWindowToTop(m_hWnd); }
    BOOL GetWindowPlacement(WINDOWPLACEMENT* placement) const noexcept {
        placement->length = sizeof(WINDOWPLACEMENT);
        return ::GetWindowPlacement(m_hWnd, placement);
    }
    BOOL SetWindowPlacement(const WINDOWPLACEMENT* placement) noexcept {
        return ::SetWindowPlacement(m_hWnd, placement);
    }
    void SetRedraw(BOOL redraw = TRUE) noexcept { SendMessage(WM_SETREDRAW, redraw); }
    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    CWnd* SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
    void Invalidate(BOOL erase = TRUE) noexcept { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void InvalidateRect(const RECT* rect, BOOL erase = TRUE) noexcept {
        ::InvalidateRect(m_hWnd, rect, erase);
    }
    void UpdateWindow() noexcept { ::UpdateWindow(m_hWnd); }
    BOOL RedrawWindow(const RECT* rect = nullptr, HRGN region = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE) noexcept {
        return ::RedrawWindow(m_hWnd, rect, region, flags);
    }
    HICON SetIcon(HICON icon, BOOL big) noexcept {
        return reinterpret_cast<HICON>(
            SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
    }
    // The window menu, as a temporary wrapper; revert TRUE puts the default back.
    CMenu* GetSystemMenu(BOOL revert) const;
    // WM_DROPFILES from the shell on (TRUE) or off (FxDropFiles.h).
    void DragAcceptFiles(BOOL accept = TRUE) noexcept;
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr) noexcept {
        return ::SetTimer(m_hWnd, id, elapse, proc);
    }
    BOOL KillTimer(UINT_PTR id) noexcept { return ::KillTimer(m_hWnd, id); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const noexcept {
        return ::SendMessageW(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const noexcept {
        return ::PostMessageW(m_hWnd, message, wParam, lParam);
    }
    LONG_PTR GetStyle() const noexcept { return ::GetWindowLongPtrW(m_hWnd, GWL_STYLE); }
    LONG_PTR GetExStyle() const noexcept { return ::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE); }
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0) noexcept;
    // A message box owned by this window; a null caption is the
    // application's display name.
    int MessageBox(const wchar_t* text, const wchar_t* caption = nullptr, UINT type = MB_OK);

    // Default handlers of the ON_WM_ rows: each passes the message on.
    int OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
    void OnDestroy() { Default(); }
    void OnClose() { Default(); }
    void OnPaint() { Default(); }
    void OnSize(UINT, int, int) { Default(); }
    void OnMoving(UINT, LPRECT) { Default(); }
    void OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
    void OnSysCommand(UINT, LPARAM) { Default(); }
    HCURSOR OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
    void OnTimer(UINT_PTR) { Default(); }
    void OnShowWindow(BOOL, UINT) { Default(); }
    void OnContextMenu(CWnd*, CPoint) { Default(); }
    void OnLButtonDown(UINT, CPoint) { Default(); }
    void OnKeyDown(UINT, UINT, UINT) { Default(); }
    void OnSysKeyDown(UINT, UINT, UINT) { Default(); }

protected:
    // WM_NCDESTROY: unbinds, then PostNcDestroy.
    void OnNcDestroyFinal() noexcept;

    WNDPROC m_superProc = nullptr; // the window's own procedure while subclassed

private:
    // A handle value that is no window (the Z-order places).
    explicit CWnd(HWND special) noexcept : m_hWnd(special) {}
    friend LRESULT CALLBACK FxWindowProc(HWND, UINT, WPARAM, LPARAM);
    friend class CDialog;
    BOOL BindPermanent(HWND window, bool subclass) noexcept;
    void UnbindPermanent() noexcept;
    BOOL UpdateDataHere(BOOL save);
};

// The procedure of every subclassed window: feeds the bound object's map.
LRESULT CALLBACK FxWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
