// A save under way: one worker at a time, the dialog locked and never ended
// under it, the copy left alone meanwhile, and a save the store refuses
// reported without losing what was stored. A save is held up by taking the
// store's request lock on the driver thread, which the worker then waits
// for, as it would for a busy relay.
#include "RegistDlgFixture.h"
#include "HeldRequestLock.h"

#include "RelayState.h"
#include "UiTestSupport.h"

#include <commctrl.h>

#include <algorithm>
#include <thread>

namespace {

constexpr size_t kLoginControls = 8;
constexpr wchar_t kSaveFailed[] = L"登録内容を保存できませんでした。";
// More than the database takes as one value (4 MiB).
constexpr size_t kTooLongChars = 2200000;

// A message box owned by dialog (not its notice window), or null.
HWND OwnedMessageBox(HWND dialog, DWORD timeoutMs) {
    for (DWORD waited = 0;; waited += 10) {
        for (HWND window :
             DialogDriver::ThreadWindows(::GetWindowThreadProcessId(dialog, nullptr))) {
            if (::GetWindow(window, GW_OWNER) == dialog && ::IsWindowVisible(window) &&
                !::GetDlgItem(window, IDC_NOTIFYMSG_TEXT))
                return window;
        }
        if (waited >= timeoutMs) return nullptr;
        ::Sleep(10);
    }
}

// Waits for the login copy and types a user name into it.
HWND TypeUser(HWND dialog, const std::wstring& user) {
    if (!WaitForCopy(dialog, kLoginControls)) return nullptr;
    const std::vector<HWND> edits = CopyControls(dialog, L"Edit");
    if (edits.size() != 3) return nullptr;
    TypeInto(edits[0], user);
    return edits[0];
}

// Pastes a value the database cannot hold into a box of the copy.
void PasteTooLong(HWND edit) {
    ::SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
    TypeInto(edit, std::wstring(kTooLongChars, L'x'));
}

// Saves an entry named name whose user box holds a value too long to store,
// with OK, and dismisses the message that follows; its text goes to text.
// The user box, or null when a step did not come.
HWND SaveTooLongAndDismissTheError(HWND dialog, const wchar_t* name, std::wstring& text) {
    const HWND user = TypeUser(dialog, L"first");
    if (!user) return nullptr;
    PasteTooLong(user);
    SetBoxText(dialog, IDC_REGIST_NAME, name);
    DialogDriver::Click(dialog, IDOK);
    const HWND box = OwnedMessageBox(dialog, 30000);
    if (!box) return nullptr;
    text = DialogDriver::MessageBoxText(box);
    if (!DialogDriver::DismissMessageBox(box)) return nullptr;
    ::Sleep(100);
    return user;
}

std::vector<std::wstring> StoredNames(const CDataWebForm* form) {
    std::vector<std::wstring> names;
    if (form)
        for (const auto& item : form->m_items)
            names.push_back(item->m_strName);
    return names;
}

bool Has(const std::vector<std::wstring>& names, const std::wstring& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Cancels the dialog, answering its question when it asks one.
void CancelDialog(HWND dialog) {
    DialogDriver::Click(dialog, IDCANCEL);
    if (HWND box = DialogDriver::WaitForMessageBox(dialog, 2000)) Answer(box, IDYES);
}

int ComboSelection(HWND combo) {
    return static_cast<int>(::SendMessageW(combo, CB_GETCURSEL, 0, 0));
}

// A dialog whose poll timer cannot be started, as when the system has none
// left to give.
class UnpolledRegistDlg : public CRegistDlg {
public:
    using CRegistDlg::CRegistDlg;

protected:
    UINT_PTR SetPollTimer(UINT_PTR, UINT) override { return 0; }
};

} // namespace

TEST_F(RegistDlgTest, SaveLocksTheDialogAndRefusesCancelOkApplyAndRowChangesUntilItEnds) {
    CRegistDlg dialog(Page(), 0, CRegistDlg::STATE_NEW);
    bool locked = false, disabledAtOnce = false, openWhileSaving = false, enabledAfter = false;
    int rowWhileSaving = -1;
    HWND boxWhileSaving = nullptr;
    std::vector<ListRow> rowsAfter;
    const INT_PTR result = Run(dialog, [&](DialogDriver& driver) {
        const HWND dlg = driver.Dialog();
        if (!TypeUser(dlg, L"locked.user")) return;
        SetBoxText(dlg, IDC_REGIST_NAME, L"保存中");
        HeldRequestLock lock;
        locked = lock.Held();
        if (!locked) return;
        DialogDriver::Click(dlg, IDC_REGIST_APPLY);
        // Locked by the click itself, before the worker reached the store.
        disabledAtOnce = ::IsWindowEnabled(dlg) == FALSE;
        // What a program (or clicks queued before Apply) may still send.
        ::PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        ::PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        ::PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDC_REGIST_APPLY, BN_CLICKED), 0);
        ClickRow(dlg, 1);
        ::Sleep(400);
        openWhileSaving = ::IsWindow(dlg) != FALSE;
        rowWhileSaving = SelectedRow(dlg);
        boxWhileSaving = OwnedMessageBox(dlg, 0);
        lock.Release();
        enabledAfter = WaitFor(
            [&] {
                const auto rows = ReadRows(dlg);
                return ::IsWindowEnabled(dlg) && !dialog.Saving() && !rows.empty() &&
                       rows[0].name == L"保存中";
            },
            10000);
        rowsAfter = ReadRows(dlg);
        ::Sleep(300); // nothing queued may start a second save now
        CancelDialog(dlg);
    });
    ASSERT_TRUE(locked);
    EXPECT_TRUE(disabledAtOnce) << "the dialog is disabled before the worker runs";
    EXPECT_TRUE(openWhileSaving) << "cancel and OK do not end a dialog that is saving";
    EXPECT_EQ(rowWhileSaving, 0) << "the row does not change under the save";
    EXPECT_EQ(boxWhileSaving, nullptr) << "nothing is asked while saving";
    EXPECT_TRUE(enabledAfter);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_FALSE(dialog.Saving());
    ASSERT_EQ(rowsAfter.size(), 2u);
    const auto stored = Stored();
    ASSERT_NE(stored, nullptr);
    const auto names = StoredNames(stored.get());
    EXPECT_EQ(std::count(names.begin(), names.end(), L"保存中"), 1) << "one save, not two";
}

