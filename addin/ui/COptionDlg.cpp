#include "COptionDlg.h"

#include "CenterOnOwner.h"
#include "ModuleInstance.h"

#include <process.h>

#include <cstdint>

namespace {

// A check box, the option it carries and its place in 96-DPI pixels.
struct OptionBox {
    int id;
    std::int32_t CDataOption::*field;
    int x;
    int y;
    int width;
};

constexpr int kBoxHeight = 16;

constexpr OptionBox kBoxes[] = {
    {IDC_OPTION_STOPFUNC, &CDataOption::m_nStopFunc, 12, 12, 200},
    {IDC_OPTION_STOPAUTOINPUT, &CDataOption::m_nStopAutoInput, 29, 64, 161},
    {IDC_OPTION_SETAUTO, &CDataOption::m_nSetAuto, 29, 127, 116},
    {IDC_OPTION_CHECKSET, &CDataOption::m_nCheckSet, 29, 149, 213},
    {IDC_OPTION_ONLYPWD, &CDataOption::m_nOnlyPwd, 29, 170, 197},
    {IDC_OPTION_NOMULTITEXT, &CDataOption::m_nNoMultiText, 29, 236, 162},
    {IDC_OPTION_HIDEPWD, &CDataOption::m_nHidePwd, 41, 270, 149},
};

constexpr wchar_t kDiscardQuestion[] =
    L"キャンセルすると、編集した内容が破棄されます。\nキャンセルしますか?";
constexpr wchar_t kWarningCaption[] = L"警告";
constexpr wchar_t kSaveFailed[] = L"オプションを保存できませんでした。";

bool SameOptions(const CDataOption& a, const CDataOption& b) noexcept {
    for (const OptionBox& box : kBoxes) {
        if (a.*box.field != b.*box.field) return false;
    }
    return true;
}

} // namespace

COptionDlg::~COptionDlg() {
    // Normally reaped on WM_DESTROY; the store below must not go first.
    JoinWorker();
}

