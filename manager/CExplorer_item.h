// The preview's web browser control (control 1000 of the management
// dialog): a window that hosts the WebBrowser ActiveX control and reaches
// it through its dispatch interface. Bound to the dialog's control with
// DDX_Control, or made with Create. Its events (DownloadComplete) reach the
// dialog's event-sink map.
//
// Threads: the dialog's UI thread only; the control fires on that thread.
#pragma once

#include "Framework.h"

class CExplorer_item : public CWnd {
    DECLARE_DYNCREATE(CExplorer_item)

public:
    // The WebBrowser control's class {8856F961-340A-11D0-A96B-00C04FD705A2}.
    static const CLSID& GetClsid() noexcept;

    // Creates the control with the given style, rectangle, parent and id
    // (the class name is that of the control host; the one given is unused).
    BOOL Create(const wchar_t* className, const wchar_t* windowName, DWORD style, const RECT& rect,
                CWnd* parent, UINT id) override;

    // Navigate (dispatch id 104): the URL, then four optional arguments;
    // null ones are passed as missing.
    void Navigate(const wchar_t* url, VARIANT* flags, VARIANT* targetFrameName, VARIANT* postData,
                  VARIANT* headers);
    // Document (203): the document's dispatch interface, owned by the
    // caller (Release it); null when there is none.
    LPDISPATCH get_Document();
    // ReadyState (-525): above 2 once the page is interactive or complete;
    // 0 when the control cannot be asked.
    long get_ReadyState();
};
