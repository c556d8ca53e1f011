#include "CExportDlg.h"

#include "CFileDialog.h"
#include "DataValidation.h"
#include "ExportDialogIds.h"
#include "ExportMessages.h"
#include "ExportPathRules.h"
#include "ResourceStrings.h"

namespace vantrel {

namespace {

constexpr int kMaxPathChars = 256;

bool IsTextBox(int id) {
    return id == IDC_EXPORT_PATH || id == IDC_EXPORT_PASSPHRASE || id == IDC_EXPORT_CONFIRM;
}

} // namespace

void WipeText(CString& text) noexcept {
    const int length = text.GetLength();
    if (length > 0) {
        wchar_t* buffer = text.GetBuffer();
        ::SecureZeroMemory(buffer, static_cast<size_t>(length) * sizeof(wchar_t));
        text.ReleaseBuffer(0);
    }
    text.Empty();
}

int ShowUtilityMessage(HWND owner, const wchar_t* text, UINT type) {
    return ::MessageBoxW(owner, text, kUtilityCaption, type);
}

// clang-format off
BEGIN_MESSAGE_MAP(CExportDlg, CDialog)
    ON_BN_CLICKED(IDC_EXPORT_BROWSE, &CExportDlg::OnBrowse)
    ON_BN_CLICKED(IDC_EXPORT_RUN, &CExportDlg::OnExport)
END_MESSAGE_MAP()
// clang-format on

CExportDlg::CExportDlg(CWnd* parent) : CDialog(IDD_EXPORT, parent) {}

CExportDlg::~CExportDlg() {
    WipePassphrase();
}

void CExportDlg::WipePassphrase() noexcept {
    WipeText(m_strPassphrase);
}

BOOL CExportDlg::OnInitDialog() {
    m_editPath.SubclassDlgItem(IDC_EXPORT_PATH, this);
    m_editPath.DragAcceptFiles(TRUE);
    return CDialog::OnInitDialog();
}

void CExportDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_EXPORT_PATH, m_strPath);
    DDV_MaxChars(dx, m_strPath, kMaxPathChars);
    DDX_Text(dx, IDC_EXPORT_PASSPHRASE, m_strPassphrase);
}

BOOL CExportDlg::PreTranslateMessage(MSG* msg) {
    // Enter in one of the text boxes exports, as the button does, and goes
    // no further (the dialog manager would take it for IDOK).
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN && msg->hwnd &&
        ::GetParent(msg->hwnd) == m_hWnd && IsTextBox(::GetDlgCtrlID(msg->hwnd))) {
        OnExport();
        return TRUE;
    }
    return CDialog::PreTranslateMessage(msg);
}

void CExportDlg::OnOK() {
    OnExport();
}

void CExportDlg::OnBrowse() {
    CFileDialog dialog(FALSE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_EXPLORER,
                       GetResourceString(22084), this);
    if (dialog.DoModal() != IDOK) return;
    m_strPath = dialog.GetPathName();
    if (dialog.GetFileExt().IsEmpty()) m_strPath += L".csv";
    // Only the path is shown again: what was typed as passphrase and
    // confirmation stays in the boxes.
    SetDlgItemText(IDC_EXPORT_PATH, m_strPath);
}

void CExportDlg::OnExport() {
    CString text;
    GetDlgItemText(IDC_EXPORT_PATH, text);
    if (!text.IsEmpty()) SetDlgItemText(IDC_EXPORT_PATH, WithCsvExtension(text.str()).c_str());
    if (Validate()) CDialog::OnOK();
}

int CExportDlg::Tell(UINT textId, UINT type) {
    return ShowUtilityMessage(m_hWnd, GetResourceString(textId), type);
}

void CExportDlg::FocusAndSelect(int id) {
    CWnd* box = GetDlgItem(id);
    if (!box) return;
    GotoDlgCtrl(box);
    box->SendMessage(EM_SETSEL, 0, -1);
}

bool CExportDlg::Validate() {
    // The passphrase read at a refused try goes before the boxes are read
    // again: growing it would leave the old text in freed memory.
    WipePassphrase();
    if (!UpdateData(TRUE)) return false;
    CString confirmation;
    GetDlgItemText(IDC_EXPORT_CONFIRM, confirmation);
    const PathCheck check =
        CheckExportInput(m_strPath.str(), m_strPassphrase.str(), confirmation.str());
    WipeText(confirmation);
    switch (check) {
    case PathCheck::EmptyPath:
        Tell(MessageIdOf(check), MB_OK | MB_ICONWARNING);
        GotoDlgCtrl(GetDlgItem(IDC_EXPORT_PATH));
        return false;
    case PathCheck::ForbiddenCharacter:
        Tell(MessageIdOf(check), MB_OK | MB_ICONWARNING);
        FocusAndSelect(IDC_EXPORT_PATH);
        return false;
    case PathCheck::ConfirmationDiffers:
        Tell(MessageIdOf(check), MB_OK | MB_ICONWARNING);
        FocusAndSelect(IDC_EXPORT_PASSPHRASE);
        return false;
    case PathCheck::EmptyPassphrase:
        if (Tell(MessageIdOf(check), MB_OKCANCEL | MB_ICONWARNING) != IDOK) return false;
        break;
    case PathCheck::Accepted:
        break;
    }
    if (::GetFileAttributesW(m_strPath) != INVALID_FILE_ATTRIBUTES) {
        const CString question = m_strPath + GetResourceString(22090);
        if (ShowUtilityMessage(m_hWnd, question, MB_YESNO | MB_ICONWARNING) != IDYES) return false;
    }
    return true;
}

} // namespace vantrel