TEST_F(RegistDlgTest, OwnerClosedWhileSavingWaitsForTheWorkerAndKeepsWhatItStored) {
    CRegistDlg dialog(Page(), 0, CRegistDlg::STATE_NEW);
    bool locked = false;
    torva::UniqueWindow owner = MakeActiveOwner(0, 0, 1000, 700);
    DialogDriver driver(kRegistCaption, [&](DialogDriver& d) {
        const HWND dlg = d.Dialog();
        if (!TypeUser(dlg, L"owner.gone")) return;
        SetBoxText(dlg, IDC_REGIST_NAME, L"所有者なし");
        HeldRequestLock lock;
        locked = lock.Held();
        if (!locked) return;
        DialogDriver::Click(dlg, IDOK);
        // The browser window goes away under the dialog.
        ::PostMessageW(::GetWindow(dlg, GW_OWNER), WM_CLOSE, 0, 0);
        ::Sleep(400);
        lock.Release();
    });
    (void)dialog.DoModal(owner.get());
    // Checked before the driver is joined: the worker must already be done.
    const bool savingAfterRun = dialog.Saving();
    const std::int32_t savedAfterRun = dialog.SaveFlag();
    driver.Join();
    ASSERT_TRUE(locked);
    EXPECT_FALSE(savingAfterRun) << "no worker outlives the dialog";
    EXPECT_EQ(savedAfterRun, 1) << "the save under way was finished and is reported";
    EXPECT_TRUE(Has(StoredNames(Stored().get()), L"所有者なし"));
}

TEST_F(RegistDlgTest, FillTimerDoesNotRunDuringASaveAndFillsTheCopyAfterIt) {
    CRegistDlg dialog(Page(), 0, CRegistDlg::STATE_NEW);
    bool locked = false;
    int filledBefore = -1, duringSave = -1, afterSave = -1;
    Run(dialog, [&](DialogDriver& driver) {
        const HWND dlg = driver.Dialog();
        if (!WaitForCopy(dlg, kLoginControls)) return;
        // The fill step selects the page's choice ("支店") in the copy's first
        // list (the second is the list of its buttons).
        filledBefore = ComboSelection(CopyControls(dlg, L"ComboBox")[0]);
        ClickRow(dlg, 1);
        if (!WaitForCopy(dlg, 1)) return;
        HeldRequestLock lock;
        locked = lock.Held();
        if (!locked) return;
        // A fresh copy of the login form, and at once a save: the copy
        // loads while the save waits, but must not be filled meanwhile.
        ClickRow(dlg, 0);
        DialogDriver::Click(dlg, IDC_REGIST_APPLY);
        if (WaitFor([&] { return CopyControls(dlg, L"ComboBox").size() == 2; }, 3000)) {
            ::Sleep(600);
            duringSave = ComboSelection(CopyControls(dlg, L"ComboBox")[0]);
        }
        lock.Release();
        WaitFor(
            [&] {
                const auto combos = CopyControls(dlg, L"ComboBox");
                return ::IsWindowEnabled(dlg) && combos.size() == 2 &&
                       ComboSelection(combos[0]) == 1;
            },
            10000);
        const auto combos = CopyControls(dlg, L"ComboBox");
        if (combos.size() == 2) afterSave = ComboSelection(combos[0]);
        CancelDialog(dlg);
    });
    ASSERT_TRUE(locked);
    EXPECT_EQ(filledBefore, 1);
    EXPECT_EQ(duringSave, 0) << "the fill step waits while a save runs";
    EXPECT_EQ(afterSave, 1) << "and fills the copy once the save is over";
}

