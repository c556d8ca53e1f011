#include "MgrDialogSupport.h"
#include "MgrTestSupport.h"
#include "resource.h"

#include <commctrl.h>

#include <cwchar>

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > timeoutMs) return done();
        MSG message{};
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

bool UserDlg::Open() {
    if (!Create(CTvrIEToolDlg::IDD, nullptr)) return false;
    const bool loaded = PumpUntil([this] { return IsLoaded(); });
    std::lock_guard<std::mutex> lock(m_lock);
    m_noteSavers = true;
    return loaded;
}

void UserDlg::Press(int id) {
    ::SendMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(m_hWnd, id)));
}

BOOL UserDlg::OpenDB(TVRDB_HDB* db) {
    if (::GetCurrentThreadId() != m_dwUiThread) {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_noteSavers) m_savers.insert(::GetCurrentThreadId());
    }
    return CTvrIEToolDlg::OpenDB(db);
}

std::set<DWORD> UserDlg::Savers() {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_savers;
}

void UserDlg::ClearSavers() {
    std::lock_guard<std::mutex> lock(m_lock);
    m_savers.clear();
}

void UserDlg::OpenBrowser(const std::wstring& parameters) {
    browserParameters.push_back(parameters);
}

namespace {

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::wstring WindowText(HWND window) {
    wchar_t text[1024] = {};
    ::GetWindowTextW(window, text, 1024);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

// A message box: a dialog with at least one of the answer buttons (and not
// the management dialog, which has OK too).
bool IsMessageBox(HWND window) {
    if (!::IsWindowVisible(window) || ClassOf(window) != L"#32770") return false;
    if (::GetDlgItem(window, IDC_TREE_WEBDATA)) return false;
    for (const int id : {IDOK, IDYES, IDNO}) {
        const HWND button = ::GetDlgItem(window, id);
        if (button && ClassOf(button) == L"Button") return true;
    }
    return false;
}

// The box's text: every non-empty static text, one after another.
std::wstring BoxText(HWND box) {
    std::vector<HWND> children;
    ::EnumChildWindows(box, &CollectWindow, reinterpret_cast<LPARAM>(&children));
    std::wstring text;
    for (HWND child : children) {
        if (ClassOf(child) == L"Static") text += WindowText(child);
    }
    return text;
}

} // namespace

BoxUser::BoxUser(std::vector<int> answers)
    : m_thread(::GetCurrentThreadId()), m_answers(std::move(answers)) {
    m_user = std::thread([this] { Run(); });
}

BoxUser::~BoxUser() {
    m_stop = true;
    if (m_user.joinable()) m_user.join();
}

std::vector<std::wstring> BoxUser::Texts() {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_texts;
}

void BoxUser::Run() {
    size_t next = 0;
    while (!m_stop) {
        std::vector<HWND> windows;
        ::EnumThreadWindows(m_thread, &CollectWindow, reinterpret_cast<LPARAM>(&windows));
        for (HWND window : windows) {
            if (!IsMessageBox(window) || WindowText(window) != L"Webフォームデータ管理") continue;
            {
                std::lock_guard<std::mutex> lock(m_lock);
                m_texts.push_back(BoxText(window));
            }
            int answer = next < m_answers.size() ? m_answers[next] : IDNO;
            ++next;
            if (!::GetDlgItem(window, answer)) answer = ::GetDlgItem(window, IDOK) ? IDOK : IDNO;
            ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(window, answer)));
            for (int waited = 0; ::IsWindow(window) && waited < 3000; waited += 10)
                ::Sleep(10);
        }
        ::Sleep(10);
    }
}

void RemoveLeftoverPages(RawDb& raw) {
    const std::wstring prefix = L"WEBFORMDATA\\MGRTEST";
    const std::wstring mine = ScratchPageKey(L"");
    for (const std::wstring& key : raw.SubKeys(L"WEBFORMDATA")) {
        if (key.compare(0, prefix.size(), prefix) != 0 || key.compare(0, mine.size(), mine) == 0)
            continue;
        const DWORD pid = std::wcstoul(key.c_str() + prefix.size(), nullptr, 10);
        HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, pid);
        if (process) {
            ::CloseHandle(process);
            continue;
        }
        raw.Delete(key);
    }
}

std::wstring NodeText(HWND tree, HTREEITEM node) {
    wchar_t text[256] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = node;
    item.pszText = text;
    item.cchTextMax = 256;
    TreeView_GetItem(tree, &item);
    return text;
}

HTREEITEM FindChild(HWND tree, HTREEITEM parent, const std::wstring& text) {
    for (HTREEITEM node = TreeView_GetChild(tree, parent); node;
         node = TreeView_GetNextSibling(tree, node)) {
        if (NodeText(tree, node) == text) return node;
    }
    return nullptr;
}

int ChildCount(HWND tree, HTREEITEM parent) {
    int count = 0;
    for (HTREEITEM node = TreeView_GetChild(tree, parent); node;
         node = TreeView_GetNextSibling(tree, node))
        ++count;
    return count;
}