LRESULT COptionDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    (void)CenterOnOwner(m_hWnd);
    // Without a database the record keeps its own initial values.
    (void)m_store.GetOptionData();
    m_loaded = m_store.m_option;
    for (const OptionBox& box : kBoxes) {
        ::CheckDlgButton(m_hWnd, box.id, m_loaded.*box.field == 1 ? BST_CHECKED : BST_UNCHECKED);
        if (const HWND control = GetDlgItem(box.id)) {
            ::SetWindowPos(control, nullptr, m_scale.ScaleX(box.x), m_scale.ScaleY(box.y),
                           m_scale.ScaleX(box.width), m_scale.ScaleY(kBoxHeight),
                           SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    SetStopFunc(m_loaded.m_nStopFunc == 1 ? FALSE : TRUE);
    if (m_loaded.m_nStopFunc != 1) SetAutoInput(m_loaded.m_nSetAuto == 1 ? TRUE : FALSE);
    return TRUE;
}

void COptionDlg::SetStopFunc(BOOL enable) noexcept {
    for (const int id :
         {IDC_OPTION_STOPAUTOINPUT, IDC_OPTION_SETAUTO, IDC_OPTION_CHECKSET, IDC_OPTION_ONLYPWD}) {
        ::EnableWindow(GetDlgItem(id), enable);
    }
}

void COptionDlg::SetAutoInput(BOOL enable) noexcept {
    ::EnableWindow(GetDlgItem(IDC_OPTION_CHECKSET), enable);
    ::EnableWindow(GetDlgItem(IDC_OPTION_ONLYPWD), enable);
}

void COptionDlg::GetInputOptionData(CDataOption& option) const noexcept {
    for (const OptionBox& box : kBoxes) {
        option.*box.field = ::IsDlgButtonChecked(m_hWnd, box.id) == BST_CHECKED ? 1 : 0;
    }
}

LRESULT COptionDlg::OnClickedStop(WORD, WORD, HWND, BOOL&) {
    const bool stopped = ::IsDlgButtonChecked(m_hWnd, IDC_OPTION_STOPFUNC) == BST_CHECKED;
    SetStopFunc(stopped ? FALSE : TRUE);
    if (!stopped) {
        SetAutoInput(::IsDlgButtonChecked(m_hWnd, IDC_OPTION_SETAUTO) == BST_CHECKED ? TRUE
                                                                                     : FALSE);
    }
    return 0;
}

LRESULT COptionDlg::OnClickedAutoInput(WORD, WORD, HWND, BOOL&) {
    SetAutoInput(::IsDlgButtonChecked(m_hWnd, IDC_OPTION_SETAUTO) == BST_CHECKED ? TRUE : FALSE);
    return 0;
}

LRESULT COptionDlg::OnClickedOK(WORD, WORD, HWND, BOOL&) {
    if (m_worker) return 0; // a second OK while saving
    // Read and lock the boxes here, so the worker never has to reach into
    // this thread's windows (it would block on a UI thread that waits for it).
    m_pending = CDataOption();
    GetInputOptionData(m_pending);
    m_saved = false;
    ::EnableWindow(m_hWnd, FALSE);
    const auto handle = ::_beginthreadex(nullptr, 0, &COptionDlg::OptionOKThread, this, 0, nullptr);
    if (handle == 0) {
        ::EnableWindow(m_hWnd, TRUE);
        return 0;
    }
    m_worker.reset(reinterpret_cast<HANDLE>(handle));
    if (!::SetTimer(m_hWnd, kPollTimer, kPollMs, nullptr)) {
        // Nothing would poll: wait here rather than leave the dialog locked.
        ::WaitForSingleObject(m_worker.get(), INFINITE);
        FinishSave();
    }
    return 0;
}

unsigned __stdcall COptionDlg::OptionOKThread(void* dialog) {
    auto* self = static_cast<COptionDlg*>(dialog);
    ZentripCell* db = nullptr;
    bool saved = false;
    try {
        saved = self->SaveOptions(db);
    } catch (...) {
        saved = false;
    }
    try {
        self->m_store.CloseDB(&db);
    } catch (...) {
    }
    self->m_saved = saved;
    return 0;
}

bool COptionDlg::SaveOptions(ZentripCell*& db) {
    // Held open for the whole save, so its parts meet one running relay.
    if (!m_store.OpenDB(&db)) return false;
    m_store.m_option = m_pending;
    m_store.SetOptionData();
    // The write reports nothing; reading back is what tells a stored record
    // from a lost one.
    m_store.m_option = CDataOption();
    if (!m_store.GetOptionData()) return false;
    return SameOptions(m_store.m_option, m_pending);
}

LRESULT COptionDlg::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    if (wParam != kPollTimer) {
        bHandled = FALSE;
        return 0;
    }
    ::KillTimer(m_hWnd, kPollTimer);
    if (!m_worker) {
        ::EnableWindow(m_hWnd, TRUE);
        return 0;
    }
    DWORD code = 0;
    if (::GetExitCodeThread(m_worker.get(), &code) && code == STILL_ACTIVE) {
        if (!m_notice.IsShowWindow()) (void)m_notice.Create(m_hWnd, ComtlModuleInstance());
        if (::SetTimer(m_hWnd, kPollTimer, kPollMs, nullptr)) return 0;
        ::WaitForSingleObject(m_worker.get(), INFINITE);
    }
    FinishSave();
    return 0;
}

void COptionDlg::FinishSave() noexcept {
    JoinWorker();
    ::EnableWindow(m_hWnd, TRUE);
    if (m_saved) {
        EndDialog(IDOK);
        return;
    }
    // Nothing (or not all) was stored: say so and let the user try again
    // or cancel, rather than close as if the options had been saved.
    ::MessageBoxW(m_hWnd, kSaveFailed, nullptr, MB_ICONERROR);
}

void COptionDlg::JoinWorker() noexcept {
    if (m_worker) {
        ::WaitForSingleObject(m_worker.get(), INFINITE);
        m_worker.reset();
    }
    m_notice.Terminate();
}

LRESULT COptionDlg::OnClickedCancel(WORD, WORD, HWND, BOOL&) {
    // While saving the dialog is disabled; a cancel that still arrives (sent
    // by a program, or queued before the click on OK) must not end the
    // dialog under the worker. The save decides how the dialog ends.
    if (m_worker) return 0;
    CDataOption shown;
    GetInputOptionData(shown);
    if (!SameOptions(shown, m_loaded) && ::MessageBoxW(m_hWnd, kDiscardQuestion, kWarningCaption,
                                                       MB_ICONWARNING | MB_YESNO) == IDNO) {
        return 0;
    }
    EndDialog(IDCANCEL);
    return 0;
}

LRESULT COptionDlg::OnDestroy(UINT, WPARAM, LPARAM, BOOL&) {
    // Destroyed while saving (the owner went, or the dialog was ended from
    // elsewhere): the worker still uses this object, so wait for it here.
    ::KillTimer(m_hWnd, kPollTimer);
    JoinWorker();
    return 1;
}
