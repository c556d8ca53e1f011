#include "COstravoUserDlg.h"

#include "OstravoRows.h"
#include "resource.h"

namespace ostravo {

BEGIN_MESSAGE_MAP(COstravoUserDlg, CDialog)
ON_BN_CLICKED(IDC_INIT, &COstravoUserDlg::OnInitialise)
ON_BN_CLICKED(IDC_CHECK_USERDB, &COstravoUserDlg::OnBoxChanged)
END_MESSAGE_MAP()

COstravoUserDlg::COstravoUserDlg(const COstravoSettings& settings, CWnd* parent)
    : CDialog(IDD_OSTRAVO_USER_DIALOG, parent), m_pipe(settings) {}

BOOL COstravoUserDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    ShowUserDb();
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_INIT), FALSE);
    return TRUE;
}

void COstravoUserDlg::OnBoxChanged() {
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_INIT),
                   IsDlgButtonChecked(IDC_CHECK_USERDB) == BST_CHECKED ? TRUE : FALSE);
}

void COstravoUserDlg::OnInitialise() {
    (void)m_pipe.InitUserDb();
    // The box keeps its check mark: only the state and its text change.
    const UINT checked = IsDlgButtonChecked(IDC_CHECK_USERDB);
    ShowUserDb();
    CheckDlgButton(IDC_CHECK_USERDB, checked);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_INIT), FALSE);
}

void COstravoUserDlg::ShowUserDb() {
    DWORD state = 3;
    (void)m_pipe.CheckUserDb(state);
    ShowRowState(m_hWnd, IDC_CHECK_USERDB, IDC_STATE_USERDB, state);
}

} // namespace ostravo
