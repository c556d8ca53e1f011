// The export command as the main frame runs it: the export dialog answered
// as a user would, the PIN dialog answered by the test support, the
// progress dialog watched until the worker ends and closed with its OK.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "AutoAnswer.h"
#include "CExportingDlg.h"
#include "ExportCommand.h"
#include "ExportDialogIds.h"
#include "ExportFixture.h"
#include "ExportMessages.h"
#include "ExportUser.h"
#include "FxUser.h"
#include "SealedExport.h"
#include "TestBase64.h"

using namespace vantrel;
namespace eu = export_user;
namespace fx = export_fixture;
using peltrix::test::AutoAnswer;
using sealed_export::Fields;
using sealed_export::Lines;
using sealed_export::OpensTo;

namespace {

const wchar_t kDialogCaption[] = L"エクスポート";

// The main window: hands the progress dialog back when told it has closed
// and takes WM_CLOSE only while no export runs, as the main frame does.
class CTestMainWnd : public CWnd {
public:
    IExportHost* host = nullptr;
    int released = 0;
    int closesRefused = 0;

    LRESULT OnDialogClosed(WPARAM, LPARAM) {
        ++released;
        ReleaseProgressDialog(*host);
        return 0;
    }
    void OnClose() {
        if (ExportRunning()) {
            ++closesRefused;
            return;
        }
        Default();
    }

protected:
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CTestMainWnd, CWnd)
    ON_MESSAGE(kProgressDialogClosed, &CTestMainWnd::OnDialogClosed)
    ON_WM_CLOSE()
END_MESSAGE_MAP()
// clang-format on

class TestHost : public IExportHost {
public:
    explicit TestHost(CExportStore& store) : m_store(store) {
        main.host = this;
        main.CreateEx(0, L"STATIC", L"エクスポートの試験", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                      CRect(0, 0, 400, 300), nullptr, 0);
    }
    ~TestHost() override {
        ReleaseProgressDialog(*this);
        main.DestroyWindow();
    }

    CWnd* MainWindow() override { return &main; }
    std::vector<CheckedItem> CheckedItems() override { return items; }
    CExportStore& Store() override { return m_store; }
    CExportingDlg*& ProgressDialog() override { return progress; }

    CTestMainWnd main;
    std::vector<CheckedItem> items;
    CExportingDlg* progress = nullptr;

private:
    CExportStore& m_store;
};

// What the user saw once the worker had ended.
struct Seen {
    bool ended = false;
    std::wstring title;
    std::wstring status;
    bool okEnabled = false;
    bool mainEnabled = false;
    bool mainDisabledWhileRunning = false;
    bool ownedByMain = false;
    int progressPos = -1;
    int progressMax = -1;
    eu::Box error; // the worker's "エクスポートエラー" box
    bool released = false;
};

// Runs the command with the export dialog answered by typing path and
// passphrase (confirmed) and pressing Export (OK to the empty-passphrase
// question, Yes to the overwrite question), then presses the progress
// dialog's OK once the worker has ended.
Seen RunCommand(TestHost& host, const std::wstring& path, const std::wstring& passphrase) {
    Seen seen;
    FxUser user(kDialogCaption, [&](HWND dlg) {
        FxUser::Type(dlg, IDC_EXPORT_PATH, path.c_str());
        FxUser::Type(dlg, IDC_EXPORT_PASSPHRASE, passphrase.c_str());
        FxUser::Type(dlg, IDC_EXPORT_CONFIRM, passphrase.c_str());
        eu::Click(dlg, IDC_EXPORT_RUN);
        const DWORD thread = ::GetWindowThreadProcessId(dlg, nullptr);
        for (int i = 0; i < 2 && ::IsWindow(dlg); ++i) {
            if (HWND box = eu::FindBox(kUtilityCaption, thread)) {
                const int answer = ::GetDlgItem(box, IDYES) ? IDYES : IDOK;
                eu::Answer(kUtilityCaption, answer, thread, 1000);
            }
            ::Sleep(150);
        }
    });
    ExportCommand(host);
    user.Join();
    CExportingDlg* dialog = host.progress;
    if (!dialog || !dialog->GetSafeHwnd()) return seen;
    const HWND window = dialog->GetSafeHwnd();
    seen.ownedByMain = ::GetWindow(window, GW_OWNER) == host.main.GetSafeHwnd();
    seen.mainDisabledWhileRunning = !::IsWindowEnabled(host.main.GetSafeHwnd());
    seen.ended = eu::PumpUntil(
        [&] {
            if (!seen.error.found && eu::FindBox(L"エクスポートエラー")) {
                // Answered from another thread: the box belongs to the worker.
                std::thread([&] { seen.error = eu::Answer(L"エクスポートエラー", IDOK); }).join();
            }
            return ::IsWindowEnabled(::GetDlgItem(window, IDOK)) != FALSE;
        },
        120000);
    eu::PumpUntil([] { return !ExportRunning(); }, 5000);
    seen.title = FxUser::Text(window);
    seen.status = FxUser::Text(::GetDlgItem(window, IDC_EXPORTING_STATUS));
    seen.okEnabled = ::IsWindowEnabled(::GetDlgItem(window, IDOK)) != FALSE;
    seen.mainEnabled = ::IsWindowEnabled(host.main.GetSafeHwnd()) != FALSE;
    const HWND bar = ::GetDlgItem(window, IDC_EXPORTING_PROGRESS);
    seen.progressPos = static_cast<int>(::SendMessageW(bar, PBM_GETPOS, 0, 0));
    seen.progressMax = static_cast<int>(::SendMessageW(bar, PBM_GETRANGE, FALSE, 0));
    ::SendMessageW(::GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
    seen.released =
        eu::PumpUntil([&] { return host.progress == nullptr; }, 5000) && !::IsWindow(window);
    return seen;
}

class ExportCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = eu::TempPath(L"vantrel_command_test.csv");
        ::DeleteFileW(path.c_str());
        host = std::make_unique<TestHost>(store);
        // The options of both kinds: written from an empty store too.
        host->items = {CheckedItem{48}, CheckedItem{112}};
    }
    void TearDown() override {
        host.reset();
        ::DeleteFileW(path.c_str());
    }

