#include "CSelectEntry.h"

#include "CenterOnOwner.h"
#include "FitDlgItemToText.h"

namespace {

// Where the question text sits, in 96-DPI pixels, and its line count.
constexpr int kTextX = 32;
constexpr int kTextY = 22;
constexpr int kTextLines = 2;

} // namespace

LRESULT CSelectEntry::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    ::CheckDlgButton(m_hWnd, IDC_SELECTENTRY_ADD, BST_CHECKED);
    (void)CenterOnOwner(m_hWnd);
    (void)FitDlgItemToText(m_scale, m_hWnd, IDC_SELECTENTRY_TEXT, kTextX, kTextY, kTextLines);
    return TRUE;
}

LRESULT CSelectEntry::OnClickedOK(WORD, WORD, HWND, BOOL&) {
    m_nResult = 1;
    m_nOverwrite = ::IsDlgButtonChecked(m_hWnd, IDC_SELECTENTRY_ADD) == BST_CHECKED ? 0 : 1;
    EndDialog(IDOK);
    return 0;
}

LRESULT CSelectEntry::OnClickedCancel(WORD, WORD, HWND, BOOL&) {
    m_nResult = 0;
    EndDialog(IDCANCEL);
    return 0;
}
