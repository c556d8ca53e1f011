// The data manager started from the toolbar in the browser program: the
// toolbar's "データ管理(&M)..." starts the installed Mablix.exe with the
// toolbar's window; a user selects the entry's node in its tree, renames the
// entry in the item pane's name box and presses OK; the manager's close
// notice makes the toolbar list the entry under its new name, and the entry
// still fills the page in. An entry deleted in the manager (OK) leaves the
// toolbar's list and does not come back in the manager started again. The
// manager's PIN question and the fill's are answered by AutoAnswer, as in
// the other tests.
#include "AutoAnswer.h"
#include "E2eSupport.h"
#include "ManagerDriver.h"
#include "OptionKeyBackup.h"

#include "CExpData.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace {

constexpr DWORD kManagerCase = 5; // the manager's authentication at start
constexpr int kItemName = 208;    // the item pane's name box
constexpr int kPaneToggle = 1006;
constexpr int kDelete = 1004;
constexpr wchar_t kNewName[] = L"E2E 改名";

std::wstring Quoted(const std::wstring& s) {
    return L"\"" + s + L"\"";
}

std::wstring WorkTheManager(e2e::ManagerDriver& manager, const std::atomic<bool>& stop);

// The user's part in the manager, on a thread of its own while the browser
// runs; what went wrong, or empty. A manager left open is closed.
std::wstring RenameInManager(const std::atomic<bool>& stop) {
    e2e::ManagerDriver manager;
    const std::wstring failure = WorkTheManager(manager, stop);
    if (!failure.empty()) manager.CloseIfOpen();
    return failure;
}

std::wstring WorkTheManager(e2e::ManagerDriver& manager, const std::atomic<bool>& stop) {
    // A 32-bit program may take a minute or more to start here.
    bool shown = false;
    for (int waited = 0; !shown && !stop && waited < 400; ++waited)
        shown = manager.WaitForDialog(1000);
    if (!shown) return L"the manager's dialog did not show";
    if (!manager.WaitForTree(60000)) return L"the manager's tree stayed empty";
    // The item pane shows the name box; a narrow window opens it first.
    if (manager.ItemText(kPaneToggle).find(L">>") != std::wstring::npos) {
        manager.Press(kPaneToggle);
        ::Sleep(500);
    }
    std::wstring why;
    HTREEITEM page = nullptr, entry = nullptr;
    for (HTREEITEM p : manager.Pages()) {
        for (HTREEITEM item : manager.Items(p)) {
            if (!manager.SelectNode(item, why)) return why;
            ::Sleep(500);
            if (manager.ItemText(kItemName) != e2e::LoginValues::kEntry) continue;
            page = p;
            entry = item;
        }
        if (entry) break;
    }
    if (!entry) return L"no item of the tree shows the stored entry's name";

    // The entry's name in the item pane, then OK.
    if (!manager.SelectNode(entry, why)) return why;
    ::Sleep(500);
    if (manager.ItemText(kItemName) != e2e::LoginValues::kEntry)
        return L"the entry's node no longer shows its name";
    manager.SetText(::GetDlgItem(manager.Dialog(), kItemName), kNewName);
    manager.Press(IDOK);
    if (!manager.WaitForExit(60000)) return L"the manager did not close after OK";
    return {};
}

// Waits for a manager started from the toolbar and for its filled tree.
std::wstring WaitForManager(e2e::ManagerDriver& manager, const std::atomic<bool>& stop) {
    bool shown = false;
    for (int waited = 0; !shown && !stop && waited < 400; ++waited)
        shown = manager.WaitForDialog(1000);
    if (!shown) return L"the manager's dialog did not show";
    if (!manager.WaitForTree(60000)) return L"the manager's tree stayed empty";
    return {};
}

// The item node whose name box shows the stored entry's name, or null.
HTREEITEM EntryNode(e2e::ManagerDriver& manager) {
    // The item pane shows the name box; a narrow window opens it first.
    if (manager.ItemText(kPaneToggle).find(L">>") != std::wstring::npos) {
        manager.Press(kPaneToggle);
        ::Sleep(500);
    }
    std::wstring why;
    for (HTREEITEM page : manager.Pages()) {
        for (HTREEITEM item : manager.Items(page)) {
            if (!manager.SelectNode(item, why)) continue;
            ::Sleep(500);
            if (manager.ItemText(kItemName) == e2e::LoginValues::kEntry) return item;
        }
    }
    return nullptr;
}

// The user's part: in the first manager the entry is deleted and OK
// pressed; in the second one, started again from the toolbar, the entry
// is looked for and the manager closed with Cancel.
std::wstring DeleteInManager(const std::atomic<bool>& stop) {
    {
        e2e::ManagerDriver manager;
        std::wstring why = WaitForManager(manager, stop);
        HTREEITEM entry = why.empty() ? EntryNode(manager) : nullptr;
        if (why.empty() && !entry) why = L"the first manager does not list the entry";
        if (why.empty()) {
            manager.Press(kDelete);
            const std::wstring question = manager.Answer(IDYES, 20000);
            if (question != std::wstring(L"アイテム「") + e2e::LoginValues::kEntry +
                                L"」の情報を削除しますか？")
                why = L"the delete question did not come: " + question;
        }
        if (why.empty()) {
            ::Sleep(500);
            manager.Press(IDOK);
            if (!manager.WaitForExit(60000)) why = L"the manager did not close after OK";
        }
        if (!why.empty()) {
            manager.CloseIfOpen();
            return why;
        }
    }
    e2e::ManagerDriver again;
    std::wstring why = WaitForManager(again, stop);
    if (why.empty() && EntryNode(again)) why = L"the deleted entry is back in the manager's tree";
    again.Press(IDCANCEL);
    // Nothing was edited: a question here is answered, and then noticed.
    const std::wstring question = again.Answer(IDYES, 3000);
    if (why.empty() && !question.empty()) why = L"Cancel asked: " + question;
    if (!again.WaitForExit(60000)) {
        again.CloseIfOpen();
        if (why.empty()) why = L"the second manager did not close after Cancel";
    }
    return why;
}

