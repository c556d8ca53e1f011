// The management dialog's threads: the loader that reads the tree once at
// opening, and the apply and OK workers that save it, polled by timers 1
// and 2 every 10 ms.
//
// One worker at a time. Before a worker starts, the window's thread takes
// the dialog's fields and every bound preview value, and disables the
// dialog; the worker reads only those and the model, never the page, the
// tree or a window. What it has to tell the user waits until it has ended,
// when the window's thread shows it and refreshes the tree and the preview.
#include "CTvrIEToolDlg.h"
#include "CNotifyMsg.h"
#include "CUpdateMsg.h"
#include "TraceScope.h"
#include "resource.h"

#include <commctrl.h>

namespace {
constexpr UINT_PTR kApplyTimer = 1;
constexpr UINT_PTR kOkTimer = 2;
constexpr UINT kPollMs = 10;
} // namespace

DWORD WINAPI CTvrIEToolDlg::LoaderThread(void* parameter) {
    auto* dialog = static_cast<CTvrIEToolDlg*>(parameter);
    try {
        // Their results are not needed: a store that does not read is shown
        // as far as it was read.
        (void)dialog->GetWebFormData();
        (void)dialog->GetOptionData();
    } catch (...) {
    }
    ::PostMessageW(dialog->m_hWnd, kLoadedMessage, 0, 0);
    return 0;
}

LRESULT CTvrIEToolDlg::OnLoaded(WPARAM, LPARAM) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::OnLoaded");
    if (m_bLoaded) TORVA_RETURN_INT(0);
    m_hLoader.reset();
    m_bLoaded = true;
    m_bHidePwd = m_option.m_nHidePwd != 0 ? TRUE : FALSE;
    m_bSelecting = true;
    SetTreeViewData();
    m_bSelecting = false;
    SetWebItemData();
    if (m_pNotifyMsg) {
        if (m_pNotifyMsg->m_hWnd) m_pNotifyMsg->DestroyWindow();
        m_pNotifyMsg.reset();
    }
    if (HMENU system = ::GetSystemMenu(m_hWnd, FALSE))
        ::EnableMenuItem(system, SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
    for (const int id : {IDOK, IDCANCEL, IDC_BUTTON_APPLY})
        ::EnableWindow(::GetDlgItem(m_hWnd, id), TRUE);
    TORVA_RETURN_INT(0);
}

DWORD WINAPI CTvrIEToolDlg::SaveThread(void* parameter) {
    auto* dialog = static_cast<CTvrIEToolDlg*>(parameter);
    BOOL saved = FALSE;
    try {
        mablix::SnapshotScope snapshot(&dialog->m_snapshot);
        TVRDB_HDB db = nullptr;
        const BOOL opened = dialog->OpenDB(&db);
        dialog->m_nCryptUsable = 1;
        saved = dialog->SetWebFormData();
        if (opened) dialog->CloseDB(&db);
    } catch (...) {
        saved = FALSE;
    }
    return saved ? 1 : 0;
}

BOOL CTvrIEToolDlg::StartSaveWorker(UINT_PTR timer) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::StartSaveWorker");
    if (m_hWorker || !m_bLoaded) TORVA_RETURN_BOOL(FALSE);
    // What the worker may read: the fields and the preview as they are now.
    UpdateDialogFields(TRUE);
    m_snapshot.Clear();
    for (const auto& page : m_pages) {
        for (const auto& item : page->m_items) {
            for (const auto& ctrl : item->m_ctrls) {
                m_snapshot.Take(ctrl->m_element);
                if (const CDataWebSelCtrl* choices = ctrl->SelValue()) {
                    for (const auto& choice : choices->m_elements)
                        m_snapshot.Take(choice->m_element);
                }
            }
        }
    }
    m_boundPreviewForSave = m_boundPreview;
    {
        std::lock_guard<std::mutex> lock(m_messagesLock);
        m_workerMessages.clear();
    }
    ::InterlockedExchange(&m_nSaving, 0);
    ::EnableWindow(m_hWnd, FALSE);
    m_hWorker.reset(
        ::CreateThread(nullptr, 0, &CTvrIEToolDlg::SaveThread, this, CREATE_SUSPENDED, nullptr));
    if (!m_hWorker) {
        m_snapshot.Clear();
        m_boundPreviewForSave.Clear();
        ::EnableWindow(m_hWnd, TRUE);
        TORVA_RETURN_BOOL(FALSE);
    }
    m_nWorkerTimer = timer;
    ::ResumeThread(m_hWorker.get());
    ::SetTimer(m_hWnd, timer, kPollMs, nullptr);
    TORVA_RETURN_BOOL(TRUE);
}

