#include "VantrelProcess.h"

#include "ProgramFolder.h"

namespace vantrel::test {

const wchar_t kMainCaption[] = L"エクスポートユーティリティ";

namespace {

constexpr SIZE_T kRemoteBytes = 4096;
constexpr int kTextChars = 512;
constexpr UINT kExportCommandId = 32772;

struct FoundWindow {
    DWORD process;
    const wchar_t* caption;
    HWND window;
    bool visibleOnly;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM param) {
    auto* found = reinterpret_cast<FoundWindow*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != found->process) return TRUE;
    if (found->visibleOnly && !::IsWindowVisible(window)) return TRUE;
    if (found->caption) {
        wchar_t text[256] = {};
        ::GetWindowTextW(window, text, 256);
        if (std::wstring(text) != found->caption) return TRUE;
    }
    found->window = window;
    return FALSE;
}

struct ClassSearch {
    const wchar_t* name;
    HWND found;
};

BOOL CALLBACK MatchClass(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<ClassSearch*>(param);
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    if (::lstrcmpiW(name, search->name) != 0) return TRUE;
    search->found = window;
    return FALSE;
}

HWND ChildOfClass(HWND parent, const wchar_t* className) {
    ClassSearch search{className, nullptr};
    ::EnumChildWindows(parent, MatchClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace

VantrelProcess::~VantrelProcess() {
    if (!m_process) return;
    if (::WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) ::TerminateProcess(m_process, 1);
    if (m_remote) ::VirtualFreeEx(m_process, m_remote, 0, MEM_RELEASE);
    ::CloseHandle(m_process);
}

bool VantrelProcess::Start(const std::wstring& given) {
    const std::wstring program = given.empty() ? torva::ProgramFolder() + L"Vantrel.exe" : given;
    std::wstring line = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &info))
        return false;
    ::CloseHandle(info.hThread);
    m_process = info.hProcess;
    m_id = info.dwProcessId;
    return true;
}

bool VantrelProcess::WaitForEnd(DWORD milliseconds) const {
    return ::WaitForSingleObject(m_process, milliseconds) == WAIT_OBJECT_0;
}

HWND VantrelProcess::WaitForWindow(const wchar_t* caption, DWORD milliseconds) const {
    for (DWORD waited = 0; waited <= milliseconds; waited += 50) {
        FoundWindow found{m_id, caption, nullptr, false};
        ::EnumWindows(&FindTopLevel, reinterpret_cast<LPARAM>(&found));
        if (found.window) return found.window;
        if (::WaitForSingleObject(m_process, 50) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
}

bool VantrelProcess::HasVisibleWindow() const {
    FoundWindow found{m_id, nullptr, nullptr, true};
    ::EnumWindows(&FindTopLevel, reinterpret_cast<LPARAM>(&found));
    return found.window != nullptr;
}

HWND VantrelProcess::WaitUntilReady(DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    m_main = WaitForWindow(kMainCaption, milliseconds);
    if (!m_main) return nullptr;
    while (::GetTickCount() - start < milliseconds) {
        m_tree = ChildOfClass(m_main, WC_TREEVIEWW);
        if (m_tree && ::IsWindowEnabled(m_main) && ::SendMessageW(m_tree, TVM_GETCOUNT, 0, 0) > 0)
            break;
        ::Sleep(50);
    }
    if (!m_tree || !::IsWindowEnabled(m_main)) return nullptr;
    m_report = ChildOfClass(m_main, L"Edit");
    m_toolBar = ChildOfClass(m_main, TOOLBARCLASSNAMEW);
    m_remote = ::VirtualAllocEx(m_process, nullptr, kRemoteBytes, MEM_COMMIT | MEM_RESERVE,
                                PAGE_READWRITE);
    return m_remote ? m_main : nullptr;
}

std::wstring VantrelProcess::Text(HTREEITEM item) const {
    auto* base = static_cast<BYTE*>(m_remote);
    TVITEMW request{};
    request.mask = TVIF_TEXT | TVIF_HANDLE;
    request.hItem = item;
    request.pszText = reinterpret_cast<wchar_t*>(base + sizeof(TVITEMW));
    request.cchTextMax = kTextChars;
    SIZE_T moved = 0;
    if (!::WriteProcessMemory(m_process, base, &request, sizeof request, &moved)) return L"?";
    if (!::SendMessageW(m_tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(base))) return L"?";
    wchar_t text[kTextChars + 1] = {};
    if (!::ReadProcessMemory(m_process, base + sizeof(TVITEMW), text, kTextChars * sizeof(wchar_t),
                             &moved))
        return L"?";
    return text;
}

HTREEITEM VantrelProcess::Root() const {
    return reinterpret_cast<HTREEITEM>(::SendMessageW(m_tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
}

HTREEITEM VantrelProcess::Child(HTREEITEM item) const {
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(m_tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
}

HTREEITEM VantrelProcess::Next(HTREEITEM item) const {
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(m_tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
}

HTREEITEM VantrelProcess::Parent(HTREEITEM item) const {
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(m_tree, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(item)));
}

std::vector<std::wstring> VantrelProcess::ChildTexts(HTREEITEM item) const {
    std::vector<std::wstring> texts;
    for (HTREEITEM child = Child(item); child; child = Next(child))
        texts.push_back(Text(child));
    return texts;
}

HTREEITEM VantrelProcess::Find(HTREEITEM parent, const std::wstring& text) const {
    for (HTREEITEM child = Child(parent); child; child = Next(child))
        if (Text(child) == text) return child;
    return nullptr;
}

HTREEITEM VantrelProcess::FindEndingWith(HTREEITEM parent, const std::wstring& suffix) const {
    for (HTREEITEM child = Child(parent); child; child = Next(child)) {
        const std::wstring text = Text(child);
        if (text.size() >= suffix.size() &&
            text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0)
            return child;
    }
    return nullptr;
}

bool VantrelProcess::Checked(HTREEITEM item) const {
    const LRESULT state = ::SendMessageW(m_tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item),
                                         TVIS_STATEIMAGEMASK);
    return ((state & TVIS_STATEIMAGEMASK) >> 12) == 2;
}

bool VantrelProcess::AllChecked(HTREEITEM item) const {
    if (!Checked(item)) return false;
    for (HTREEITEM child = Child(item); child; child = Next(child))
        if (!AllChecked(child)) return false;
    return true;
}

RECT VantrelProcess::ItemRect(HTREEITEM item, bool textOnly) const {
    RECT rect{};
    SIZE_T moved = 0;
    ::WriteProcessMemory(m_process, m_remote, &item, sizeof item, &moved);
    if (::SendMessageW(m_tree, TVM_GETITEMRECT, textOnly ? TRUE : FALSE,
                       reinterpret_cast<LPARAM>(m_remote)))
        ::ReadProcessMemory(m_process, m_remote, &rect, sizeof rect, &moved);
    return rect;
}

void VantrelProcess::Settle() const {
    // A sent message is handled before the posted ones: the program is
    // given time for those, then asked for an answer.
    ::Sleep(250);
    ::SendMessageW(m_tree, WM_NULL, 0, 0);
}

void VantrelProcess::Click(HWND window, POINT point) const {
    const LPARAM where = MAKELPARAM(point.x, point.y);
    ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, where);
    ::PostMessageW(window, WM_LBUTTONUP, 0, where);
    Settle();
}

void VantrelProcess::ClickCheckBox(HTREEITEM item) const {
    ::SendMessageW(m_tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    // Scrolled sideways the box may be out of sight, as a user would see.
    ::SendMessageW(m_tree, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
    const RECT label = ItemRect(item, true);
    // The check box is the state image just left of the label.
    const int size = ::GetSystemMetrics(SM_CXSMICON);
    Click(m_tree, POINT{label.left - size / 2 - 1, (label.top + label.bottom) / 2});
}

void VantrelProcess::ClickLabel(HTREEITEM item) const {
    ::SendMessageW(m_tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    const RECT label = ItemRect(item, true);
    Click(m_tree, POINT{(label.left + label.right) / 2, (label.top + label.bottom) / 2});
}

void VantrelProcess::PressSpace() const {
    ::PostMessageW(m_tree, WM_KEYDOWN, VK_SPACE, 0x00390001);
    ::PostMessageW(m_tree, WM_CHAR, L' ', 0x00390001);
    ::PostMessageW(m_tree, WM_KEYUP, VK_SPACE, 0xC0390001);
    Settle();
}

std::wstring VantrelProcess::ReportText() const {
    const LRESULT length = ::SendMessageW(m_report, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got =
        ::SendMessageW(m_report, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(got));
    return text;
}

bool VantrelProcess::Close(DWORD milliseconds) {
    if (m_main) ::PostMessageW(m_main, WM_CLOSE, 0, 0);
    return WaitForEnd(milliseconds);
}

} // namespace vantrel::test

namespace vantrel::test {

namespace {

constexpr wchar_t kExportCaption[] = L"エクスポート";
constexpr wchar_t kExportErrorCaption[] = L"エクスポートエラー";
constexpr int kPathBox = 1007;
constexpr int kPassphraseBox = 1009;
constexpr int kConfirmBox = 1010;
constexpr int kExportButton = 1014;
constexpr int kProgressBar = 1011;
constexpr int kStatusText = 1013;

bool IsDialog(HWND window) {
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    return std::wstring(name) == L"#32770";
}

std::wstring WindowText(HWND window) {
    wchar_t text[1024] = {};
    ::GetWindowTextW(window, text, 1024);
    return text;
}

struct DialogSearch {
    DWORD process;
    const std::wstring* caption; // null: any
    int control;                 // a child the dialog must have
    HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search->process || !::IsWindowVisible(window) || !IsDialog(window)) return TRUE;
    if (!::GetDlgItem(window, search->control)) return TRUE;
    if (search->caption && WindowText(window) != *search->caption) return TRUE;
    search->found = window;
    return FALSE;
}

void PressButton(HWND dialog, int id) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

} // namespace

bool VantrelProcess::TickEverything(const std::wstring& skipPageUrl) const {
    const HTREEITEM root = Root();
    ClickCheckBox(root);
    if (!skipPageUrl.empty()) {
        // The web-form pages are the first group.
        if (HTREEITEM page = FindEndingWith(Child(root), L"(" + skipPageUrl + L")"))
            ClickCheckBox(page);
    }
    // An emulated program may take a while to reach its idle moment.
    for (int i = 0; i < 400; ++i) {
        if (::SendMessageW(m_toolBar, TB_ISBUTTONENABLED, kExportCommandId, 0)) return true;
        ::Sleep(50);
    }
    return false;
}

void VantrelProcess::ClickToolButton(UINT command) const {
    const LRESULT index = ::SendMessageW(m_toolBar, TB_COMMANDTOINDEX, command, 0);
    RECT rect{};
    SIZE_T moved = 0;
    if (::SendMessageW(m_toolBar, TB_GETITEMRECT, static_cast<WPARAM>(index),
                       reinterpret_cast<LPARAM>(m_remote)))
        ::ReadProcessMemory(m_process, m_remote, &rect, sizeof rect, &moved);
    const LPARAM where = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    ::PostMessageW(m_toolBar, WM_MOUSEMOVE, 0, where);
    ::PostMessageW(m_toolBar, WM_LBUTTONDOWN, MK_LBUTTON, where);
    ::PostMessageW(m_toolBar, WM_LBUTTONUP, 0, where);
}

HWND VantrelProcess::FindBox(const std::wstring& caption) const {
    DialogSearch search{m_id, &caption, 0xFFFF, nullptr};
    ::EnumWindows(&FindDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND VantrelProcess::FindProgressDialog() const {
    DialogSearch search{m_id, nullptr, kProgressBar, nullptr};
    ::EnumWindows(&FindDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND VantrelProcess::OpenExportDialog(const std::wstring& path,
                                      const std::wstring& passphrase) const {
    ClickToolButton(kExportCommandId);
    const std::wstring caption = kExportCaption;
    HWND dialog = nullptr;
    for (int i = 0; i < 400 && !dialog; ++i) {
        DialogSearch search{m_id, &caption, kPathBox, nullptr};
        ::EnumWindows(&FindDialog, reinterpret_cast<LPARAM>(&search));
        dialog = search.found;
        if (!dialog) ::Sleep(50);
    }
    if (!dialog) return nullptr;
    ::SetDlgItemTextW(dialog, kPathBox, path.c_str());
    ::SetDlgItemTextW(dialog, kPassphraseBox, passphrase.c_str());
    ::SetDlgItemTextW(dialog, kConfirmBox, passphrase.c_str());
    return dialog;
}

ExportSeen VantrelProcess::Export(const std::wstring& path, const std::wstring& passphrase,
                                  const std::function<void(HWND)>& whileRunning, DWORD timeoutMs,
                                  bool closeWithOk) const {
    ExportSeen seen;
    const HWND dialog = OpenExportDialog(path, passphrase);
    if (!dialog) return seen;
    seen.dialogFound = true;
    const ULONGLONG start = ::GetTickCount64();
    PressButton(dialog, kExportButton);
    // The questions of the dialog (empty passphrase, existing file).
    for (int i = 0; i < 200 && ::IsWindow(dialog); ++i) {
        if (HWND box = FindBox(kMainCaption)) {
            seen.questions.push_back(WindowText(::GetDlgItem(box, 0xFFFF)));
            PressButton(box, ::GetDlgItem(box, IDYES) ? IDYES : IDOK);
            for (int j = 0; j < 100 && ::IsWindow(box); ++j)
                ::Sleep(20);
        }
        ::Sleep(50);
    }
    seen.dialogClosed = !::IsWindow(dialog);
    if (!seen.dialogClosed) return seen;

    HWND progress = nullptr;
    for (int i = 0; i < 400 && !progress; ++i) {
        progress = FindProgressDialog();
        if (!progress) ::Sleep(50);
    }
    if (!progress) return seen;
    seen.progressFound = true;
    seen.ownedByMain = ::GetWindow(progress, GW_OWNER) == m_main;
    // OK comes on before the main window is enabled again: OK still off
    // after the main window was read means that it was read during the run.
    // A short export can end before the dialog is found.
    const HWND ok = ::GetDlgItem(progress, IDOK);
    const bool runningBefore = !::IsWindowEnabled(ok);
    const bool mainDisabled = !::IsWindowEnabled(m_main);
    seen.runningSeen = runningBefore && !::IsWindowEnabled(ok);
    seen.mainDisabledWhileRunning = seen.runningSeen && mainDisabled;
    if (whileRunning) whileRunning(progress);

    while (::GetTickCount64() - start < timeoutMs) {
        if (::IsWindowEnabled(ok)) {
            seen.ended = true;
            break;
        }
        if (HWND box = FindBox(kExportErrorCaption)) {
            seen.error = WindowText(::GetDlgItem(box, 0xFFFF));
            PressButton(box, IDOK);
        }
        ::Sleep(50);
    }
    if (!seen.ended) return seen;
    seen.seconds = static_cast<double>(::GetTickCount64() - start) / 1000.0;
    // The main window is enabled when the dialog has heard of the end.
    ::SendMessageW(progress, WM_NULL, 0, 0);
    seen.title = WindowText(progress);
    seen.status = WindowText(::GetDlgItem(progress, kStatusText));
    seen.sections =
        static_cast<int>(::SendDlgItemMessageW(progress, kProgressBar, PBM_GETPOS, 0, 0));
    seen.mainEnabledAfter = ::IsWindowEnabled(m_main) != FALSE;
    if (!closeWithOk) return seen;
    PressButton(progress, IDOK);
    for (int i = 0; i < 200 && ::IsWindow(progress); ++i)
        ::Sleep(25);
    seen.released = !::IsWindow(progress);
    return seen;
}

} // namespace vantrel::test
