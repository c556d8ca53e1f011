#include "CAutoEntryDlg.h"

#include "CenterOnOwner.h"

#include "Trace.h"

LRESULT CAutoEntryDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    (void)CenterOnOwner(m_hWnd);
    return TRUE;
}

void CAutoEntryDlg::StopAsking() noexcept {
    if (::IsDlgButtonChecked(m_hWnd, IDC_AUTOENTRY_NOASK) != BST_CHECKED) return;
    try {
        if (!m_store.GetOptionData()) {
            TORVA_TRACE_ERROR(L"options not read; CHECKSET left as stored");
            return;
        }
        m_store.m_option.m_nCheckSet = 0;
        m_store.SetOptionData();
    } catch (...) {
        // Out of memory in the store: the question simply stays on.
    }
}

LRESULT CAutoEntryDlg::OnClickedYes(WORD, WORD, HWND, BOOL&) {
    StopAsking();
    m_nResult = 1;
    EndDialog(IDOK);
    return 0;
}

LRESULT CAutoEntryDlg::OnClickedNo(WORD, WORD, HWND, BOOL&) {
    StopAsking();
    m_nResult = 0;
    EndDialog(IDCANCEL);
    return 0;
}
