// Saving in the registration dialog: validation, reading the copy back,
// authentication and the store calls, run by the OK and Apply workers.
//
// Threads: the workers own the store calls (they wait for the relay, and the
// relay may ask the user to authenticate); everything that touches a window
// or the copy's elements is handed to the dialog's thread with RunOnUi
// (SendMessage: the UI thread is in the modal loop while the dialog is
// disabled). The page form is only changed while the dialog is disabled.
#include "CRegistDlg.h"
#include "DialogControls.h"

#include "ModuleInstance.h"
#include "RegistCopyState.h"

#include <commctrl.h>
#include <process.h>

#include <cwchar>
#include <exception>
#include <memory>
#include <utility>

namespace {

constexpr UINT_PTR kFillTimer = 1;
constexpr UINT_PTR kApplyTimer = 2;
constexpr UINT_PTR kOKTimer = 3;
constexpr UINT kPollMs = 10;
constexpr int kNoticeTries = 10;
constexpr size_t kTitleChars = 50;
constexpr wchar_t kNoTitle[] = L"タイトル名が設定されていません。";
constexpr wchar_t kNoName[] = L"アイテム名が設定されていません。";
constexpr wchar_t kNameTaken[] = L"既に登録されているアイテム名です。";


std::wstring Now() {
    SYSTEMTIME t{};
    ::GetLocalTime(&t);
    wchar_t text[32];
    ::swprintf(text, 32, L"%04u/%02u/%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour,
               t.wMinute, t.wSecond);
    return text;
}

// Puts the focus into a box with the caret at its end.
void FocusAtEnd(HWND box) {
    ::SetFocus(box);
    const LRESULT length = ::GetWindowTextLengthW(box);
    ::SendMessageW(box, EM_SETSEL, length, length);
    ::SendMessageW(box, EM_SCROLLCARET, 0, 0);
}

} // namespace

// What the UI thread hands the saving worker: the validated texts, the boxes
// and the work copy of the item with the values read from the copy.
struct CRegistDlg::SaveDraft {
    std::wstring title;
    CDataWebItem* item = nullptr;
    std::unique_ptr<CDataWebItem> work;
    bool changed = false;
    bool autoOn = false;
    int hidePwd = 0;
    int changeFlg = 0;
};

void CRegistDlg::RunOnUi(const std::function<void()>& step) {
    if (!m_hWnd) return;
    if (::GetWindowThreadProcessId(m_hWnd, nullptr) == ::GetCurrentThreadId()) {
        step();
        return;
    }
    ::SendMessageW(m_hWnd, WM_REGIST_RUN, 0, reinterpret_cast<LPARAM>(&step));
}

LRESULT CRegistDlg::OnRun(UINT, WPARAM, LPARAM lParam, BOOL&) {
    try {
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
    } catch (...) {
        // The worker sees what was done so far; nothing may leave the dialog procedure.
    }
    return 0;
}

void CRegistDlg::Refuse(HWND box, const wchar_t* text) {
    ::MessageBoxW(m_hWnd, text, nullptr, MB_ICONERROR | MB_OK);
    // The message box enabled the dialog again on its way out, but the
    // worker still runs: the poll enables it and focuses the box.
    ::EnableWindow(m_hWnd, FALSE);
    m_hFocusAfterSave = box;
}

int CRegistDlg::ValidateSave(SaveDraft& draft) {
    CDataWebItem* item = RowItem(m_nCurIndex);
    if (m_nCurIndex < 0 || !m_pWebForm || !item) return 0;
    draft.title = WindowText(m_hTitle);
    if (draft.title.empty()) {
        Refuse(m_hTitle, kNoTitle);
        return -1;
    }
    const std::wstring name = WindowText(m_hItemName);
    if (name.empty()) {
        Refuse(m_hItemName, kNoName);
        return -1;
    }
    for (const auto& other : m_pWebForm->m_items) {
        if (other.get() != item && other->m_strName == name) {
            Refuse(m_hItemName, kNameTaken);
            return -1;
        }
    }
    draft.item = item;
    return 1;
}