    CExportStore store;
    std::unique_ptr<TestHost> host;
    std::wstring path;
};

} // namespace

TEST_F(ExportCommandTest, RefusedAuthenticationCreatesNoFileAndReportsFailure) {
    AutoAnswer deny(AUTHCASE_EXPORT, AutoAnswer::kDeny);
    const Seen seen = RunCommand(*host, path, L"pw");
    ASSERT_TRUE(seen.ended);
    EXPECT_TRUE(seen.ownedByMain);
    EXPECT_TRUE(seen.mainDisabledWhileRunning);
    EXPECT_EQ(L"失敗", seen.title);
    EXPECT_EQ(L"エクスポートに失敗しました。", seen.status);
    EXPECT_TRUE(seen.okEnabled);
    EXPECT_TRUE(seen.mainEnabled);
    EXPECT_FALSE(eu::Exists(path));
    EXPECT_TRUE(seen.released);
    EXPECT_EQ(1, host->main.released);
    EXPECT_TRUE(store.ExportPassphrase().empty());
}

TEST_F(ExportCommandTest, NoTickedItemIsAFailureWithoutFile) {
    AutoAnswer allow(AUTHCASE_EXPORT, AutoAnswer::kAllow);
    ASSERT_TRUE(allow.Applied());
    host->items.clear();
    const Seen seen = RunCommand(*host, path, L"pw");
    ASSERT_TRUE(seen.ended);
    EXPECT_EQ(L"失敗", seen.title);
    EXPECT_EQ(L"エクスポートに失敗しました。", seen.status);
    EXPECT_FALSE(seen.error.found);
    EXPECT_FALSE(eu::Exists(path));
    EXPECT_TRUE(seen.mainEnabled);
}

TEST_F(ExportCommandTest, ATargetHeldOpenIsReportedAsHeldByAnotherProgram) {
    AutoAnswer allow(AUTHCASE_EXPORT, AutoAnswer::kAllow);
    ASSERT_TRUE(allow.Applied());
    HANDLE holder =
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    const Seen seen = RunCommand(*host, path, L"pw");
    ::CloseHandle(holder);
    ASSERT_TRUE(seen.ended);
    ASSERT_TRUE(seen.error.found);
    EXPECT_EQ(L"エクスポートファイルを開けませんでした。\n他のプログラムがエクスポートファイルにア"
              L"クセスしている場合は\n"
              L"プログラムを終了してからエクスポートを実行してください。",
              seen.error.text);
    EXPECT_EQ(L"失敗", seen.title);
    EXPECT_EQ(0, seen.progressPos);
    EXPECT_TRUE(seen.mainEnabled);
}

TEST_F(ExportCommandTest, AFolderThatCannotTakeTheFileIsReportedAsCreationFailure) {
    AutoAnswer allow(AUTHCASE_EXPORT, AutoAnswer::kAllow);
    ASSERT_TRUE(allow.Applied());
    // A folder where the file should be: nothing may be written there.
    const std::wstring folder = eu::TempPath(L"vantrel_command_folder.csv");
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const Seen folderSeen = RunCommand(*host, folder, L"pw");
    ::RemoveDirectoryW(folder.c_str());
    const std::wstring missing = eu::TempPath(L"vantrel_no_such_folder\\out.csv");
    const Seen missingSeen = RunCommand(*host, missing, L"pw");
    for (const Seen* seen : {&folderSeen, &missingSeen}) {
        ASSERT_TRUE(seen->ended);
        ASSERT_TRUE(seen->error.found);
        EXPECT_EQ(L"エクスポートファイルの作成に失敗しました。\nファイルを作成する場所のアクセス権"
                  L"を確認してください。",
                  seen->error.text);
        EXPECT_EQ(L"失敗", seen->title);
    }
}

