// Construction of the dialog's data and the hooks its window provides.
#include "CTvrIEToolDlg.h"
#include "CNotifyMsg.h"
#include "CUpdateMsg.h"
#include "MablixShell.h"
#include "TraceScope.h"

#include <commctrl.h>

#include <cwchar>

namespace {
const wchar_t kCaption[] = L"Webフォームデータ管理";
} // namespace

CTvrIEToolDlg::CTvrIEToolDlg(CWnd* parent) : CDialog(IDD, parent) {
    // The option fields before the first read: what an empty store means.
    m_option.m_nStopFunc = 0;
    m_option.m_nStopAutoInput = 1;
    m_option.m_nSetAuto = 1;
    m_option.m_nCheckSet = 1;
    m_option.m_nOnlyPwd = 0;
    m_option.m_nNoMultiText = 0;
    m_option.m_nHidePwd = 1;
    m_pages.reserve(10);
}

CTvrIEToolDlg::~CTvrIEToolDlg() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::~CTvrIEToolDlg");
    // A thread still running uses the model.
    m_hLoader.reset();
    m_hWorker.reset();
    // Bindings are released while every control still stands, and the
    // preview files this dialog wrote go with it.
    DeletePreviewFile();
    m_pShownItem = nullptr;
    if (m_hImages) ImageList_Destroy(m_hImages);
    m_pAutoInputItem = nullptr;
    m_pPlaceholderItem = nullptr;
    m_pages.clear();
}

void CTvrIEToolDlg::CloseDlg() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::CloseDlg");
    DeletePreviewFile();
    (void)mablix::NotifyCaller(m_nCallerWnd);
}

void CTvrIEToolDlg::UpdateDialogFields(BOOL fetch) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::UpdateDialogFields");
    // Without a window the fields are the values themselves; a worker uses
    // the fields taken before it started.
    if (m_dwUiThread && ::GetCurrentThreadId() != m_dwUiThread) return;
    if (m_hWnd && ::IsWindow(m_hWnd)) ::SendMessageW(m_hWnd, kFieldsMessage, fetch ? 1 : 0, 0);
}

int CTvrIEToolDlg::ShowMessage(const wchar_t* text, UINT type) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::ShowMessage");
    // A worker's message waits for the window's thread, which shows it once
    // the worker has ended; the save's messages ask nothing.
    if (m_dwUiThread && ::GetCurrentThreadId() != m_dwUiThread) {
        std::lock_guard<std::mutex> lock(m_messagesLock);
        m_workerMessages.emplace_back(text ? text : L"", type);
        TORVA_RETURN_INT(IDOK);
    }
    TORVA_RETURN_INT(::MessageBoxW(m_hWnd, text, kCaption, type));
}

std::wstring CTvrIEToolDlg::GetSaveTime() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::GetSaveTime");
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    wchar_t text[32] = {};
    std::swprintf(text, 32, L"%04u/%02u/%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond);
    return text;
}