void CTvrIEToolDlg::OnTimer(UINT_PTR id) {
    if (id != kApplyTimer && id != kOkTimer) {
        Default();
        return;
    }
    ::KillTimer(m_hWnd, id);
    if (!m_hWorker || id != m_nWorkerTimer) return;
    DWORD code = 0;
    if (!::GetExitCodeThread(m_hWorker.get(), &code)) code = 0;
    if (code == STILL_ACTIVE) {
        // A save that lasts longer than one poll shows the saving notice.
        if (m_nSaving > 0 && !m_pUpdateMsg) {
            ::InterlockedExchange(&m_nSaving, 0);
            m_pUpdateMsg = std::make_unique<CUpdateMsg>(this);
            if (m_pUpdateMsg->Create(CUpdateMsg::IDD, this)) {
                m_pUpdateMsg->ShowWindow(SW_SHOW);
            }
        }
        ::SetTimer(m_hWnd, id, kPollMs, nullptr);
        return;
    }
    EndSaveWorker(id, code);
}

void CTvrIEToolDlg::EndSaveWorker(UINT_PTR timer, DWORD exitCode) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::EndSaveWorker");
    m_hWorker.reset();
    m_nWorkerTimer = 0;
    m_snapshot.Clear();
    m_boundPreviewForSave.Clear();
    if (m_pUpdateMsg) {
        if (m_pUpdateMsg->m_hWnd) m_pUpdateMsg->DestroyWindow();
        m_pUpdateMsg.reset();
    }
    std::vector<std::pair<std::wstring, UINT>> messages;
    {
        std::lock_guard<std::mutex> lock(m_messagesLock);
        messages.swap(m_workerMessages);
    }
    if (timer == kOkTimer && exitCode == 1) {
        CloseDlg();
        EndDialog(IDOK);
        return;
    }
    ::EnableWindow(m_hWnd, TRUE);
    ::SetForegroundWindow(m_hWnd);
    for (const auto& message : messages)
        (void)ShowMessage(message.first.c_str(), message.second);
    // What was saved is shown again from the model; after a failure the
    // tree and the preview stay as the user left them.
    if (exitCode == 1) RefillTree();
    EnablePageBtn();
}

void CTvrIEToolDlg::RefillTree() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::RefillTree");
    const HWND tree = ::GetDlgItem(m_hWnd, IDC_TREE_WEBDATA);
    if (!tree) return;
    CDataWebItem* const shown = m_pShownItem;
    CDataWebForm* const shownPage = shown ? nullptr : PageOfNode(TreeView_GetSelection(tree));
    m_bSelecting = true;
    SetTreeViewData();
    m_bSelecting = false;
    HTREEITEM node = shown ? FindItemNode(shown) : nullptr;
    if (shownPage) {
        for (HTREEITEM page = TreeView_GetChild(tree, TreeView_GetRoot(tree)); page;
             page = TreeView_GetNextSibling(tree, page)) {
            if (PageOfNode(page) == shownPage) node = page;
        }
    }
    if (node) {
        SelectNode(node);
    } else {
        SetWebItemData();
    }
}