void CRegistDlg::BuildWorkCopy(SaveDraft& draft) {
    CDataWebItem& item = *draft.item;
    draft.work = std::make_unique<CDataWebItem>();
    draft.work->Copy(item);
    CDataWebItem& work = *draft.work;
    const std::wstring name = WindowText(m_hItemName);
    bool changed = false;
    if (name != work.m_strName || m_nState == STATE_OVERWRITE) {
        work.m_strName = name;
        changed = true;
    }
    const int autoInput = Checked(m_hAutoInput);
    if (autoInput != work.m_nAutoInput) {
        work.m_nAutoInput = autoInput;
        draft.autoOn = autoInput == 1;
        changed = true;
    }
    const int autoSend = Checked(m_hAutoSend);
    if (autoSend != work.m_nAutoSend) {
        work.m_nAutoSend = autoSend;
        changed = true;
    }
    // Read with the stored item's NAME: the rule for a first option shown
    // by a new single selection is about what the copy was made from.
    for (auto& ctrl : work.m_ctrls)
        if (ReadCopyInto(*ctrl, item.m_strName.empty())) changed = true;
    if (work.m_strKey.empty()) changed = true;
    draft.hidePwd = Checked(m_hHidePwd);
    if (draft.hidePwd != m_store.m_option.m_nHidePwd) changed = true;
    draft.changeFlg = Checked(m_hChangeFlg);
    draft.changed = changed;
}

int CRegistDlg::SavePageData() {
    m_nAuthRefused = 0;
    SaveDraft draft;
    int valid = 0;
    RunOnUi([&] { valid = ValidateSave(draft); });
    if (valid != 1) return valid;

    ZentripCell* db = nullptr;
    (void)m_store.OpenDB(&db);
    const std::wstring date = Now();
    if (m_nAuthent == 1) m_nState = STATE_NEW;
    RunOnUi([&] { BuildWorkCopy(draft); });
    if (!draft.work) {
        m_store.CloseDB(&db);
        return 0;
    }
    if (!m_pReplaceForm && !draft.changed && draft.title == m_pWebForm->m_strTitle) {
        m_store.CloseDB(&db);
        return 0;
    }
    if (m_nAuthent != 1 && !m_store.IsAuthent(AUTH_CASE_REGIST)) {
        m_nAuthRefused = 1;
        m_store.CloseDB(&db);
        return 0;
    }
    ::InterlockedIncrement(&m_nNotifyCount);
    for (int i = 0; i < kNoticeTries && !m_notify.IsShowWindow(); ++i) ::Sleep(kPollMs);

    if (m_pReplaceForm) {
        m_store.DeleteWebPageData(m_pReplaceForm);
        delete m_pReplaceForm;
        m_pReplaceForm = nullptr;
    }
    m_pWebForm->m_strTitle = draft.title;
    m_pWebForm->m_strUpdateDate = date;
    m_pWebForm->m_nChangeFlg = draft.changeFlg;
    draft.item->Copy(*draft.work);
    const int failed = m_store.SetWebPageData(m_pWebForm, draft.item);
    if (draft.autoOn) m_store.ReleaseAutoSet(m_pWebForm, draft.item);
    m_store.m_option.m_nHidePwd = draft.hidePwd;
    m_store.SetOptionData();
    m_store.CloseDB(&db);
    if (failed != 0) return 0; // not stored whole: the user may try again
    m_nSaveFlg = 1;
    m_nAuthent = 1;
    return 1;
}

LRESULT CRegistDlg::OnClickedOK(WORD, WORD, HWND, BOOL&) {
    if (m_hOKThread) return 0;
    // Enter typed in the copy reaches the dialog as its default button: it
    // belongs to the copy. Only this thread can see where the focus is.
    const HWND focus = ::GetFocus();
    wchar_t name[64] = {};
    if (focus && ::GetClassNameW(focus, name, 64) > 0 &&
        ::lstrcmpW(name, L"Internet Explorer_Server") == 0) {
        for (UINT message : {UINT(WM_KEYDOWN), UINT(WM_KEYUP)}) {
            MSG key{focus, message, VK_RETURN, 0, 0, {0, 0}};
            (void)TranslateInCopy(m_pBrowser, key);
        }
        return 0;
    }
    StartWorker(true);
    return 0;
}