TEST_F(ExportCommandTest, AFullDiskIsAFailureNeverASuccess) {
    // The test folder holds a link from this name to a device that is
    // always full (made when the build is configured).
    wchar_t folder[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, folder);
    const std::wstring full = std::wstring(folder) + L"\\vantrel_full_disk.csv";
    HANDLE probe =
        ::CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe == INVALID_HANDLE_VALUE) GTEST_SKIP() << "no full-disk link in the test folder";
    ::CloseHandle(probe);
    AutoAnswer allow(AUTHCASE_EXPORT, AutoAnswer::kAllow);
    ASSERT_TRUE(allow.Applied());
    const Seen seen = RunCommand(*host, full, L"pw");
    ASSERT_TRUE(seen.ended);
    EXPECT_FALSE(seen.error.found);
    EXPECT_EQ(L"失敗", seen.title);
    EXPECT_EQ(L"エクスポートに失敗しました。", seen.status);
    EXPECT_TRUE(seen.mainEnabled);
}

TEST_F(ExportCommandTest, ItemsWithNothingToWriteEndInSuccess) {
    AutoAnswer allow(AUTHCASE_EXPORT, AutoAnswer::kAllow);
    ASSERT_TRUE(allow.Applied());
    // A group, an application entry, a web-form item the store does not know.
    host->items = {CheckedItem{16}, CheckedItem{96}, CheckedItem{18, &host->items},
                   CheckedItem{48}};
    const Seen seen = RunCommand(*host, path, L"pw");
    ASSERT_TRUE(seen.ended);
    EXPECT_EQ(L"成功", seen.title);
    EXPECT_EQ(L"エクスポート処理が終了しました。", seen.status);
    EXPECT_EQ(4, seen.progressMax);
    EXPECT_EQ(4, seen.progressPos);
    EXPECT_TRUE(eu::Exists(path));
    EXPECT_TRUE(seen.released);
    EXPECT_TRUE(store.ExportPassphrase().empty());
}

TEST_F(ExportCommandTest, CloseIsRefusedWhileTheWorkerRunsAndANewExportReplacesTheOldDialog) {
    // The PIN dialog stays unanswered until the close has been tried.
    Seen first;
    FxUser user(kDialogCaption, [&](HWND dlg) {
        FxUser::Type(dlg, IDC_EXPORT_PATH, path.c_str());
        FxUser::Type(dlg, IDC_EXPORT_PASSPHRASE, L"pw");
        FxUser::Type(dlg, IDC_EXPORT_CONFIRM, L"pw");
        FxUser::Press(dlg, IDC_EXPORT_RUN);
    });
    ExportCommand(*host);
    ASSERT_TRUE(user.Join());
    ASSERT_NE(nullptr, host->progress);
    EXPECT_TRUE(ExportRunning());
    host->main.SendMessage(WM_CLOSE);
    EXPECT_EQ(1, host->main.closesRefused);
    EXPECT_TRUE(::IsWindow(host->main.GetSafeHwnd()));
    {
        AutoAnswer deny(AUTHCASE_EXPORT, AutoAnswer::kDeny);
        ASSERT_TRUE(eu::PumpUntil([] { return !ExportRunning(); }, 60000));
    }
    CExportingDlg* old = host->progress;
    const HWND oldWindow = old->GetSafeHwnd();
    AutoAnswer allow(AUTHCASE_EXPORT, AutoAnswer::kAllow);
    ASSERT_TRUE(allow.Applied());
    // The old dialog is left open: the next export destroys and deletes it.
    const Seen seen = RunCommand(*host, path, L"pw");
    EXPECT_FALSE(::IsWindow(oldWindow));
    EXPECT_EQ(L"成功", seen.title);
}

// ---------------------------------------------------------------------------
// The whole fixture exported with a passphrase and without one: every field
// of the sealed file opens with the passphrase to the clear file's field, and
// every secret field to the secret the fixture stored, byte for byte.

namespace {

void ExpectFixtureSecretsSealed(const std::string& sealedText, const std::string& clearText,
                                const std::wstring& passphrase) {
    const sealed_export::SecretsCheck check =
        sealed_export::CheckFixtureSecrets(sealedText, passphrase);
    for (const std::string& fault : check.faults)
        ADD_FAILURE() << fault;
    EXPECT_GT(check.fields, 20u);
    // The clear file still escapes them: the quote, the CR LF, the lone CR
    // (dropped), the comma and the Japanese text of the rich password.
    const std::string escaped = "\"pa\\\"ss\\\\nw0,rd\x8d\x87\x8c\xbe\x97\x74\"";
    EXPECT_NE(std::string::npos, clearText.find(escaped)) << escaped;
}

} // namespace

