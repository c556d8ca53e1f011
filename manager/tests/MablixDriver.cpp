#include "MablixDriver.h"
#include "ScreenBitmap.h"

#include <commctrl.h>

#include <cstdint>

namespace mablix_driver {

namespace {

const wchar_t kCaption[] = L"Webフォームデータ管理";
constexpr int kTreeId = 1002;
constexpr SIZE_T kRemoteSize = 4096;
constexpr SIZE_T kTextOffset = 256;
constexpr int kTextChars = 512;

// TVITEMW as a 32-bit process lays it out.
struct TvItem32 {
    UINT mask;
    std::uint32_t hItem;
    UINT state;
    UINT stateMask;
    std::uint32_t pszText;
    int cchTextMax;
    int iImage;
    int iSelectedImage;
    int cChildren;
    std::uint32_t lParam;
};

LPARAM Next(HWND tree, UINT how, LPARAM node) {
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutW(tree, TVM_GETNEXTITEM, how, node, SMTO_NORMAL, 5000, &answer))
        return 0;
    return static_cast<LPARAM>(answer);
}

} // namespace

Mablix::~Mablix() {
    if (m_remote) ::VirtualFreeEx(m_process.hProcess, m_remote, 0, MEM_RELEASE);
    if (m_process.hProcess) {
        if (::WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT)
            ::TerminateProcess(m_process.hProcess, 1);
        ::CloseHandle(m_process.hThread);
        ::CloseHandle(m_process.hProcess);
    }
}

bool Mablix::Start(const std::wstring& program) {
    std::wstring line = L"Mablix.exe";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &m_process))
        return false;
    BOOL wow64 = FALSE;
    m_wow64 = ::IsWow64Process(m_process.hProcess, &wow64) && wow64;
    m_remote = ::VirtualAllocEx(m_process.hProcess, nullptr, kRemoteSize, MEM_COMMIT | MEM_RESERVE,
                                PAGE_READWRITE);
    return m_remote != nullptr;
}

bool Mablix::WaitForTree(DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 200) {
        if (::WaitForSingleObject(m_process.hProcess, 200) != WAIT_TIMEOUT) return false;
        HWND dialog = ::FindWindowW(nullptr, kCaption);
        DWORD owner = 0;
        if (!dialog || !::GetWindowThreadProcessId(dialog, &owner) ||
            owner != m_process.dwProcessId)
            continue;
        HWND tree = ::GetDlgItem(dialog, kTreeId);
        const LPARAM root = tree ? Next(tree, TVGN_ROOT, 0) : 0;
        if (!root || !Next(tree, TVGN_CHILD, root)) continue;
        m_dialog = dialog;
        m_tree = tree;
        return true;
    }
    return false;
}

std::wstring Mablix::Text(LPARAM node) {
    auto* base = static_cast<BYTE*>(m_remote);
    const auto text = reinterpret_cast<std::uintptr_t>(base + kTextOffset);
    SIZE_T done = 0;
    if (m_wow64) {
        TvItem32 item{};
        item.mask = TVIF_TEXT | TVIF_HANDLE;
        item.hItem = static_cast<std::uint32_t>(node);
        item.pszText = static_cast<std::uint32_t>(text);
        item.cchTextMax = kTextChars;
        ::WriteProcessMemory(m_process.hProcess, base, &item, sizeof item, &done);
    } else {
        TVITEMW item{};
        item.mask = TVIF_TEXT | TVIF_HANDLE;
        item.hItem = reinterpret_cast<HTREEITEM>(node);
        item.pszText = reinterpret_cast<wchar_t*>(text);
        item.cchTextMax = kTextChars;
        ::WriteProcessMemory(m_process.hProcess, base, &item, sizeof item, &done);
    }
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutW(m_tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(base), SMTO_NORMAL,
                               5000, &answer) ||
        !answer)
        return {};
    wchar_t buffer[kTextChars + 1] = {};
    ::ReadProcessMemory(m_process.hProcess, base + kTextOffset, buffer,
                        kTextChars * sizeof(wchar_t), &done);
    return buffer;
}

LPARAM Mablix::Find(LPARAM parent, const std::vector<std::wstring>& labels, size_t depth) {
    if (depth == labels.size()) return parent;
    for (LPARAM child = Next(m_tree, TVGN_CHILD, parent); child;
         child = Next(m_tree, TVGN_NEXT, child)) {
        const std::wstring text = Text(child);
        m_seen.push_back(text);
        if (text.rfind(labels[depth], 0) != 0) continue;
        if (const LPARAM found = Find(child, labels, depth + 1)) return found;
    }
    return 0;
}

bool Mablix::Select(const std::vector<std::wstring>& labels) {
    if (!m_tree) return false;
    const LPARAM node = Find(Next(m_tree, TVGN_ROOT, 0), labels, 0);
    DWORD_PTR answer = 0;
    if (!node) return false;
    ::SendMessageTimeoutW(m_tree, TVM_ENSUREVISIBLE, 0, node, SMTO_NORMAL, 5000, &answer);
    return ::SendMessageTimeoutW(m_tree, TVM_SELECTITEM, TVGN_CARET, node, SMTO_NORMAL, 10000,
                                 &answer) &&
           answer;
}

bool Mablix::SelectAt(const std::vector<int>& path) {
    if (!m_tree) return false;
    LPARAM node = Next(m_tree, TVGN_ROOT, 0);
    for (const int index : path) {
        node = Next(m_tree, TVGN_CHILD, node);
        for (int i = 0; node && i < index; ++i)
            node = Next(m_tree, TVGN_NEXT, node);
        if (!node) return false;
    }
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutW(m_tree, TVM_ENSUREVISIBLE, 0, node, SMTO_NORMAL, 5000, &answer);
    return ::SendMessageTimeoutW(m_tree, TVM_SELECTITEM, TVGN_CARET, node, SMTO_NORMAL, 10000,
                                 &answer) &&
           answer;
}

bool Mablix::Close(DWORD timeoutMs) {
    if (!m_process.hProcess) return false;
    if (m_dialog) {
        DWORD_PTR answer = 0;
        ::SendMessageTimeoutW(::GetDlgItem(m_dialog, IDCANCEL), BM_CLICK, 0, 0, SMTO_NORMAL, 5000,
                              &answer);
    }
    if (::WaitForSingleObject(m_process.hProcess, timeoutMs) == WAIT_OBJECT_0) return true;
    ::TerminateProcess(m_process.hProcess, 1);
    return false;
}

bool SaveScreen(const std::wstring& path) {
    return torva::SaveScreenBitmap(path);
}

} // namespace mablix_driver