LRESULT CRegistDlg::OnBnClickedButtonApply(WORD, WORD, HWND, BOOL&) {
    if (m_hApplyThread) return 0;
    StartWorker(false);
    return 0;
}

void CRegistDlg::StartWorker(bool ok) {
    ::InterlockedExchange(&m_nNotifyCount, 0);
    const uintptr_t started = ::_beginthreadex(nullptr, 0, ok ? &OKBtnThread : &ApplyThread, this, 0, nullptr);
    if (!started) return;
    (ok ? m_hOKThread : m_hApplyThread) = reinterpret_cast<HANDLE>(started);
    ::SetTimer(m_hWnd, ok ? kOKTimer : kApplyTimer, kPollMs, nullptr);
}

unsigned __stdcall CRegistDlg::OKBtnThread(void* param) {
    auto* self = static_cast<CRegistDlg*>(param);
    try {
        return self->RunOK();
    } catch (...) {
        ::EnableWindow(self->m_hWnd, TRUE);
        return 0;
    }
}

unsigned __stdcall CRegistDlg::ApplyThread(void* param) {
    auto* self = static_cast<CRegistDlg*>(param);
    try {
        return self->RunApply();
    } catch (...) {
        ::EnableWindow(self->m_hWnd, TRUE);
        return 0;
    }
}

unsigned CRegistDlg::RunOK() {
    ::EnableWindow(m_hWnd, FALSE);
    ZentripCell* db = nullptr;
    if (!m_store.OpenDB(&db)) return 0;
    m_store.m_nCryptUsable = 1;
    const int saved = SavePageData();
    if (saved == -1 || m_nAuthRefused == 1) {
        m_store.CloseDB(&db);
        return 0;
    }
    RunOnUi([&] {
        DeleteCopyFile();
        RemoveKeyForwarding();
    });
    m_store.CloseDB(&db);
    ::EnableWindow(m_hWnd, TRUE);
    return 1;
}

unsigned CRegistDlg::RunApply() {
    ZentripCell* db = nullptr;
    if (!m_store.OpenDB(&db)) return 0;
    ::EnableWindow(m_hWnd, FALSE);
    m_store.m_nCryptUsable = 1;
    if (SavePageData() == 1) RunOnUi([&] { (void)UpdatePageData(); });
    m_store.CloseDB(&db);
    ::EnableWindow(m_hWnd, TRUE);
    return 0;
}

LRESULT CRegistDlg::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL&) {
    const UINT_PTR id = wParam;
    if (id == kFillTimer) {
        FillCopy();
        return 0;
    }
    if (id != kApplyTimer && id != kOKTimer) return 0;
    ::KillTimer(m_hWnd, id);
    HANDLE& thread = id == kOKTimer ? m_hOKThread : m_hApplyThread;
    if (!thread) {
        ::InterlockedExchange(&m_nNotifyCount, 0);
        ::EnableWindow(m_hWnd, TRUE);
        return 0;
    }
    DWORD code = 0;
    if (::GetExitCodeThread(thread, &code) && code == STILL_ACTIVE) {
        const LONG count = ::InterlockedCompareExchange(&m_nNotifyCount, 0, 0);
        if (count > 0 && !m_notify.IsShowWindow()) {
            (void)m_notify.Create(m_hWnd, ComtlModuleInstance());
        } else if (count == 0 && m_notify.IsShowWindow()) {
            m_notify.Terminate();
        }
        ::SetTimer(m_hWnd, id, kPollMs, nullptr);
        return 0;
    }
    if (m_notify.IsShowWindow()) m_notify.Terminate();
    ::CloseHandle(thread);
    thread = nullptr;
    if (id == kOKTimer && code != 0) {
        EndDialog(IDOK);
        return 0;
    }
    ::InterlockedExchange(&m_nNotifyCount, 0);
    ::EnableWindow(m_hWnd, TRUE);
    if (const HWND box = std::exchange(m_hFocusAfterSave, nullptr)) FocusAtEnd(box);
    return 0;
}
