#include "CChangeEntryDlg.h"

#include "CenterOnOwner.h"
#include "FitDlgItemToText.h"

namespace {

// 96-DPI pixel places and sizes.
constexpr int kTextX = 24;
constexpr int kTextY = 25;
constexpr int kTextLines = 2;
constexpr int kCheckWidth = 210;
constexpr int kCheckHeight = 15;

} // namespace

LRESULT CChangeEntryDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    (void)CenterOnOwner(m_hWnd);
    (void)FitDlgItemToText(m_scale, m_hWnd, IDC_CHANGEENTRY_TEXT, kTextX, kTextY, kTextLines);
    if (const HWND check = GetDlgItem(IDC_CHANGEENTRY_NOASK)) {
        ::SetWindowPos(check, nullptr, 0, 0, m_scale.ScaleX(kCheckWidth),
                       m_scale.ScaleY(kCheckHeight), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return TRUE;
}

void CChangeEntryDlg::ReadDoNotAsk() noexcept {
    if (::IsDlgButtonChecked(m_hWnd, IDC_CHANGEENTRY_NOASK) == BST_CHECKED) m_nDoNotAsk = 1;
}

LRESULT CChangeEntryDlg::OnClickedYes(WORD, WORD, HWND, BOOL&) {
    ReadDoNotAsk();
    m_nYes = 1;
    EndDialog(IDOK);
    return 0;
}

LRESULT CChangeEntryDlg::OnClickedNo(WORD, WORD, HWND, BOOL&) {
    ReadDoNotAsk();
    m_nYes = 0;
    EndDialog(IDCANCEL);
    return 0;
}