TEST(ExportCommandFixture, ASealedExportOpensFieldByFieldToTheFixture) {
    ASSERT_EQ(0u, fx::Fill(fx::Options{}));
    CExportStore store;
    ASSERT_EQ(1, store.Load());
    TestHost host(store);
    host.items = export_user::EverythingChecked(store, fx::kOutsideCodePageUrl);
    const std::wstring sealedPath = eu::TempPath(L"vantrel_sealed.csv");
    const std::wstring clearPath = eu::TempPath(L"vantrel_clear.csv");
    ::DeleteFileW(sealedPath.c_str());
    ::DeleteFileW(clearPath.c_str());
    const std::wstring passphrase = L"輸出用の合言葉 2026";
    {
        AutoAnswer allow(AUTHCASE_EXPORT, AutoAnswer::kAllow);
        ASSERT_TRUE(allow.Applied());
        // The fixture's password that cannot be opened is told at the end.
        const Seen sealed = RunCommand(host, sealedPath, passphrase);
        EXPECT_EQ(L"警告", sealed.title);
        const Seen clear = RunCommand(host, clearPath, L"");
        EXPECT_EQ(L"警告", clear.title);
    }
    const std::string sealedText = eu::ReadAll(sealedPath);
    const std::string clearText = eu::ReadAll(clearPath);
    ::DeleteFileW(sealedPath.c_str());
    ::DeleteFileW(clearPath.c_str());
    EXPECT_EQ(0u, fx::Clear());

    const auto sealedLines = Lines(sealedText);
    const auto clearLines = Lines(clearText);
    ASSERT_GT(clearLines.size(), 10u);
    ASSERT_EQ(clearLines.size(), sealedLines.size());
    size_t opened = 0;
    for (size_t l = 0; l < clearLines.size(); ++l) {
        const auto s = Fields(sealedLines[l]);
        const auto c = Fields(clearLines[l]);
        ASSERT_EQ(c.size(), s.size()) << "line " << l;
        for (size_t f = 0; f < c.size(); ++f) {
            if (s[f] == c[f]) continue;
            const OpenedField field = OpenSealedField(s[f], passphrase);
            ASSERT_TRUE(field.ok) << "line " << l << " field " << f;
            EXPECT_TRUE(OpensTo(field.clear, c[f]))
                << "line " << l << " field " << f << ": " << c[f];
            ++opened;
        }
    }
    EXPECT_GT(opened, 5u);
    ExpectFixtureSecretsSealed(sealedText, clearText, passphrase);
}

// A stored password that cannot be decrypted is written empty: the end of
// the export says so, with the number of such secrets, instead of "成功".
TEST(ExportCommandFixture, UnreadablePasswordsAreToldAtTheEnd) {
    ASSERT_EQ(0u, fx::Fill(fx::Options{}));
    CExportStore store;
    ASSERT_EQ(1, store.Load());
    TestHost host(store);
    // Gives every form its stand-in tree handle.
    host.items = export_user::EverythingChecked(store, fx::kOutsideCodePageUrl);
    // The rich page's form holds readable secrets only; the second form of
    // that page holds the password that cannot be opened.
    ASSERT_GE(store.Pages().size(), 1u);
    ASSERT_GE(store.Pages()[0]->items.size(), 2u);
    void* readable = store.Pages()[0]->items[0]->treeItem;
    void* unreadable = store.Pages()[0]->items[1]->treeItem;
    const std::wstring path = eu::TempPath(L"vantrel_unread.csv");
    Seen good;
    Seen warned;
    {
        AutoAnswer allow(AUTHCASE_EXPORT, AutoAnswer::kAllow);
        ASSERT_TRUE(allow.Applied());
        host.items = {CheckedItem{18, readable}};
        good = RunCommand(host, path, L"pw");
        host.items = {CheckedItem{18, readable}, CheckedItem{18, unreadable}};
        warned = RunCommand(host, path, L"pw");
    }
    ::DeleteFileW(path.c_str());
    EXPECT_EQ(0u, fx::Clear());
    EXPECT_EQ(L"成功", good.title);
    EXPECT_EQ(L"エクスポート処理が終了しました。", good.status);
    EXPECT_EQ(L"警告", warned.title);
    EXPECT_NE(std::wstring::npos, warned.status.find(L" 1 ")) << "the count";
    EXPECT_TRUE(warned.okEnabled);
    EXPECT_TRUE(warned.mainEnabled);
}
