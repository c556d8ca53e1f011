// What the tests that run the management dialog as a user share: the
// dialog opened on the user's database and waited for until its tree is
// loaded, messages pumped until something has happened, and a user who
// answers the dialog's message boxes, one answer after another.
#pragma once

#include "CTvrIEToolDlg.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

// Pumps the calling thread's messages until done() or the time is up;
// done() once more at the end.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

// The management dialog with its own window side, except that opening a
// page records the browser's parameters instead of starting a browser, and
// the threads that open the database are noted.
class UserDlg : public CTvrIEToolDlg {
public:
    // Creates the dialog and waits for its loader.
    bool Open();
    void Press(int id);
    HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }

    BOOL OpenDB(TVRDB_HDB* db) override;
    // Threads other than the window's that opened the database since the
    // last call of ClearSavers.
    std::set<DWORD> Savers();
    void ClearSavers();

    std::vector<std::wstring> browserParameters;

protected:
    void OpenBrowser(const std::wstring& parameters) override;

private:
    std::mutex m_lock;
    std::set<DWORD> m_savers;
    bool m_noteSavers = false;
};

// A user who answers the message boxes the test thread shows: the answers
// (IDYES, IDNO, IDOK) in order, then IDNO (or OK for a box without it).
class BoxUser {
public:
    explicit BoxUser(std::vector<int> answers);
    ~BoxUser();
    BoxUser(const BoxUser&) = delete;
    BoxUser& operator=(const BoxUser&) = delete;

    // The texts of the boxes answered so far.
    std::vector<std::wstring> Texts();

private:
    void Run();

    DWORD m_thread;
    std::vector<int> m_answers;
    std::mutex m_lock;
    std::vector<std::wstring> m_texts;
    std::atomic<bool> m_stop{false};
    std::thread m_user;
};

class RawDb;
// Deletes the scratch pages that test programs no longer running left in
// the user's database (a run that was stopped half-way): the dialog shows
// every stored page.
void RemoveLeftoverPages(RawDb& raw);

// Tree helpers.
std::wstring NodeText(HWND tree, HTREEITEM node);
HTREEITEM FindChild(HWND tree, HTREEITEM parent, const std::wstring& text);
int ChildCount(HWND tree, HTREEITEM parent);
