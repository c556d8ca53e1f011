// Saving in the registration dialog: validation, reading the copy back,
// authentication and the store calls, run by the OK and Apply workers.
//
// Threads: one save at a time. The UI thread validates, reads the copy's
// elements into a job (a snapshot of the page form that holds no element of
// the copy), stops the fill timer and disables the dialog, and only then
// starts the worker. The worker makes the store calls of the job (they wait
// for the relay, and the relay may ask the user to authenticate); it touches
// no window and no COM object of the page. The UI thread polls it, and once
// it has ended takes its result over, on its own thread. Cancel, OK, Apply
// and row changes are refused meanwhile, and a dialog that is destroyed
// while saving (its owner went) waits for the worker first.
#include "CRegistDlg.h"
#include "CRegistDlgSaveJob.h"
#include "DialogControls.h"

#include "CryptFlagScope.h"
#include "ModuleInstance.h"
#include "RegistCopyState.h"

#include <commctrl.h>
#include <process.h>

#include <algorithm>
#include <cwchar>
#include <exception>
#include <memory>
#include <utility>

namespace {

constexpr UINT_PTR kFillTimer = 1;
constexpr UINT_PTR kApplyTimer = 2;
constexpr UINT_PTR kOKTimer = 3;
constexpr UINT kFillPeriodMs = 100;
constexpr UINT kPollMs = 10;
constexpr int kNoticeTries = 10;
constexpr wchar_t kNoTitle[] = L"タイトル名が設定されていません。";
constexpr wchar_t kNoName[] = L"アイテム名が設定されていません。";
constexpr wchar_t kNameTaken[] = L"既に登録されているアイテム名です。";
constexpr wchar_t kSaveFailed[] = L"登録内容を保存できませんでした。";

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

// Drops every reference to the copy's elements: what the worker gets must
// not reach into the copy, whose objects belong to the dialog's thread.
void DetachElements(CDataWebItem& item) noexcept {
    for (auto& ctrl : item.m_ctrls) {
        ctrl->m_element.Reset();
        if (CDataWebSelCtrl* sel = ctrl->SelValue())
            for (auto& choice : sel->m_elements)
                choice->m_element.Reset();
    }
}

// Holds the store's database open for a scope, however the scope is left.
class DatabaseScope {
public:
    explicit DatabaseScope(CExpData& store) : m_store(store) { m_open = m_store.OpenDB(&m_db); }
    ~DatabaseScope() {
        try {
            m_store.CloseDB(&m_db);
        } catch (...) {
        }
    }
    DatabaseScope(const DatabaseScope&) = delete;
    DatabaseScope& operator=(const DatabaseScope&) = delete;
    bool IsOpen() const noexcept { return m_open != FALSE; }

private:
    CExpData& m_store;
    ZentripCell* m_db = nullptr;
    BOOL m_open = FALSE;
};

} // namespace

UINT_PTR CRegistDlg::SetPollTimer(UINT_PTR id, UINT periodMs) {
    return ::SetTimer(m_hWnd, id, periodMs, nullptr);
}

void CRegistDlg::Refuse(HWND box, const wchar_t* text) {
    ::MessageBoxW(m_hWnd, text, nullptr, MB_ICONERROR | MB_OK);
    FocusAtEnd(box);
}

