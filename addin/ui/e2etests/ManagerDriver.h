// A user in front of the data manager Mablix.exe, which runs as a process of
// its own (32-bit): finds its window, selects nodes of its tree, types into
// its boxes and presses its buttons. Button presses are posted as the
// buttons' own notices, so the manager's own loop handles them. Nothing is
// read from or written to the manager's memory (a 32-bit process under
// emulation has no address space another process could reach): the tree's
// structure comes from its handle messages, texts through WM_GETTEXT and
// WM_SETTEXT, which the system carries across.
#pragma once

#include "Win32Handles.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace e2e {

class ManagerDriver {
public:
    // The manager's main dialog ("Webフォームデータ管理" with its tree),
    // waited for up to timeoutMs; false when none showed.
    bool WaitForDialog(DWORD timeoutMs);
    // Until the tree lists at least one page (its loader is done).
    bool WaitForTree(DWORD timeoutMs);
    HWND Dialog() const noexcept { return m_dialog; }

    // The page nodes under the root, and the item nodes under a page.
    std::vector<HTREEITEM> Pages() const;
    std::vector<HTREEITEM> Items(HTREEITEM page) const;
    // Makes node the tree's selection, as a click on it does. False, with
    // why, when the tree does not take it.
    bool SelectNode(HTREEITEM node, std::wstring& why);
    // The text of a control of the dialog, or of any window of the manager.
    std::wstring Text(HWND window) const;
    std::wstring ItemText(int id) const { return Text(::GetDlgItem(m_dialog, id)); }
    void SetText(HWND window, const std::wstring& text) const;
    // A click on button id of the dialog (posted as the button's own notice).
    void Press(int id) const;
    // Answers the manager's question (a message box in front of its dialog)
    // with button id, waited for up to timeoutMs; the question's text, or
    // empty when none came.
    std::wstring Answer(int button, DWORD timeoutMs);
    // Until the manager's process has ended.
    bool WaitForExit(DWORD timeoutMs) const;
    // Ends a manager left open by a test that failed half-way: Cancel, and
    // the process ended when it does not close (a question in front).
    void CloseIfOpen();

private:
    HWND Tree() const;

    HWND m_dialog = nullptr;
    DWORD m_processId = 0;
    torva::UniqueHandle m_process;
};

} // namespace e2e