class ManagerE2e : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(e2e::InstallFolder().empty()) << "no install folder in the prefix";
        m_options = std::make_unique<OptionKeyBackup>();
        ASSERT_TRUE(m_options->Saved());
        m_options->WriteAutoInputAllowed();
        ASSERT_TRUE(e2e::StoreLoginPage(false));
        m_registration = std::make_unique<e2e::AddinRegistration>();
        ASSERT_EQ(m_registration->Result(), 0u) << "regsvr32 Quorvel.dll";
    }
    void TearDown() override {
        e2e::DeleteLoginPage();
        m_registration.reset();
        m_options.reset();
    }

    std::unique_ptr<OptionKeyBackup> m_options;
    std::unique_ptr<e2e::AddinRegistration> m_registration;
};

} // namespace

TEST_F(ManagerE2e, AnEntryRenamedInTheManagerIsListedByTheToolbarAndStillFillsIn) {
    const peltrix::test::AutoAnswer manager(kManagerCase, peltrix::test::AutoAnswer::kAllow);
    const peltrix::test::AutoAnswer input(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    ASSERT_TRUE(manager.Applied() && input.Applied());
    using V = e2e::LoginValues;
    const std::wstring login = L"open " + Quoted(e2e::PagePath(L"e2e-login.html")) + L"\n" +
                               L"wait-page e2e-login.html 20000\n";
    // The first fill starts the browser's 32-bit relay, which may take a
    // minute or more here.
    const std::wstring filled = L"wait-value user " + std::wstring(V::kUser) + L" 180000\n" +
                                L"wait-value pw " + V::kPassword + L" 60000\n";
    std::atomic<bool> stop{false};
    std::wstring failure;
    std::thread user([&] { failure = RenameInManager(stop); });
    std::wstring log;
    const DWORD code = e2e::RunBrowser(
        login + filled + L"expect-combo 0 " + Quoted(V::kEntry) + L" 20000\n" +
            L"expect-toolbar 106 入力開始 20000\n"
            // データ管理(&M)...
            L"toolbar-menu 102 32777\n"
            // Closed after the user's OK: the list holds the new name.
            L"expect-combo 0 " +
            Quoted(kNewName) + L" 480000\n" + L"open " + Quoted(e2e::PagePath(L"e2e-noform.html")) +
            L"\n" + L"wait-page e2e-noform.html 20000\n" + login + filled + L"expect-combo 0 " +
            Quoted(kNewName) + L" 20000\n",
        log, 600000);
    stop = true;
    user.join();
    EXPECT_TRUE(failure.empty()) << std::string(failure.begin(), failure.end());
    EXPECT_EQ(code, 0u) << std::string(log.begin(), log.end());

    // The store holds the entry under its new name, still filled in by
    // itself.
    const std::unique_ptr<CDataWebForm> page = e2e::StoredPage(L"e2e-login.html");
    ASSERT_TRUE(page);
    ASSERT_EQ(page->m_items.size(), 1u);
    EXPECT_EQ(page->m_items[0]->m_strName, kNewName);
    EXPECT_EQ(page->m_items[0]->m_nAutoInput, 1);
}

TEST_F(ManagerE2e, AnEntryWithAChoiceListDeletedInTheManagerStaysDeletedAndLeavesTheToolbar) {
    const peltrix::test::AutoAnswer manager(kManagerCase, peltrix::test::AutoAnswer::kAllow);
    const peltrix::test::AutoAnswer input(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    ASSERT_TRUE(manager.Applied() && input.Applied());
    using V = e2e::LoginValues;
    std::atomic<bool> stop{false};
    std::wstring failure;
    std::thread user([&] { failure = DeleteInManager(stop); });
    std::wstring log;
    // The stored entry (with its select list "pref") is listed, the manager
    // started; once it has closed the toolbar's list is empty (its combo box
    // shows no entry); then the manager is started again.
    const DWORD code =
        e2e::RunBrowser(L"open " + Quoted(e2e::PagePath(L"e2e-login.html")) + L"\n" +
                            L"wait-page e2e-login.html 20000\n" + L"wait-value user " + V::kUser +
                            L" 180000\n" + L"expect-combo 0 " + Quoted(V::kEntry) + L" 20000\n" +
                            L"expect-toolbar 105 " + Quoted(V::kEntry) +
                            L" 20000\n"
                            // データ管理(&M)...
                            L"toolbar-menu 102 32777\n"
                            L"expect-toolbar 105 \"\" 240000\n"
                            // The first manager's process ends before the second one starts.
                            L"sleep 10000\n"
                            L"toolbar-menu 102 32777\n"
                            L"sleep 5000\n",
                        log, 600000);
    // The second manager may still be starting when the script ends.
    if (code != 0) stop = true;
    user.join();
    EXPECT_TRUE(failure.empty()) << std::string(failure.begin(), failure.end());
    EXPECT_EQ(code, 0u) << std::string(log.begin(), log.end());

    // The store keeps the form's unnamed placeholder and no named entry.
    const std::unique_ptr<CDataWebForm> page = e2e::StoredPage(L"e2e-login.html");
    ASSERT_TRUE(page);
    for (const auto& item : page->m_items)
        EXPECT_EQ(item->m_strName, L"");
}
