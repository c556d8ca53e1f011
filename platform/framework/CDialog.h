// CDialog: a dialog from a dialog resource of the program, modal (DoModal
// runs the framework's own modal loop, so PreTranslateMessage sees every
// message first, for accelerators) or modeless (Create, ShowWindow,
// DestroyWindow). The dialog's window is subclassed, so its message map sees
// every message; what the map leaves goes to the dialog manager.
//
// Controls of the control host class in the template ("AtlAxWin80", the
// window text naming the ActiveX control) need AfxEnableControlContainer;
// their events reach the dialog's event-sink map (FxEventSink.h).
#pragma once

#include <memory>

#include "CWnd.h"

struct FxEventSinkMap;
class FxDialogSinks;

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)

public:
    CDialog();
    explicit CDialog(UINT templateId, CWnd* parent = nullptr) noexcept;
    explicit CDialog(const wchar_t* templateName, CWnd* parent = nullptr) noexcept;
    ~CDialog() override;

    // Shows the dialog and returns the value given to EndDialog once it has
    // closed and its window is gone; -1 when it could not be made. The
    // owner (the parent given, else the main window, else the active
    // window) is disabled meanwhile.
    virtual INT_PTR DoModal();
    // A modeless dialog; shown only when the template says WS_VISIBLE.
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    BOOL Create(const wchar_t* templateName, CWnd* parent = nullptr);
    // Ends the modal loop with result (the window is destroyed by DoModal);
    // a modeless dialog is only hidden, as by the dialog manager.
    void EndDialog(int result);

    // Called once the controls exist; the default fills them (UpdateData
    // FALSE) and answers TRUE, which lets the dialog manager set the focus.
    virtual BOOL OnInitDialog();
    // IDOK: UpdateData(TRUE), then EndDialog(IDOK) when it succeeded.
    virtual void OnOK();
    // IDCANCEL: EndDialog(IDCANCEL).
    virtual void OnCancel();
    // Keyboard navigation of the dialog (IsDialogMessage).
    BOOL PreTranslateMessage(MSG* msg) override;

    void NextDlgCtrl() const noexcept { ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
    void GotoDlgCtrl(CWnd* control) noexcept;
    void SetDefID(UINT id) noexcept { ::SendMessageW(m_hWnd, DM_SETDEFID, id, 0); }

    UINT m_nIDHelp = 0;
    const wchar_t* m_lpszTemplateName = nullptr;
    CWnd* m_pParentWnd = nullptr;

protected:
    // The event-sink map (empty here; DECLARE_EVENTSINK_MAP overrides).
    static const FxEventSinkMap* GetThisEventSinkMap();
    virtual const FxEventSinkMap* GetEventSinkMap() const;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK FxDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    HWND CreateFromTemplate(HWND owner);
    BOOL InitDialogFromManager();
    void ConnectSinks();
    void RunModalLoop();
    friend class FxDialogSinks;

    bool m_bContinueModal = false;
    bool m_bModal = false;
    INT_PTR m_nModalResult = -1;
    std::unique_ptr<FxDialogSinks> m_sinks;
};
