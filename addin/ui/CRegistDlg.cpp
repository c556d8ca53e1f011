#include "CRegistDlg.h"
#include "CRegistDlgSaveJob.h"
#include "HtmlCom.h"

#include <commctrl.h>

namespace {

// The list view class must exist before the template is made.
void InitListViewClass() noexcept {
    INITCOMMONCONTROLSEX init{sizeof(init), ICC_LISTVIEW_CLASSES};
    (void)::InitCommonControlsEx(&init);
}

} // namespace

CRegistDlg::CRegistDlg(IHTMLDocument2* document, int nSelForm, int nState, IUnknown* sender)
    : m_pDocument(document), m_nSelForm(nSelForm), m_nState(nState),
      m_pSender(As<IUnknown>(sender, IID_IUnknown)) {
    InitListViewClass();
}

CRegistDlg::~CRegistDlg() {
    // Normally reaped on WM_DESTROY; the worker uses the members below.
    for (HANDLE* thread : {&m_hOKThread, &m_hApplyThread}) {
        if (!*thread) continue;
        ::WaitForSingleObject(*thread, INFINITE);
        ::CloseHandle(*thread);
        *thread = nullptr;
    }
    m_job.reset();
    delete m_pWebForm;
    delete m_pReplaceForm;
    delete m_pAddItem;
    if (m_pBrowser) m_pBrowser->Release();
}

BOOL CRegistDlg::ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                      LRESULT& lResult) {
    BOOL bHandled = TRUE;
    (void)hWnd;
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    NOTIFY_HANDLER(IDC_REGIST_LIST, LVN_ITEMCHANGING, OnLvnItemchangingListItem)
    NOTIFY_HANDLER(IDC_REGIST_LIST, LVN_ITEMCHANGED, OnLvnItemchangedListItem)
    COMMAND_HANDLER(IDOK, BN_CLICKED, OnClickedOK)
    COMMAND_HANDLER(IDCANCEL, BN_CLICKED, OnClickedCancel)
    COMMAND_HANDLER(IDC_REGIST_FOLD, BN_CLICKED, OnBnClickedButtonOption)
    COMMAND_HANDLER(IDC_REGIST_CLEAR, BN_CLICKED, OnBnClickedButtonClear)
    COMMAND_HANDLER(IDC_REGIST_AUTOINPUT, BN_CLICKED, OnBnClickedCheckAutoInput)
    COMMAND_HANDLER(IDC_REGIST_APPLY, BN_CLICKED, OnBnClickedButtonApply)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(WM_REGIST_ALIVE, OnAlive)
    MESSAGE_HANDLER(WM_REGIST_RESELECT, OnReselect)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    return FALSE;
}

int CRegistDlg::InsertRow(const std::wstring& label, const std::wstring& formName,
                          CDataWebItem* item) {
    if (!m_hList) return -1;
    LVITEMW row{};
    row.mask = LVIF_TEXT | LVIF_PARAM;
    row.iItem = ListView_GetItemCount(m_hList);
    row.pszText = const_cast<wchar_t*>(label.c_str());
    row.lParam = reinterpret_cast<LPARAM>(item);
    const int at = ListView_InsertItem(m_hList, &row);
    if (at >= 0) ListView_SetItemText(m_hList, at, 1, const_cast<wchar_t*>(formName.c_str()));
    return at;
}

CDataWebItem* CRegistDlg::RowItem(int row) const {
    if (!m_hList || row < 0) return nullptr;
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!ListView_GetItem(m_hList, &item)) return nullptr;
    return reinterpret_cast<CDataWebItem*>(item.lParam);
}

std::wstring CRegistDlg::RowText(int row) const {
    if (!m_hList || row < 0) return {};
    wchar_t text[512] = {};
    ListView_GetItemText(m_hList, row, 0, text, 512);
    return text;
}

int CRegistDlg::RowOf(const CDataWebItem* item) const {
    if (!m_hList) return -1;
    const int count = ListView_GetItemCount(m_hList);
    for (int row = 0; row < count; ++row)
        if (RowItem(row) == item) return row;
    return -1;
}

void CRegistDlg::SelectRow(int row) {
    if (!m_hList || row < 0) return;
    const UINT both = LVIS_SELECTED | LVIS_FOCUSED;
    ListView_SetItemState(m_hList, row, both, both);
    ListView_EnsureVisible(m_hList, row, FALSE);
}

LRESULT CRegistDlg::OnAlive(UINT, WPARAM, LPARAM, BOOL& handled) {
    handled = TRUE;
    return 1;
}
