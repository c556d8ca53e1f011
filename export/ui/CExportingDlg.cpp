#include "CExportingDlg.h"

#include <cstdio>
#include <cstring>

#include "ExportDialogIds.h"
#include "ExportMessages.h"
#include "ResourceStrings.h"

namespace vantrel {

UINT AnimationFrameCount(UINT id) {
    HMODULE module = AfxGetResourceHandle();
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), L"AVI");
    if (!found) return 0;
    const DWORD size = ::SizeofResource(module, found);
    const auto* bytes = static_cast<const BYTE*>(::LockResource(::LoadResource(module, found)));
    // RIFF "AVI " + LIST "hdrl" + "avih": dwTotalFrames is the header's fifth value.
    constexpr DWORD kTotalFramesAt = 12 + 12 + 8 + 16;
    if (!bytes || size < kTotalFramesAt + 4 || std::memcmp(bytes + 24, "avih", 4) != 0) return 0;
    DWORD frames = 0;
    std::memcpy(&frames, bytes + kTotalFramesAt, sizeof(frames));
    return frames;
}

// clang-format off
BEGIN_MESSAGE_MAP(CExportingDlg, CDialog)
    ON_MESSAGE(kExportStateMessage, &CExportingDlg::OnExportState)
    ON_WM_SYSCOMMAND()
END_MESSAGE_MAP()
// clang-format on

CExportingDlg::CExportingDlg(CWnd* owner) : CDialog(IDD_EXPORTING, owner), m_pOwner(owner) {}

BOOL CExportingDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (CMenu* menu = GetSystemMenu(FALSE))
        menu->EnableMenuItem(SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    if (CWnd* ok = GetDlgItem(IDOK)) ok->EnableWindow(FALSE);
    auto* animation = static_cast<CAnimateCtrl*>(GetDlgItem(IDC_EXPORTING_ANIMATION));
    if (animation && animation->Open(IDR_AVI_EXPORTING)) animation->Play(0, 0xFFFF, UINT(-1));
    m_owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (!m_owner && m_pOwner) m_owner = m_pOwner->GetSafeHwnd();
    if (m_owner) ::EnableWindow(m_owner, FALSE);
    return TRUE;
}

void CExportingDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_EXPORTING_STATUS, m_strStatus);
}

BOOL CExportingDlg::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_SYSCOMMAND) return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

void CExportingDlg::OnSysCommand(UINT id, LPARAM) {
    // Closing (Alt+F4, the greyed menu entry) would leave the main window
    // disabled; moving and the rest are the system's.
    if ((id & 0xFFF0) == SC_CLOSE) return;
    Default();
}

void CExportingDlg::StopOnLastFrame() {
    auto* animation = static_cast<CAnimateCtrl*>(GetDlgItem(IDC_EXPORTING_ANIMATION));
    if (!animation) return;
    animation->Stop();
    const UINT frames = AnimationFrameCount(IDR_AVI_EXPORTING);
    if (frames > 0) animation->Seek(frames - 1);
}

void CExportingDlg::EnableOwner() {
    if (m_owner && ::IsWindow(m_owner)) ::EnableWindow(m_owner, TRUE);
}

LRESULT CExportingDlg::OnExportState(WPARAM state, LPARAM reason) {
    CWnd* ok = GetDlgItem(IDOK);
    switch (state) {
    case kExportFailed:
        StopOnLastFrame();
        SetWindowText(GetResourceString(22091));
        m_strStatus = GetResourceString(22092);
        if (ok) ok->EnableWindow(TRUE);
        if (auto* bar = static_cast<CProgressCtrl*>(GetDlgItem(IDC_EXPORTING_PROGRESS)))
            bar->SetPos(0);
        EnableOwner();
        break;
    case kExportStarted:
        m_strStatus = GetResourceString(22093);
        break;
    case kExportDone:
        StopOnLastFrame();
        if (reason > 0) {
            // Secrets written empty: the file is not what the user stored.
            wchar_t status[256];
            std::swprintf(status, 256, GetResourceString(22105), static_cast<int>(reason));
            m_strStatus = status;
            SetWindowText(GetResourceString(22104));
        } else {
            m_strStatus = GetResourceString(22094);
            SetWindowText(GetResourceString(22095));
        }
        if (ok) ok->EnableWindow(TRUE);
        EnableOwner();
        break;
    default:
        break;
    }
    UpdateData(FALSE);
    return 0;
}

void CExportingDlg::OnOK() {
    // Enter reaches here too; until the worker has ended the button is off.
    CWnd* ok = GetDlgItem(IDOK);
    if (!ok || !ok->IsWindowEnabled()) return;
    if (m_owner && ::IsWindow(m_owner)) ::PostMessageW(m_owner, kProgressDialogClosed, 0, 0);
    DestroyWindow();
}

} // namespace vantrel
