// OK in the option dialog: the save runs on a worker while the notice
// window shows, and what was ticked is what a new store reads back. A save
// is held up by taking the store's request lock on the driver thread, which
// the worker then waits for, as it would for a busy relay.
#include "COptionDlg.h"

#include "DialogDriver.h"
#include "HeldRequestLock.h"
#include "OptionDlgFixture.h"
#include "RelayState.h"
#include "UiTestSupport.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

// What the dialog looked like while its save was held up.
struct DuringSave {
    HWND notice = nullptr;
    bool dialogEnabled = true;
    bool openAfterCancel = false;
    bool noticeStillShown = false;
    HWND otherBox = nullptr;
};

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

} // namespace

TEST_F(OptionDialog, OkOnAFreshDatabaseStoresWhatWasTicked) {
    ASSERT_TRUE(Backup().RemoveKey());
    COptionDlg dialog;
    DialogDriver driver(kOptionCaption, [&](DialogDriver& d) {
        const HWND w = d.Dialog();
        for (const int id : {IDC_OPTION_NOMULTITEXT, IDC_OPTION_HIDEPWD, IDC_OPTION_STOPFUNC})
            DialogDriver::Click(w, id);
        DialogDriver::Click(w, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    driver.Join();
    EXPECT_FALSE(driver.LeftOpen());
    EXPECT_FALSE(dialog.Saving());

    EXPECT_EQ(Backup().KeyState(), 1) << "the save makes the key";
    CDataOption stored;
    ASSERT_TRUE(Backup().Read(stored));
    // Boxes out of reach are stored as they are ticked.
    EXPECT_EQ(Flags(stored), (std::array<std::int32_t, 7>{1, 0, 1, 1, 0, 1, 0}));
}

TEST_F(OptionDialog, SlowSaveShowsTheNoticeUntilTheWorkerEnds) {
    Backup().Write(MakeOptions({0, 0, 1, 1, 0, 0, 1}));
    DuringSave seen;
    bool locked = false;
    bool noticeGone = false;
    COptionDlg dialog;
    DialogDriver driver(kOptionCaption, [&](DialogDriver& d) {
        const HWND w = d.Dialog();
        for (const int id : {IDC_OPTION_STOPAUTOINPUT, IDC_OPTION_ONLYPWD, IDC_OPTION_SETAUTO})
            DialogDriver::Click(w, id);
        HeldRequestLock lock;
        locked = lock.Held();
        if (!locked) return;
        DialogDriver::Click(w, IDOK);
        seen.notice = WaitForNotice(w, 3000);
        seen.dialogEnabled = ::IsWindowEnabled(w) != FALSE;
        // Neither a cancel nor a second OK may disturb the running save.
        ::PostMessageW(w, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        ::PostMessageW(w, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        ::Sleep(300);
        seen.openAfterCancel = ::IsWindow(w) != FALSE;
        seen.noticeStillShown = seen.notice && ::IsWindowVisible(seen.notice);
        seen.otherBox = OwnedMessageBox(w, 0);
        lock.Release();
        if (DialogDriver::WaitUntilGone(w, 5000))
            noticeGone = !seen.notice || !::IsWindow(seen.notice);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    driver.Join();
    ASSERT_TRUE(locked);
    EXPECT_FALSE(driver.LeftOpen());
    EXPECT_NE(seen.notice, nullptr) << "a save that takes a while shows the notice";
    EXPECT_FALSE(seen.dialogEnabled) << "the dialog is locked while it saves";
    EXPECT_TRUE(seen.openAfterCancel) << "cancel does not end a dialog that is saving";
    EXPECT_TRUE(seen.noticeStillShown) << "the notice stays while the worker waits";
    EXPECT_EQ(seen.otherBox, nullptr) << "nothing is asked while saving";
    EXPECT_TRUE(noticeGone) << "the notice goes with the dialog";
    EXPECT_FALSE(dialog.Saving());

    CDataOption stored;
    ASSERT_TRUE(Backup().Read(stored));
    EXPECT_EQ(Flags(stored), (std::array<std::int32_t, 7>{0, 1, 0, 1, 1, 0, 1}));
}

TEST_F(OptionDialog, DialogEndedWhileSavingWaitsForItsWorker) {
    Backup().Write(MakeOptions({0, 0, 1, 1, 0, 0, 1}));
    HWND notice = nullptr;
    bool locked = false;
    COptionDlg dialog;
    DialogDriver driver(kOptionCaption, [&](DialogDriver& d) {
        const HWND w = d.Dialog();
        DialogDriver::Click(w, IDC_OPTION_ONLYPWD);
        HeldRequestLock lock;
        locked = lock.Held();
        if (!locked) return;
        DialogDriver::Click(w, IDOK);
        notice = WaitForNotice(w, 3000);
        // As when the dialog's owner goes away under it. Ended from a thread
        // of its own: the call waits for the dialog's thread, which waits for
        // the worker, which waits for this thread's lock.
        std::thread ender([w] { ::EndDialog(w, IDABORT); });
        ::Sleep(300);
        lock.Release();
        ender.join();
    });
    const INT_PTR result = dialog.DoModal();
    // Checked before the driver is joined: the worker must already be done.
    const bool savingAfterRun = dialog.Saving();
    const bool noticeAfterRun = notice && ::IsWindow(notice);
    driver.Join();
    ASSERT_TRUE(locked);
    EXPECT_EQ(result, IDABORT);
    EXPECT_NE(notice, nullptr);
    EXPECT_FALSE(savingAfterRun) << "no worker outlives the dialog";
    EXPECT_FALSE(noticeAfterRun) << "nor its notice window";

    CDataOption stored;
    ASSERT_TRUE(Backup().Read(stored));
    EXPECT_EQ(Flags(stored), (std::array<std::int32_t, 7>{0, 0, 1, 1, 1, 0, 1}))
        << "the save under way was finished, not cut off";
}

TEST_F(OptionDialog, FailedSaveSaysSoAndKeepsTheDialogOpen) {
    const CDataOption before = MakeOptions({0, 0, 1, 1, 0, 0, 1});
    Backup().Write(before);
    std::wstring text;
    HICON icon = nullptr;
    bool openAfterError = false;
    bool enabledAfterError = false;
    bool locked = false;
    COptionDlg dialog;
    DialogDriver driver(kOptionCaption, [&](DialogDriver& d) {
        const HWND w = d.Dialog();
        DialogDriver::Click(w, IDC_OPTION_NOMULTITEXT);
        {
            HeldRequestLock lock;
            locked = lock.Held();
            if (!locked) return;
            // The relay dies and cannot be started again: nothing can be stored.
            RelayState::Instance().SetRelayFolder(L"C:\\torva-no-relay-here");
            if (const DWORD id = RelayState::Instance().RelayProcessId()) {
                torva::UniqueHandle relay(
                    ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
                if (relay) {
                    ::TerminateProcess(relay.get(), 1);
                    ::WaitForSingleObject(relay.get(), 5000);
                }
            }
            DialogDriver::Click(w, IDOK);
        }
        const HWND box = OwnedMessageBox(w, 10000);
        UseRelayBesideTestProgram();
        if (!box) return;
        text = DialogDriver::MessageBoxText(box);
        icon = DialogDriver::MessageBoxIcon(box);
        if (!DialogDriver::DismissMessageBox(box)) return;
        ::Sleep(100);
        openAfterError = ::IsWindowVisible(w) != FALSE;
        enabledAfterError = ::IsWindowEnabled(w) != FALSE;
        DialogDriver::Click(w, IDCANCEL);
        if (const HWND question = OwnedMessageBox(w, 5000)) (void)Answer(question, IDYES);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    driver.Join();
    UseRelayBesideTestProgram();
    ASSERT_TRUE(locked);
    EXPECT_FALSE(driver.LeftOpen());
    EXPECT_EQ(text, L"オプションを保存できませんでした。");
    EXPECT_EQ(icon, ::LoadIconW(nullptr, IDI_ERROR));
    EXPECT_TRUE(openAfterError) << "a failed save is not reported as done";
    EXPECT_TRUE(enabledAfterError) << "and the dialog is usable again";
    EXPECT_FALSE(dialog.Saving());

    CDataOption stored;
    ASSERT_TRUE(Backup().Read(stored));
    EXPECT_EQ(Flags(stored), Flags(before));
}
