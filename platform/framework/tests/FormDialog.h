// The test dialog with data exchange: a name, a check box and a number,
// an accelerator table that can be switched off, and a worker that asks the
// dialog for data exchange with a message.
#pragma once

#include <atomic>

#include "Framework.h"
#include "FxTestResource.h"

class CFormDialog : public CDialog {
public:
    // Sent by the worker: wParam 1 reads the controls into the members, 0
    // puts the members into the controls (answered with UpdateData's result).
    static constexpr UINT kExchange = WM_APP + 60;
    static constexpr UINT_PTR kPollTimer = 1;

    explicit CFormDialog(CWnd* parent = nullptr) : CDialog(IDD_FX_FORM, parent) {}
    ~CFormDialog() override;

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void DoDataExchange(CDataExchange* dx) override;

    CString m_name;
    int m_check = 0;
    int m_number = 0;

    bool m_useAccelerators = true;
    bool m_endInInit = false;
    bool m_ignoreClose = false;
    int m_closeRequests = 0;
    int m_initCount = 0;
    int m_accelRuns = 0;
    int m_clearRuns = 0;
    // Set: the start button resumes this suspended worker and polls it.
    CWinThread* m_worker = nullptr;
    DWORD m_workerExit = 0;
    std::atomic<int> m_polls{0};
    CString m_textWhenWorkerEnded;

protected:
    void OnStart();
    void OnAccelRun();
    void OnAccelClear() { ++m_clearRuns; }
    LRESULT OnExchange(WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR id);
    void OnClose();

    DECLARE_MESSAGE_MAP()

private:
    CAcceleratorTable m_accelerators;
};