TEST_F(RegistDlgTest, FailedSaveOfANewPageSaysSoStaysOpenAndStoresNoHalfPage) {
    CRegistDlg dialog(Page(), 0, CRegistDlg::STATE_NEW);
    std::wstring text;
    bool openAfterError = false, enabledAfterError = false;
    std::unique_ptr<CDataWebForm> storedAfterError;
    const INT_PTR result = Run(dialog, [&](DialogDriver& driver) {
        const HWND dlg = driver.Dialog();
        const HWND user = SaveTooLongAndDismissTheError(dlg, L"大きすぎ", text);
        if (!user) return;
        openAfterError = ::IsWindowVisible(dlg) != FALSE;
        enabledAfterError = ::IsWindowEnabled(dlg) != FALSE;
        storedAfterError = Stored();
        // The user mends the value and tries again.
        TypeInto(user, L"second");
        DialogDriver::Click(dlg, IDOK);
        DialogDriver::WaitUntilGone(dlg, 10000);
    });
    EXPECT_EQ(text, kSaveFailed);
    EXPECT_TRUE(openAfterError) << "a failed save is not reported as done";
    EXPECT_TRUE(enabledAfterError);
    EXPECT_EQ(storedAfterError, nullptr) << "no page stored in part";
    EXPECT_EQ(result, IDOK);
    const auto stored = Stored();
    ASSERT_NE(stored, nullptr);
    const CDataWebItem* item = nullptr;
    for (const auto& candidate : stored->m_items)
        if (candidate->m_strName == L"大きすぎ") item = candidate.get();
    ASSERT_NE(item, nullptr);
    const CDataWebCtrl* user = FindStored(*item, D_WEB_CTRL_TEXT, L"user");
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(user->TextValue()->m_strValue, L"second");
}

