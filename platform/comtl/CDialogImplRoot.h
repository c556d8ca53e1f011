#pragma once
#include <windows.h>
#include "CMessageMap.h"
#include "CWindow.h"
#include "MessageMap.h"

// The part of CAxDialogImpl that does not depend on the derived class: modal
// and modeless creation from a dialog resource of this module and the dialog
// procedure that feeds the map. A handled message's answer reaches the sender
// through DWLP_MSGRESULT (or as the procedure's own result for the few
// messages whose answer is the return value). The object must outlive its
// dialog; OnFinalMessage runs after WM_NCDESTROY and may delete the object.
class CDialogImplRoot : public CWindow, public CMessageMap {
public:
    CDialogImplRoot() = default;
    CDialogImplRoot(const CDialogImplRoot&) = delete;
    CDialogImplRoot& operator=(const CDialogImplRoot&) = delete;

    // Ends a modal dialog: DoModal returns result once the handler returns.
    BOOL EndDialog(INT_PTR result) noexcept { return ::EndDialog(m_hWnd, result); }
    virtual void OnFinalMessage(HWND) {}

protected:
    ~CDialogImplRoot();

    // WM_INITDIALOG's lParam is initParam. -1 when the dialog cannot be made.
    INT_PTR DoModalImpl(UINT templateId, HWND parent, LPARAM initParam) noexcept;
    // The dialog, or null; shown only when its template says WS_VISIBLE.
    HWND CreateImpl(UINT templateId, HWND parent, LPARAM initParam) noexcept;

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
};
