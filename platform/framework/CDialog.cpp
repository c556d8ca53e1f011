#include "CDialog.h"

#include "CWinApp.h"
#include "FxDialogSinks.h"
#include "FxEventSink.h"
#include "FxThreadState.h"

namespace {

// The dialog being created on this thread; bound at the dialog's first
// message to the dialog procedure (WM_SETFONT comes before WM_INITDIALOG).
thread_local CDialog* t_creatingDialog = nullptr;

} // namespace

IMPLEMENT_DYNAMIC(CDialog, CWnd)

// clang-format off
BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()
// clang-format on

const FxEventSinkMap* CDialog::GetThisEventSinkMap() {
    static const FxEventSinkEntry s_entries[] = {{0, 0, nullptr}};
    static const FxEventSinkMap s_map = {nullptr, s_entries};
    return &s_map;
}

const FxEventSinkMap* CDialog::GetEventSinkMap() const {
    return GetThisEventSinkMap();
}

CDialog::CDialog() = default;

CDialog::CDialog(UINT templateId, CWnd* parent) noexcept
    : m_nIDHelp(templateId), m_lpszTemplateName(MAKEINTRESOURCEW(templateId)),
      m_pParentWnd(parent) {}

CDialog::CDialog(const wchar_t* templateName, CWnd* parent) noexcept
    : m_lpszTemplateName(templateName), m_pParentWnd(parent) {}

CDialog::~CDialog() {
    if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
    m_sinks.reset();
}

HWND CDialog::CreateFromTemplate(HWND owner) {
    if (m_hWnd || !m_lpszTemplateName) return nullptr;
    t_creatingDialog = this;
    const HWND dialog = ::CreateDialogParamW(AfxGetResourceHandle(), m_lpszTemplateName, owner,
                                             &CDialog::FxDialogProc, 0);
    t_creatingDialog = nullptr;
    return dialog;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    return Create(MAKEINTRESOURCEW(templateId), parent);
}

BOOL CDialog::Create(const wchar_t* templateName, CWnd* parent) {
    m_lpszTemplateName = templateName;
    if (IS_INTRESOURCE(templateName) && !m_nIDHelp)
        m_nIDHelp = static_cast<UINT>(reinterpret_cast<UINT_PTR>(templateName));
    m_pParentWnd = parent;
    m_bModal = false;
    return CreateFromTemplate(parent ? parent->GetSafeHwnd() : nullptr) != nullptr;
}

INT_PTR CDialog::DoModal() {
    if (m_hWnd) return -1;
    HWND owner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
    if (!owner) {
        CWnd* main = AfxGetMainWnd();
        if (main && main != this && main->GetSafeHwnd()) owner = main->GetSafeHwnd();
    }
    if (!owner) owner = ::GetActiveWindow();
    if (owner) owner = ::GetAncestor(owner, GA_ROOT);
    if (owner && owner == m_hWnd) owner = nullptr;

    const bool disabledOwner = owner && ::IsWindowEnabled(owner);
    if (disabledOwner) ::EnableWindow(owner, FALSE);

    m_bModal = true;
    m_bContinueModal = true;
    m_nModalResult = -1;
    const HWND dialog = CreateFromTemplate(owner);
    if (dialog) {
        // EndDialog may already have run inside OnInitDialog.
        if (m_bContinueModal) {
            if (!::IsWindowVisible(dialog)) ::ShowWindow(dialog, SW_SHOWNORMAL);
            RunModalLoop();
        }
        // The owner takes the activation back before the dialog goes, so it
        // does not fall to another program's window.
        if (disabledOwner) ::EnableWindow(owner, TRUE);
        if (owner && ::GetActiveWindow() == dialog) ::SetActiveWindow(owner);
        if (::IsWindow(dialog)) ::DestroyWindow(dialog);
    } else if (disabledOwner) {
        ::EnableWindow(owner, TRUE);
    }
    m_bModal = false;
    m_bContinueModal = false;
    return dialog ? m_nModalResult : -1;
}

void CDialog::RunModalLoop() {
    MSG msg{};
    while (m_bContinueModal && m_hWnd) {
        if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            CWnd::DeleteTempMap();
            ::WaitMessage();
            continue;
        }
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // WM_QUIT ends the modal loop and is left for the outer loop.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            m_nModalResult = -1;
            break;
        }
        if (got < 0) break;
        // The application's PreTranslateMessage sees the messages of its
        // own thread's modal loops too (it walks the windows by default).
        CWinApp* app = AfxGetApp();
        const BOOL taken = app && app->m_nThreadID == ::GetCurrentThreadId()
                               ? app->PreTranslateMessage(&msg)
                               : AfxPreTranslateWindows(&msg);
        if (taken) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void CDialog::EndDialog(int result) {
    if (!m_hWnd) return;
    if (m_bModal) {
        m_nModalResult = result;
        m_bContinueModal = false;
        // Wakes the loop, which may be waiting for a message.
        ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
        return;
    }
    ::ShowWindow(m_hWnd, SW_HIDE);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    if (!m_hWnd || !msg) return FALSE;
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) {
        // Mouse and other messages need no dialog translation.
        return FALSE;
    }
    return ::IsDialogMessageW(m_hWnd, msg);
}

void CDialog::GotoDlgCtrl(CWnd* control) noexcept {
    if (control && control->m_hWnd)
        ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control->m_hWnd), TRUE);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // The sinks go before the controls do (the dialog is told first).
    if (message == WM_DESTROY && m_sinks) m_sinks->DisconnectAll();
    return CWnd::WindowProc(message, wParam, lParam);
}

void CDialog::ConnectSinks() {
    const FxEventSinkMap* map = GetEventSinkMap();
    if (!map || !m_hWnd) return;
    if (!m_sinks) m_sinks = std::make_unique<FxDialogSinks>(*this);
    m_sinks->ConnectFromMap(map);
}

BOOL CDialog::InitDialogFromManager() {
    ConnectSinks();
    const BOOL focus = OnInitDialog();
    // Controls made by OnInitDialog itself are connected too.
    ConnectSinks();
    return focus;
}

INT_PTR CALLBACK CDialog::FxDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    CDialog* self = static_cast<CDialog*>(CWnd::FromHandlePermanent(dialog));
    if (!self && t_creatingDialog) {
        self = t_creatingDialog;
        t_creatingDialog = nullptr;
        // From here on the dialog's messages pass through its map first;
        // this procedure is left with the dialog manager's part.
        if (!self->SubclassWindow(dialog)) return FALSE;
    }
    if (!self || message != WM_INITDIALOG) return FALSE;
    try {
        return self->InitDialogFromManager();
    } catch (...) {
        // No exception may unwind into the dialog manager.
        return TRUE;
    }
}