int CRegistDlg::ValidateSave(SaveJob& job) {
    CDataWebItem* item = RowItem(m_nCurIndex);
    if (m_nCurIndex < 0 || !m_pWebForm || !item) return 0;
    job.title = WindowText(m_hTitle);
    if (job.title.empty()) {
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
    job.listed = item;
    return 1;
}

void CRegistDlg::BuildSaveJob(SaveJob& job) {
    if (m_nAuthent == 1) m_nState = STATE_NEW;
    CDataWebItem& item = *job.listed;
    auto work = std::make_unique<CDataWebItem>();
    work->Copy(item);
    const std::wstring name = WindowText(m_hItemName);
    bool changed = false;
    if (name != work->m_strName || m_nState == STATE_OVERWRITE) {
        work->m_strName = name;
        changed = true;
    }
    const int autoInput = Checked(m_hAutoInput);
    if (autoInput != work->m_nAutoInput) {
        work->m_nAutoInput = autoInput;
        job.autoOn = autoInput == 1;
        changed = true;
    }
    const int autoSend = Checked(m_hAutoSend);
    if (autoSend != work->m_nAutoSend) {
        work->m_nAutoSend = autoSend;
        changed = true;
    }
    // Read with the stored item's NAME: the rule for a first option shown
    // by a new single selection is about what the copy was made from.
    for (auto& ctrl : work->m_ctrls)
        if (ReadCopyInto(*ctrl, item.m_strName.empty())) changed = true;
    if (work->m_strKey.empty()) changed = true;
    job.hidePwd = Checked(m_hHidePwd);
    if (job.hidePwd != m_store.m_option.m_nHidePwd) changed = true;
    job.nothing = !m_pReplaceForm && !changed && job.title == m_pWebForm->m_strTitle;
    job.replace = m_pReplaceForm;
    job.authent = m_nAuthent;

    // The page form as it is to be stored, the listed item replaced by the
    // work copy; the listed form stays as it is until the save succeeded.
    job.form = std::make_unique<CDataWebForm>();
    CDataWebForm& form = *job.form;
    form.m_strKey = m_pWebForm->m_strKey;
    form.m_strUrl = m_pWebForm->m_strUrl;
    form.m_strTitle = job.title;
    form.m_strUpdateDate = Now();
    form.m_nChangeFlg = Checked(m_hChangeFlg);
    for (const auto& listed : m_pWebForm->m_items) {
        CDataWebItem& copy = form.AddItem();
        copy.Copy(listed.get() == &item ? *work : *listed);
        copy.m_nState = listed->m_nState;
        DetachElements(copy);
        if (listed.get() == &item) job.item = &copy;
    }
}

LRESULT CRegistDlg::OnClickedOK(WORD, WORD, HWND, BOOL&) {
    if (Saving()) return 0;
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
    StartSave(true);
    return 0;
}

LRESULT CRegistDlg::OnBnClickedButtonApply(WORD, WORD, HWND, BOOL&) {
    if (Saving()) return 0;
    StartSave(false);
    return 0;
}

void CRegistDlg::StartSave(bool ok) {
    auto job = std::make_unique<SaveJob>();
    const int valid = ValidateSave(*job);
    if (valid == -1) return;
    if (valid == 0) {
        // Nothing selected: nothing to save, and OK ends as after a save.
        if (ok) EndSaved();
        return;
    }
    BuildSaveJob(*job);

    // The worker must find the dialog locked and the copy left alone.
    m_fillPending = ::KillTimer(m_hWnd, kFillTimer) != FALSE || m_fillPending;
    ::EnableWindow(m_hWnd, FALSE);
    ::InterlockedExchange(&m_nNotifyCount, 0);
    m_job = std::move(job);
    const uintptr_t started =
        ::_beginthreadex(nullptr, 0, ok ? &OKBtnThread : &ApplyThread, this, 0, nullptr);
    if (!started) {
        m_job.reset();
        ::EnableWindow(m_hWnd, TRUE);
        if (std::exchange(m_fillPending, false))
            ::SetTimer(m_hWnd, kFillTimer, kFillPeriodMs, nullptr);
        return;
    }
    (ok ? m_hOKThread : m_hApplyThread) = reinterpret_cast<HANDLE>(started);
    if (!SetPollTimer(ok ? kOKTimer : kApplyTimer, kPollMs)) {
        // Nothing would poll the worker: wait here rather than leave the
        // dialog locked for ever.
        JoinWorker();
        FinishSave(ok);
    }
}

unsigned __stdcall CRegistDlg::OKBtnThread(void* param) {
    auto* self = static_cast<CRegistDlg*>(param);
    self->RunSave(*self->m_job);
    return self->m_job->outcome == SaveJob::kSaved ? 1 : 0;
}

unsigned __stdcall CRegistDlg::ApplyThread(void* param) {
    auto* self = static_cast<CRegistDlg*>(param);
    self->RunSave(*self->m_job);
    return 0;
}

void CRegistDlg::RunSave(SaveJob& job) {
    job.outcome = SaveJob::kFailed;
    try {
        // Held open for the whole save, so its parts meet one running relay;
        // closed however the save ends.
        const DatabaseScope db(m_store);
        if (!db.IsOpen()) {
            job.outcome = SaveJob::kNoDatabase;
            return;
        }
        const CryptFlagScope crypt(m_store, 1);
        if (job.nothing) {
            job.outcome = SaveJob::kNothing;
            return;
        }
        // A refusal is the authentication's to explain to the user.
        if (job.authent != 1 && !m_store.IsAuthent(AUTH_CASE_REGIST)) {
            job.outcome = SaveJob::kRefused;
            return;
        }
        ::InterlockedIncrement(&m_nNotifyCount);
        for (int i = 0; i < kNoticeTries && !m_notify.IsShowWindow(); ++i)
            ::Sleep(kPollMs);

        // The new page is stored before the one it replaces goes, so that a
        // failure never leaves the user without either.
        CDataWebForm& form = *job.form;
        const bool newPage = form.m_strKey.empty();
        if (m_store.SetWebPageData(&form, job.item) != 0) {
            // A page stored only in part is taken back; a page stored before
            // keeps what it had.
            if (newPage && !form.m_strKey.empty()) (void)m_store.DeleteWebPageData(&form);
            return;
        }
        if (job.replace && !m_store.DeleteWebPageData(job.replace)) {
            // The old page is still stored: take the new one back rather than
            // keep two pages for one URL.
            if (newPage) (void)m_store.DeleteWebPageData(&form);
            return;
        }
        if (job.autoOn) m_store.ReleaseAutoSet(&form, job.item);
        m_store.m_option.m_nHidePwd = job.hidePwd;
        m_store.SetOptionData();
        job.outcome = SaveJob::kSaved;
    } catch (...) {
        job.outcome = SaveJob::kFailed;
    }
}

void CRegistDlg::JoinWorker() noexcept {
    HANDLE& thread = m_hOKThread ? m_hOKThread : m_hApplyThread;
    if (thread) {
        // The worker may still need this thread for a message sent to one of
        // its windows (the authentication's): answer those while waiting.
        for (;;) {
            const DWORD woken =
                ::MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE);
            if (woken != WAIT_OBJECT_0 + 1) break;
            MSG msg;
            (void)::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
        ::CloseHandle(thread);
        thread = nullptr;
    }
    if (m_notify.IsShowWindow()) m_notify.Terminate();
}

void CRegistDlg::TakeSavedForm(SaveJob& job) {
    m_nSaveFlg = 1;
    m_nAuthent = 1;
    if (m_pWebForm && job.form) {
        // The keys the store gave, and the AUTOINPUT it cleared elsewhere.
        m_pWebForm->m_strKey = job.form->m_strKey;
        m_pWebForm->m_strTitle = job.form->m_strTitle;
        m_pWebForm->m_strUpdateDate = job.form->m_strUpdateDate;
        m_pWebForm->m_nChangeFlg = job.form->m_nChangeFlg;
        const size_t count = std::min(m_pWebForm->m_items.size(), job.form->m_items.size());
        for (size_t i = 0; i < count; ++i)
            m_pWebForm->m_items[i]->Copy(*job.form->m_items[i]);
    }
    if (job.replace) {
        delete m_pReplaceForm;
        m_pReplaceForm = nullptr;
    }
}

void CRegistDlg::EndSaved() {
    DeleteCopyFile();
    RemoveKeyForwarding();
    EndDialog(IDOK);
}

void CRegistDlg::FinishSave(bool ok) {
    std::unique_ptr<SaveJob> job = std::move(m_job);
    ::InterlockedExchange(&m_nNotifyCount, 0);
    ::EnableWindow(m_hWnd, TRUE);
    const SaveJob::Outcome outcome = job ? job->outcome : SaveJob::kFailed;
    if (outcome == SaveJob::kSaved) TakeSavedForm(*job);
    job.reset(); // its copies hold no element: nothing of the copy is released here
    if (outcome == SaveJob::kSaved || outcome == SaveJob::kNothing) {
        if (ok) {
            EndSaved();
            return;
        }
        if (outcome == SaveJob::kSaved) {
            // Capture again: the list shows the stored items, and the row
            // selected anew gets a fresh copy and fill.
            m_fillPending = false;
            (void)UpdatePageData();
            return;
        }
    } else if (outcome == SaveJob::kFailed || outcome == SaveJob::kNoDatabase) {
        // Nothing (or not all) was stored, and the page it was to replace is
        // kept: say so and let the user try again or cancel. (A refused
        // authentication has been explained by the authentication.)
        ::MessageBoxW(m_hWnd, kSaveFailed, nullptr, MB_ICONERROR | MB_OK);
    }
    if (std::exchange(m_fillPending, false)) ::SetTimer(m_hWnd, kFillTimer, kFillPeriodMs, nullptr);
}

LRESULT CRegistDlg::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL&) {
    const UINT_PTR id = wParam;
    if (id == kFillTimer) {
        FillCopy();
        return 0;
    }
    if (id != kApplyTimer && id != kOKTimer) return 0;
    ::KillTimer(m_hWnd, id);
    const HANDLE thread = id == kOKTimer ? m_hOKThread : m_hApplyThread;
    if (!thread) {
        if (!Saving()) {
            ::InterlockedExchange(&m_nNotifyCount, 0);
            ::EnableWindow(m_hWnd, TRUE);
        }
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
        if (SetPollTimer(id, kPollMs)) return 0;
    }
    JoinWorker();
    FinishSave(id == kOKTimer);
    return 0;
}

LRESULT CRegistDlg::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
    // Destroyed while saving (its owner went, or it was ended from
    // elsewhere): the worker still uses this object, so wait for it here.
    // What it stored stays stored; the callers learn of it from SaveFlag().
    for (const UINT_PTR id : {kFillTimer, kApplyTimer, kOKTimer})
        ::KillTimer(m_hWnd, id);
    if (Saving()) {
        JoinWorker();
        if (m_job && m_job->outcome == SaveJob::kSaved) TakeSavedForm(*m_job);
        m_job.reset();
    }
    RemoveKeyForwarding();
    handled = FALSE;
    return 0;
}
