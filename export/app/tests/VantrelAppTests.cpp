// Vantrel.exe started for real over the fixture and used as a user would:
// one instance only, the administrator refused, the tree's labels and check
// boxes, the report of each kind of item, the window's place and the tree's
// width kept for the next start, the export of the ticked items through the
// export dialog and the PIN dialog, and the close refused while it runs.
#include "AccountSid.h"
#include "AutoAnswer.h"
#include "ExportFixture.h"
#include "Peltrix.h"
#include "ResourceStrings.h"
#include "SealedExport.h"
#include "SingleInstance.h"
#include "VantrelProcess.h"
#include "Win32Handles.h"
#include "WindowPlacementRules.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vantrel::test {
namespace {

constexpr DWORD kStartTimeout = 60000;
constexpr wchar_t kProfile[] = L"Vantrel.INI";
constexpr wchar_t kSection[] = L"Position";
constexpr UINT kExportCommand = 32772;

using Texts = std::vector<std::wstring>;

std::wstring Res(UINT id) {
    return GetResourceString(id);
}

bool Contains(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}

int ProfileInt(const wchar_t* entry) {
    return static_cast<int>(::GetPrivateProfileIntW(kSection, entry, -1, kProfile));
}

void ForgetPosition() {
    ::WritePrivateProfileStringW(kSection, nullptr, nullptr, kProfile);
}

RECT WindowRect(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

int Width(HWND window) {
    const RECT rect = WindowRect(window);
    return rect.right - rect.left;
}

// Sets HKLM "AdminUser" (32-bit view) for one test and removes it afterwards.
class AdminUserValue {
public:
    explicit AdminUserValue(const std::wstring& text) {
        EXPECT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Kobel\\TORVA", 0, nullptr, 0,
                                    KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, m_key.put(), nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(::RegSetValueExW(m_key.get(), L"AdminUser", 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(text.c_str()),
                                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    ~AdminUserValue() { ::RegDeleteValueW(m_key.get(), L"AdminUser"); }

private:
    torva::UniqueRegKey m_key;
};

class VantrelApp : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        LoadResourceStrings(::GetModuleHandleW(nullptr));
        s_filled = export_fixture::Fill(export_fixture::Options{}) == 0;
    }
    static void TearDownTestSuite() { export_fixture::Clear(); }
    void SetUp() override { ASSERT_TRUE(s_filled); }

    static bool s_filled;
};

bool VantrelApp::s_filled = false;

TEST_F(VantrelApp, SecondInstanceEndsWithoutAnyWindow) {
    VantrelProcess first;
    ASSERT_TRUE(first.Start());
    ASSERT_NE(nullptr, first.WaitUntilReady(kStartTimeout));

    VantrelProcess second;
    ASSERT_TRUE(second.Start());
    ASSERT_TRUE(second.WaitForEnd(kStartTimeout)) << "the second instance kept running";
    EXPECT_FALSE(second.HasVisibleWindow());
    EXPECT_EQ(nullptr, second.WaitForWindow(nullptr, 0));
    // The first one goes on undisturbed.
    EXPECT_FALSE(first.WaitForEnd(0));
    EXPECT_TRUE(::IsWindowEnabled(first.Main()));
    EXPECT_TRUE(first.Close(kStartTimeout));
}

TEST_F(VantrelApp, AdministratorUserIsRefusedWithTheWarning) {
    AdminUserValue admin(account_sid::CurrentUserSidText());
    VantrelProcess run;
    ASSERT_TRUE(run.Start());
    const HWND box = run.WaitForWindow(kMainCaption, kStartTimeout);
    ASSERT_NE(nullptr, box);
    wchar_t className[32] = {};
    ::GetClassNameW(box, className, 32);
    EXPECT_STREQ(L"#32770", className) << "a message box, not the main window";
    wchar_t text[256] = {};
    ::GetWindowTextW(::GetDlgItem(box, 0xFFFF), text, 256);
    // 22102, or 22103 on the Windows versions that say "sign in".
    EXPECT_EQ(Res(22102), std::wstring(text));
    EXPECT_TRUE(std::wstring(text) ==
                    L"現在ログオン中のユーザーでは、このプログラムを使用することができません" ||
                std::wstring(text) ==
                    L"現在サインイン中のユーザーでは、このプログラムを使用することができません");
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(run.WaitForEnd(kStartTimeout));
    EXPECT_FALSE(run.HasVisibleWindow());
}

TEST_F(VantrelApp, TreeShowsTheStoredDataAndSpreadsItsChecks) {
    VantrelProcess run;
    ASSERT_TRUE(run.Start());
    ASSERT_NE(nullptr, run.WaitUntilReady(kStartTimeout));

    const HTREEITEM root = run.Root();
    EXPECT_EQ(Res(22063), run.Text(root));
    EXPECT_EQ(
        (Texts{Res(22064), Res(22065), Res(22066), Res(22067), Res(22068), Res(22069), Res(22070)}),
        run.ChildTexts(root));

    const HTREEITEM webForms = run.Find(root, Res(22064));
    const HTREEITEM rich =
        run.FindEndingWith(webForms, std::wstring(L"(") + export_fixture::kRichPageUrl + L")");
    ASSERT_NE(nullptr, rich);
    EXPECT_EQ((Texts{export_fixture::kRichItemName, L"空パスワード"}), run.ChildTexts(rich));
    const HTREEITEM unnamed =
        run.Find(webForms, std::wstring(L"検索(") + export_fixture::kUnnamedPageUrl + L")");
    ASSERT_NE(nullptr, unnamed);
    EXPECT_EQ((Texts{L"名前なし(未登録)", L"名前なし2(未登録)", L"search(未登録)"}),
              run.ChildTexts(unnamed));

    // The any-application entry of one caption and one item is not shown.
    const HTREEITEM applications = run.Find(root, Res(22065));
    EXPECT_EQ((Texts{export_fixture::kApplicationName}), run.ChildTexts(applications));
    const HTREEITEM application = run.Child(applications);
    EXPECT_EQ((Texts{export_fixture::kApplicationCaption}), run.ChildTexts(application));
    EXPECT_EQ((Texts{L"経理"}), run.ChildTexts(run.Child(application)));

    const HTREEITEM policies = run.Find(root, Res(22066));
    EXPECT_EQ((Texts{L"エクスポート", L"インポート", L"Webフォームの登録", L"Webフォームの入力",
                     L"Webフォームの編集", L"アプリケーションの登録", L"アプリケーションの入力",
                     L"アプリケーションの編集"}),
              run.ChildTexts(policies));
    EXPECT_EQ((Texts{L"TPM", L"指紋センサー", L"Felicaポート", L"USBメモリ", L"SDメモリーカード"}),
              run.ChildTexts(run.Find(root, Res(22070))));

    // Nothing checked: the export's button is off.
    EXPECT_FALSE(::SendMessageW(run.ToolBar(), TB_ISBUTTONENABLED, kExportCommand, 0));

    run.ClickCheckBox(root);
    EXPECT_TRUE(run.AllChecked(root));
    ::Sleep(300); // the button follows at the program's next idle moment
    EXPECT_TRUE(::SendMessageW(run.ToolBar(), TB_ISBUTTONENABLED, kExportCommand, 0));

    // One policy unchecked: its group and the root follow, its siblings stay.
    const HTREEITEM exportPolicy = run.Child(policies);
    run.ClickCheckBox(exportPolicy);
    EXPECT_FALSE(run.Checked(exportPolicy));
    EXPECT_FALSE(run.Checked(policies));
    EXPECT_FALSE(run.Checked(root));
    EXPECT_TRUE(run.Checked(run.Next(exportPolicy)));
    EXPECT_TRUE(run.AllChecked(webForms));

    // The space bar checks it again, and with it everything above.
    run.ClickLabel(exportPolicy);
    run.PressSpace();
    EXPECT_TRUE(run.Checked(exportPolicy));
    EXPECT_TRUE(run.Checked(policies));
    EXPECT_TRUE(run.AllChecked(root));

    // Unchecking the root clears everything and turns the button off.
    run.ClickCheckBox(root);
    EXPECT_FALSE(run.Checked(root));
    EXPECT_FALSE(run.Checked(rich));
    ::Sleep(300);
    EXPECT_FALSE(::SendMessageW(run.ToolBar(), TB_ISBUTTONENABLED, kExportCommand, 0));
    EXPECT_TRUE(run.Close(kStartTimeout));
}

TEST_F(VantrelApp, ReportShowsTheSelectedItemOfEachKind) {
    VantrelProcess run;
    ASSERT_TRUE(run.Start());
    ASSERT_NE(nullptr, run.WaitUntilReady(kStartTimeout));
    const HTREEITEM root = run.Root();

    // A web-form item: its block with the title un-escaped, then its
    // controls by kind, the password masked.
    const HTREEITEM webForms = run.Find(root, Res(22064));
    const HTREEITEM rich =
        run.FindEndingWith(webForms, std::wstring(L"(") + export_fixture::kRichPageUrl + L")");
    run.ClickLabel(run.Find(rich, export_fixture::kRichItemName));
    std::wstring report = run.ReportText();
    EXPECT_EQ(0u, report.find(Res(22032) + Res(22033)));
    EXPECT_TRUE(Contains(report, std::wstring(L"   タイトル\t\t：  ") +
                                     export_fixture::kRichPageTitle + L"\r\n"));
    EXPECT_TRUE(Contains(report, std::wstring(L"   URL\t\t：  ") + export_fixture::kRichPageUrl));
    EXPECT_TRUE(Contains(report, std::wstring(L"   アイテム名\t：  ") +
                                     export_fixture::kRichItemName + L"\r\n"));
    EXPECT_TRUE(Contains(report, L"   フォーム名\t：  loginForm\r\n"));
    EXPECT_TRUE(Contains(report, L"   このアイテムを自動登録する\t：  有効\r\n"));
    EXPECT_TRUE(Contains(report, L"   データ入力後、自動送信する\t：  無効\r\n\r\n"));
    // One circle per character of the password as stored.
    const std::wstring circles(std::wstring(export_fixture::kRichPassword).size(), L'●');
    EXPECT_TRUE(Contains(report, Res(22041) + L"    名前\t：  password\r\n    値\t：  " + circles +
                                     L"\r\n"))
        << report;
    EXPECT_FALSE(Contains(report, L"w0,rd"));
    EXPECT_LT(report.find(Res(22040)), report.find(Res(22041)));

    // A form without NAME is found by its tree item.
    const HTREEITEM unnamed =
        run.Find(webForms, std::wstring(L"検索(") + export_fixture::kUnnamedPageUrl + L")");
    run.ClickLabel(run.Find(unnamed, L"search(未登録)"));
    report = run.ReportText();
    EXPECT_TRUE(Contains(report, L"   フォーム名\t：  search\r\n")) << report;
    EXPECT_TRUE(Contains(report, L"    名前\t：  q\r\n"));

    // An application item: the password as one "*" per character.
    const HTREEITEM application = run.Child(run.Find(root, Res(22065)));
    run.ClickLabel(run.Child(run.Child(application)));
    report = run.ReportText();
    EXPECT_EQ(0u, report.find(Res(22048) + Res(22033)));
    EXPECT_TRUE(Contains(report, std::wstring(L"   アプリケーション\t：  ") +
                                     export_fixture::kApplicationName + L"\r\n"));
    EXPECT_TRUE(Contains(report, std::wstring(L"   ウィンドウタイトル\t：  ") +
                                     export_fixture::kApplicationCaption + L"\r\n"));
    EXPECT_TRUE(
        Contains(report, L"   データ入力後、オートクリックする\t：  有効(100, 50)\r\n\r\n"));
    const std::wstring stars(std::wstring(export_fixture::kApplicationPassword).size(), L'*');
    EXPECT_TRUE(Contains(report, Res(22041) + L"   値　　：" + stars + L"\r\n")) << report;
    EXPECT_TRUE(Contains(report, L"   値　　：user01\r\n"));

    // Policies: the stored values of the fixture.
    const HTREEITEM policies = run.Find(root, Res(22066));
    run.ClickLabel(run.Child(policies));
    EXPECT_EQ(Res(22021) + L"  エクスポート\t： " +
                  (export_fixture::kPolicyValues[0] ? L"有効" : L"無効"),
              run.ReportText());
    run.ClickLabel(run.Find(policies, L"アプリケーションの編集"));
    EXPECT_EQ(Res(22021) + L"  アプリケーションの編集\t： " +
                  (export_fixture::kPolicyValues[7] ? L"有効" : L"無効"),
              run.ReportText());

    // A group has no report.
    run.ClickLabel(policies);
    EXPECT_EQ(L"", run.ReportText());

    run.ClickLabel(run.Find(root, Res(22069)));
    report = run.ReportText();
    EXPECT_EQ(0u, report.find(Res(22029) + L"  " + export_fixture::kRuleName)) << report;
    EXPECT_TRUE(Contains(report, Res(22031) + L"  " + export_fixture::kTouchText));

    const HTREEITEM devices = run.Find(root, Res(22070));
    run.ClickLabel(run.Find(devices, L"Felicaポート"));
    EXPECT_EQ(Res(22023) + L"  Felicaカード情報  :  登録済", run.ReportText());
    run.ClickLabel(run.Find(devices, L"TPM"));
    EXPECT_EQ(0u, run.ReportText().find(Res(22023) + L"  TPM PIN のキャッシュ設定  :  "));

    run.ClickLabel(run.Find(root, Res(22067)));
    EXPECT_EQ(0u, run.ReportText().find(Res(22001) + Res(22004).substr(0, 10)));
    run.ClickLabel(run.Find(root, Res(22068)));
    EXPECT_EQ(0u, run.ReportText().find(Res(22015)));
    EXPECT_TRUE(run.Close(kStartTimeout));
}

TEST_F(VantrelApp, WindowPlaceAndTreeWidthSurviveTheNextStart) {
    ForgetPosition();
    {
        VantrelProcess run;
        ASSERT_TRUE(run.Start());
        ASSERT_NE(nullptr, run.WaitUntilReady(kStartTimeout));
        // Nothing stored: the start-up size and the default tree width.
        const HDC screen = ::GetDC(nullptr);
        const SIZE initial = InitialWindowSize(::GetDeviceCaps(screen, LOGPIXELSX),
                                               ::GetDeviceCaps(screen, LOGPIXELSY));
        ::ReleaseDC(nullptr, screen);
        const RECT start = WindowRect(run.Main());
        EXPECT_EQ(initial.cx, start.right - start.left);
        EXPECT_EQ(initial.cy, start.bottom - start.top);
        EXPECT_EQ(320, Width(run.Tree()));

        // The user moves and sizes the window and drags the split bar.
        ::SetWindowPos(run.Main(), nullptr, 50, 40, 800, 600, SWP_NOZORDER);
        const HWND splitter = ::GetParent(run.Tree());
        const LPARAM grab = MAKELPARAM(323, 50);
        const LPARAM drop = MAKELPARAM(403, 50);
        ::PostMessageW(splitter, WM_LBUTTONDOWN, MK_LBUTTON, grab);
        ::PostMessageW(splitter, WM_MOUSEMOVE, MK_LBUTTON, drop);
        ::PostMessageW(splitter, WM_LBUTTONUP, 0, drop);
        ::Sleep(300);
        ::SendMessageW(splitter, WM_NULL, 0, 0);
        EXPECT_EQ(400, Width(run.Tree()));
        ASSERT_TRUE(run.Close(kStartTimeout));
    }
    EXPECT_EQ(50, ProfileInt(L"Left"));
    EXPECT_EQ(40, ProfileInt(L"Top"));
    EXPECT_EQ(850, ProfileInt(L"Right"));
    EXPECT_EQ(640, ProfileInt(L"Bottom"));
    EXPECT_EQ(400, ProfileInt(L"Split"));
    {
        VantrelProcess run;
        ASSERT_TRUE(run.Start());
        ASSERT_NE(nullptr, run.WaitUntilReady(kStartTimeout));
        const RECT again = WindowRect(run.Main());
        EXPECT_EQ(50, again.left);
        EXPECT_EQ(40, again.top);
        EXPECT_EQ(850, again.right) << "the start-up size replaced the stored one";
        EXPECT_EQ(640, again.bottom);
        EXPECT_EQ(400, Width(run.Tree()));
        // Closed while minimised: the place it comes back to is kept, not
        // the icon's.
        ::PostMessageW(run.Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        for (int i = 0; i < 40 && !::IsIconic(run.Main()); ++i)
            ::Sleep(50);
        EXPECT_TRUE(::IsIconic(run.Main()));
        ASSERT_TRUE(run.Close(kStartTimeout));
    }
    EXPECT_EQ(50, ProfileInt(L"Left"));
    EXPECT_EQ(40, ProfileInt(L"Top"));
    EXPECT_EQ(850, ProfileInt(L"Right"));
    EXPECT_EQ(640, ProfileInt(L"Bottom"));
    // A tree wider than the window is the window's width less 50.
    ::WritePrivateProfileStringW(kSection, L"Split", L"2000", kProfile);
    {
        VantrelProcess run;
        ASSERT_TRUE(run.Start());
        ASSERT_NE(nullptr, run.WaitUntilReady(kStartTimeout));
        EXPECT_EQ(800 - 50, Width(run.Tree()));
        ASSERT_TRUE(run.Close(kStartTimeout));
    }
    ForgetPosition();
}

// ---------------------------------------------------------------------------
// The export from the main window.

using peltrix::test::AutoAnswer;

std::wstring TempFile(const wchar_t* name) {
    wchar_t dir[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, dir);
    const std::wstring path = std::wstring(dir) + name;
    ::DeleteFileW(path.c_str());
    return path;
}

std::string ReadAll(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes(::GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    if (!bytes.empty())
        ::ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    ::CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

// Ticks everything by the root's box, then unticks the page whose title
// code page 932 cannot hold (its export would fail, as it should).
void TickEverythingWritable(VantrelProcess& run) {
    const HTREEITEM root = run.Root();
    run.ClickCheckBox(root);
    const HTREEITEM webForms = run.Find(root, Res(22064));
    const HTREEITEM outside = run.FindEndingWith(
        webForms, std::wstring(L"(") + export_fixture::kOutsideCodePageUrl + L")");
    ASSERT_NE(nullptr, outside);
    run.ClickCheckBox(outside);
    ASSERT_FALSE(run.Checked(outside));
    ASSERT_TRUE(run.Checked(run.Find(root, Res(22066))));
    ::Sleep(300); // the tool button follows at the program's next idle moment
    ASSERT_TRUE(::SendMessageW(run.ToolBar(), TB_ISBUTTONENABLED, kExportCommand, 0));
}

// Everything written; the fixture's one password that cannot be opened is
// written empty and told at the end.
void ExpectSuccess(const ExportSeen& seen) {
    EXPECT_TRUE(seen.dialogFound);
    EXPECT_TRUE(seen.progressFound);
    EXPECT_TRUE(seen.ownedByMain);
    if (seen.runningSeen) EXPECT_TRUE(seen.mainDisabledWhileRunning);
    ASSERT_TRUE(seen.ended);
    EXPECT_EQ(L"警告", seen.title);
    EXPECT_EQ(L"機密情報 1 件を読み取れず、空で出力しました。", seen.status);
    EXPECT_EQ(L"", seen.error);
    EXPECT_GT(seen.sections, 10);
    EXPECT_TRUE(seen.mainEnabledAfter);
    EXPECT_TRUE(seen.released);
}

TEST_F(VantrelApp, TickedItemsAreExportedSealedWithThePassphraseAndInTheClear) {
    AutoAnswer allow(AUTHCASE_EXPORT, AutoAnswer::kAllow);
    ASSERT_TRUE(allow.Applied());
    VantrelProcess run;
    ASSERT_TRUE(run.Start());
    ASSERT_NE(nullptr, run.WaitUntilReady(kStartTimeout));
    TickEverythingWritable(run);

    const std::wstring passphrase = L"輸出用の合言葉 2026";
    const std::wstring sealedPath = TempFile(L"vantrel_app_sealed.csv");
    const ExportSeen sealed = run.Export(sealedPath, passphrase);
    ExpectSuccess(sealed);
    EXPECT_TRUE(sealed.questions.empty());

    // Without a passphrase the dialog asks first; OK writes the clear file.
    const std::wstring clearPath = TempFile(L"vantrel_app_clear.csv");
    const ExportSeen clear = run.Export(clearPath, L"");
    ExpectSuccess(clear);
    EXPECT_EQ((Texts{Res(22089)}), clear.questions);
    EXPECT_EQ(sealed.sections, clear.sections);
    EXPECT_TRUE(run.Close(kStartTimeout));

    const std::string sealedText = ReadAll(sealedPath);
    const std::string clearText = ReadAll(clearPath);
    ::DeleteFileW(sealedPath.c_str());
    ::DeleteFileW(clearPath.c_str());
    EXPECT_EQ(0u, clearText.find("\"Version\",\"5\","));
    const sealed_export::Comparison opened =
        sealed_export::CompareSealedWithClear(sealedText, clearText, passphrase);
    EXPECT_TRUE(opened.matches) << opened.mismatch;
    EXPECT_GT(opened.lines, 10u);
    EXPECT_GT(opened.opened, 5u);
    // Every secret field opens to what the fixture stored, byte for byte, and
    // no secret is in the sealed file in clear; the clear file has them escaped.
    const sealed_export::SecretsCheck secrets =
        sealed_export::CheckFixtureSecrets(sealedText, passphrase);
    for (const std::string& fault : secrets.faults)
        ADD_FAILURE() << fault;
    EXPECT_GT(secrets.fields, 20u);
    for (const char* secret : {"\"pa\\\"ss\\\\nw0,rd\x8d\x87\x8c\xbe\x97\x74\"",
                               "\"keihi\\\"20,26\\\\n\x8c\x6f\x94\xef\""}) {
        EXPECT_NE(std::string::npos, clearText.find(secret)) << secret;
    }
    // The unticked page is not in the file.
    EXPECT_EQ(std::string::npos, clearText.find("emoji.example.jp"));
    EXPECT_NE(std::string::npos, clearText.find("login.example.jp/members"));
}

TEST_F(VantrelApp, CloseIsIgnoredWhileTheExportRunsAndTheFileIsWrittenWhole) {
    VantrelProcess run;
    ASSERT_TRUE(run.Start());
    ASSERT_NE(nullptr, run.WaitUntilReady(kStartTimeout));
    TickEverythingWritable(run);
    const std::wstring referencePath = TempFile(L"vantrel_app_reference.csv");
    {
        AutoAnswer allow(AUTHCASE_EXPORT, AutoAnswer::kAllow);
        ASSERT_TRUE(allow.Applied());
        ExpectSuccess(run.Export(referencePath, L""));
    }

    // No answer is live: the worker waits at the PIN dialog while the
    // close box is pressed.
    const std::wstring path = TempFile(L"vantrel_app_close.csv");
    std::unique_ptr<AutoAnswer> allow;
    bool stayed = false;
    bool progressStayed = false;
    const ExportSeen seen = run.Export(
        path, L"",
        [&](HWND progress) {
            for (int i = 0; i < 3; ++i) {
                ::PostMessageW(run.Main(), WM_CLOSE, 0, 0);
                ::Sleep(200);
            }
            ::SendMessageW(run.Main(), WM_NULL, 0, 0);
            stayed = !run.WaitForEnd(0) && ::IsWindow(run.Main()) && ::IsWindowVisible(run.Main());
            progressStayed =
                ::IsWindow(progress) && !::IsWindowEnabled(::GetDlgItem(progress, IDOK));
            allow = std::make_unique<AutoAnswer>(AUTHCASE_EXPORT, AutoAnswer::kAllow);
        },
        120000, false);
    EXPECT_TRUE(stayed) << "the main window closed while the export ran";
    EXPECT_TRUE(progressStayed);
    // The worker waited at the PIN dialog: the run was seen going on.
    EXPECT_TRUE(seen.runningSeen);
    EXPECT_TRUE(seen.mainDisabledWhileRunning);
    ASSERT_TRUE(seen.ended);
    EXPECT_EQ(L"警告", seen.title);
    EXPECT_TRUE(seen.mainEnabledAfter);
    allow.reset();

    const std::string reference = ReadAll(referencePath);
    const std::string written = ReadAll(path);
    ::DeleteFileW(referencePath.c_str());
    ::DeleteFileW(path.c_str());
    EXPECT_GT(reference.size(), 1000u);
    EXPECT_TRUE(reference == written) << "the file is not the whole export (" << written.size()
                                      << " of " << reference.size() << " bytes)";
    // Once the export has ended the window closes again, the progress
    // dialog left open going with it, and the program ends cleanly.
    const HWND progress = run.FindProgressDialog();
    EXPECT_NE(nullptr, progress);
    ASSERT_TRUE(run.Close(kStartTimeout));
    DWORD exitCode = 1;
    ::GetExitCodeProcess(run.Handle(), &exitCode);
    EXPECT_EQ(0u, exitCode);
}

} // namespace
} // namespace vantrel::test
