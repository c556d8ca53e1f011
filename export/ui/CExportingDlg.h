// The progress dialog of an export (132 "エクスポート中..."), modeless and
// owned by the main window, which it disables while the worker runs. The
// worker tells it of the export's state with kExportStateMessage; its OK
// button, enabled once the worker has ended, tells the main frame with
// kProgressDialogClosed and destroys the window. The frame deletes the
// object afterwards.
#pragma once

#include "Framework.h"

namespace vantrel {

class CExportingDlg : public CDialog {
public:
    // owner: the main window, disabled from the dialog's start until the
    // worker reports its end.
    explicit CExportingDlg(CWnd* owner = nullptr);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    // Every WM_SYSCOMMAND taken from the queue goes no further.
    BOOL PreTranslateMessage(MSG* msg) override;
    // Button 1, only once the worker has ended.
    void OnOK() override;
    // Escape does not hide the dialog: it has no cancel.
    void OnCancel() override {}

    void OnSysCommand(UINT id, LPARAM lParam);

    CString m_strStatus;

protected:
    LRESULT OnExportState(WPARAM state, LPARAM reason);
    void StopOnLastFrame();
    void EnableOwner();

    DECLARE_MESSAGE_MAP()

private:
    CWnd* m_pOwner;
    HWND m_owner = nullptr;
};

// The number of frames of the program's AVI resource id (0 when missing).
UINT AnimationFrameCount(UINT id);

} // namespace vantrel
