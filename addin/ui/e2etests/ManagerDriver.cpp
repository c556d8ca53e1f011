#include "ManagerDriver.h"

namespace e2e {

namespace {

constexpr wchar_t kCaption[] = L"Webフォームデータ管理";
constexpr int kTreeId = 1002; // the manager's tree of pages and items
constexpr UINT kSendMs = 5000;

} // namespace

bool ManagerDriver::WaitForDialog(DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    do {
        for (HWND w = ::FindWindowW(nullptr, kCaption); w;
             w = ::FindWindowExW(nullptr, w, nullptr, kCaption)) {
            if (!::GetDlgItem(w, kTreeId) || !::IsWindowVisible(w)) continue;
            m_dialog = w;
            ::GetWindowThreadProcessId(w, &m_processId);
            m_process.reset(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ |
                                              PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION |
                                              PROCESS_TERMINATE | SYNCHRONIZE,
                                          FALSE, m_processId));
            return true;
        }
        ::Sleep(100);
    } while (::GetTickCount() - start < timeoutMs);
    return false;
}

HWND ManagerDriver::Tree() const {
    return ::GetDlgItem(m_dialog, kTreeId);
}

bool ManagerDriver::WaitForTree(DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    do {
        if (!Pages().empty()) return true;
        ::Sleep(100);
    } while (::GetTickCount() - start < timeoutMs);
    return false;
}

namespace {

HTREEITEM Next(HWND tree, HTREEITEM from, UINT how) {
    DWORD_PTR r = 0;
    ::SendMessageTimeoutW(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(from),
                          SMTO_ABORTIFHUNG, kSendMs, &r);
    return reinterpret_cast<HTREEITEM>(r);
}

std::vector<HTREEITEM> Children(HWND tree, HTREEITEM parent) {
    std::vector<HTREEITEM> nodes;
    if (!parent) return nodes;
    for (HTREEITEM n = Next(tree, parent, TVGN_CHILD); n; n = Next(tree, n, TVGN_NEXT))
        nodes.push_back(n);
    return nodes;
}

} // namespace

std::vector<HTREEITEM> ManagerDriver::Pages() const {
    const HWND tree = Tree();
    return Children(tree, Next(tree, nullptr, TVGN_ROOT));
}

std::vector<HTREEITEM> ManagerDriver::Items(HTREEITEM page) const {
    return Children(Tree(), page);
}

bool ManagerDriver::SelectNode(HTREEITEM node, std::wstring& why) {
    // The handle passes as a value: the tree selects it as the caret and
    // tells the manager (TVN_SELCHANGED), which shows the node's fields.
    const HWND tree = Tree();
    DWORD_PTR ok = 0;
    ::SendMessageTimeoutW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node),
                          SMTO_ABORTIFHUNG, kSendMs, &ok);
    for (int i = 0; i < 50; ++i, ::Sleep(100))
        if (Next(tree, nullptr, TVGN_CARET) == node) return true;
    why = L"the tree did not select the node";
    return false;
}

std::wstring ManagerDriver::Text(HWND window) const {
    // Sent, not read from the window manager: an edit box keeps its own text.
    wchar_t text[512] = {};
    DWORD_PTR got = 0;
    if (!window || !::SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text),
                                          SMTO_ABORTIFHUNG, kSendMs, &got))
        return {};
    return text;
}

void ManagerDriver::SetText(HWND window, const std::wstring& text) const {
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                          SMTO_ABORTIFHUNG, kSendMs, &ignored);
}

void ManagerDriver::Press(int id) const {
    ::PostMessageW(m_dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(m_dialog, id)));
}

std::wstring ManagerDriver::Answer(int button, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    do {
        for (HWND w = ::FindWindowW(L"#32770", kCaption); w;
             w = ::FindWindowExW(nullptr, w, L"#32770", kCaption)) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(w, &owner);
            if (w == m_dialog || owner != m_processId || !::IsWindowVisible(w)) continue;
            const HWND choice = ::GetDlgItem(w, button);
            if (!choice) continue;
            // The message box's text is its static control 0xFFFF.
            const std::wstring question = Text(::GetDlgItem(w, 0xFFFF));
            ::PostMessageW(w, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                           reinterpret_cast<LPARAM>(choice));
            return question;
        }
        ::Sleep(100);
    } while (::GetTickCount() - start < timeoutMs);
    return {};
}

bool ManagerDriver::WaitForExit(DWORD timeoutMs) const {
    return m_process && ::WaitForSingleObject(m_process.get(), timeoutMs) == WAIT_OBJECT_0;
}

void ManagerDriver::CloseIfOpen() {
    if (!m_process || WaitForExit(0)) return;
    Press(IDCANCEL);
    if (!WaitForExit(10000)) ::TerminateProcess(m_process.get(), 1);
}

} // namespace e2e