TEST_F(RegistDlgTest, SaveWithoutADatabaseSaysSoAndTheDialogStaysUsable) {
    CRegistDlg dialog(Page(), 0, CRegistDlg::STATE_NEW);
    std::wstring text;
    bool locked = false, enabledAfterError = false;
    const INT_PTR result = Run(dialog, [&](DialogDriver& driver) {
        const HWND dlg = driver.Dialog();
        if (!TypeUser(dlg, L"no.database")) return;
        SetBoxText(dlg, IDC_REGIST_NAME, L"データベースなし");
        {
            HeldRequestLock lock;
            locked = lock.Held();
            if (!locked) return;
            // The relay dies and cannot be started again.
            RelayState::Instance().SetRelayFolder(L"C:\\torva-no-relay-here");
            if (const DWORD id = RelayState::Instance().RelayProcessId()) {
                torva::UniqueHandle relay(
                    ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
                if (relay) {
                    ::TerminateProcess(relay.get(), 1);
                    ::WaitForSingleObject(relay.get(), 5000);
                }
            }
            DialogDriver::Click(dlg, IDOK);
        }
        const HWND box = OwnedMessageBox(dlg, 20000);
        UseRelayBesideTestProgram();
        if (!box) return;
        text = DialogDriver::MessageBoxText(box);
        if (!DialogDriver::DismissMessageBox(box)) return;
        ::Sleep(100);
        enabledAfterError = ::IsWindowVisible(dlg) && ::IsWindowEnabled(dlg);
        // With the relay back, OK saves.
        DialogDriver::Click(dlg, IDOK);
        DialogDriver::WaitUntilGone(dlg, 10000);
    });
    UseRelayBesideTestProgram();
    ASSERT_TRUE(locked);
    EXPECT_EQ(text, kSaveFailed);
    EXPECT_TRUE(enabledAfterError);
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(Has(StoredNames(Stored().get()), L"データベースなし"));
}

TEST_F(RegistDlgTest, FailedReregistrationKeepsTheRegistrationItReplaces) {
    {
        // What the user registered before the form changed.
        CRegistDlg capture(Page(), 0, CRegistDlg::STATE_NEW);
        ASSERT_TRUE(capture.UpdatePageData());
        for (auto& item : capture.PageForm()->m_items)
            item->m_strName = item->m_strFormName == L"login" ? L"旧ログイン" : L"旧検索";
        CExpData store;
        ASSERT_EQ(store.SetWebPageData(capture.PageForm(), capture.PageForm()->m_items[0].get()),
                  0);
    }
    CRegistDlg dialog(Page(), 0, CRegistDlg::STATE_REREGIST);
    std::wstring text;
    bool openAfterError = false;
    std::vector<std::wstring> namesAfterError;
    const INT_PTR result = Run(dialog, [&](DialogDriver& driver) {
        const HWND dlg = driver.Dialog();
        const HWND user = SaveTooLongAndDismissTheError(dlg, L"新ログイン", text);
        if (!user) return;
        openAfterError = ::IsWindowVisible(dlg) != FALSE;
        namesAfterError = StoredNames(Stored().get());
        TypeInto(user, L"new.user");
        DialogDriver::Click(dlg, IDOK);
        DialogDriver::WaitUntilGone(dlg, 10000);
    });
    EXPECT_EQ(text, kSaveFailed);
    EXPECT_TRUE(openAfterError);
    EXPECT_TRUE(Has(namesAfterError, L"旧ログイン")) << "the old registration is not lost";
    EXPECT_FALSE(Has(namesAfterError, L"新ログイン"));
    EXPECT_EQ(result, IDOK);
    const auto names = StoredNames(Stored().get());
    EXPECT_TRUE(Has(names, L"新ログイン"));
    EXPECT_FALSE(Has(names, L"旧ログイン")) << "a successful retry replaces it";
}

TEST_F(RegistDlgTest, WithoutAPollTimerTheSaveIsWaitedForAndTheDialogStillEnds) {
    UnpolledRegistDlg dialog(Page(), 0, CRegistDlg::STATE_NEW);
    const INT_PTR result = Run(dialog, [&](DialogDriver& driver) {
        const HWND dlg = driver.Dialog();
        if (!TypeUser(dlg, L"no.timer")) return;
        SetBoxText(dlg, IDC_REGIST_NAME, L"時計なし");
        DialogDriver::Click(dlg, IDOK);
        DialogDriver::WaitUntilGone(dlg, 10000);
    });
    EXPECT_EQ(result, IDOK) << "the dialog is not left locked";
    EXPECT_FALSE(dialog.Saving());
    EXPECT_TRUE(Has(StoredNames(Stored().get()), L"時計なし"));
}

TEST_F(RegistDlgTest, ADialogOfAnotherThreadLeavesThisDialogsKeyForwardingAlone) {
    CRegistDlg dialog(Page(), 0, CRegistDlg::STATE_NEW);
    std::wstring after;
    bool otherShown = false;
    Run(dialog, [&](DialogDriver& driver) {
        const HWND dlg = driver.Dialog();
        if (!TypeUser(dlg, L"abc")) return;
        // Folding and unfolding installs the forwarding.
        DialogDriver::Click(dlg, IDC_REGIST_FOLD);
        DialogDriver::Click(dlg, IDC_REGIST_FOLD);
        if (!WaitFor([&] { return CopyControls(dlg, L"Edit").size() == 3; })) return;
        // Another browser thread (another tab) opens and closes the dialog.
        std::thread other([&] {
            (void)::OleInitialize(nullptr);
            {
                CRegistDlg second(nullptr, 0, CRegistDlg::STATE_NEW);
                DialogDriver secondDriver(kRegistCaption, [&](DialogDriver& d2) {
                    otherShown = d2.Dialog() != nullptr;
                    DialogDriver::Click(d2.Dialog(), IDC_REGIST_FOLD);
                    DialogDriver::Click(d2.Dialog(), IDC_REGIST_FOLD);
                    DialogDriver::Click(d2.Dialog(), IDCANCEL);
                });
                (void)second.DoModal(nullptr);
                secondDriver.Join();
            }
            ::OleUninitialize();
        });
        other.join();
        const HWND user = CopyControls(dlg, L"Edit")[0];
        ::SendMessageW(user, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        ::SendMessageW(user, WM_LBUTTONUP, 0, 0);
        ::SendMessageW(user, EM_SETSEL, 0, 0);
        const HWND server = CopyServer(dlg);
        ::PostMessageW(server, WM_KEYDOWN, VK_DELETE, 0);
        ::PostMessageW(server, WM_KEYUP, VK_DELETE, 0);
        WaitFor([&] { return DialogDriver::Text(user) != L"abc"; }, 2000);
        after = DialogDriver::Text(user);
        CancelDialog(dlg);
    });
    EXPECT_TRUE(otherShown);
    EXPECT_EQ(after, L"bc") << "Delete still reaches this dialog's copy";
}
