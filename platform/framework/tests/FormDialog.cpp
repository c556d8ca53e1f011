#include "FormDialog.h"

// clang-format off
BEGIN_MESSAGE_MAP(CFormDialog, CDialog)
    ON_BN_CLICKED(IDC_FX_START, &CFormDialog::OnStart)
    ON_COMMAND(ID_FX_ACCEL_RUN, &CFormDialog::OnAccelRun)
    ON_COMMAND(ID_FX_ACCEL_CLEAR, &CFormDialog::OnAccelClear)
    ON_MESSAGE(kExchange, &CFormDialog::OnExchange)
    ON_WM_TIMER()
ON_WM_CLOSE()
END_MESSAGE_MAP()
// clang-format on

CFormDialog::~CFormDialog() {
    delete m_worker;
}

BOOL CFormDialog::OnInitDialog() {
    ++m_initCount;
    CDialog::OnInitDialog();
    if (m_useAccelerators) m_accelerators.Load(IDR_FX_ACCEL);
    if (m_endInInit) EndDialog(55);
    return TRUE;
}

BOOL CFormDialog::PreTranslateMessage(MSG* msg) {
    if (m_accelerators.Translate(m_hWnd, msg)) return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

void CFormDialog::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_FX_NAME, m_name);
    DDX_Check(dx, IDC_FX_CHECK, m_check);
    DDX_Text(dx, IDC_FX_NUMBER, m_number);
}

void CFormDialog::OnStart() {
    if (!m_worker) return;
    m_worker->ResumeThread();
    SetTimer(kPollTimer, 10);
}

void CFormDialog::OnAccelRun() {
    ++m_accelRuns;
    EndDialog(77);
}

LRESULT CFormDialog::OnExchange(WPARAM wParam, LPARAM) {
    return UpdateData(wParam == 1 ? TRUE : FALSE);
}

void CFormDialog::OnClose() {
    ++m_closeRequests;
    // The dialog manager turns the close request into IDCANCEL.
    if (!m_ignoreClose) CDialog::OnClose();
}

void CFormDialog::OnTimer(UINT_PTR id) {
    if (id != kPollTimer) {
        CDialog::OnTimer(id);
        return;
    }
    ++m_polls;
    DWORD code = 0;
    if (!::GetExitCodeThread(m_worker->m_hThread, &code) || code == STILL_ACTIVE) return;
    KillTimer(kPollTimer);
    m_workerExit = code;
    GetDlgItemText(IDC_FX_NAME, m_textWhenWorkerEnded);
    delete m_worker;
    m_worker = nullptr;
    EndDialog(IDOK);
}
