// The toolbar driven as a user would: its button opens the menu, menu items
// are chosen by their accelerators, message boxes are answered by finding
// them, the input button is clicked.
#include "AutoAnswer.h"
#include "BandFixture.h"
#include "DialogDriver.h"
#include "LiveForm.h"
#include "MenuDriver.h"

#include "InstallFolder.h"
#include "Win32Handles.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

class Toolbar : public BandFixture {
protected:
    HWND Bar() { return Band().Bar().m_hWnd; }

    // Clicks the drop-down button's face (left of its arrow) with the mouse.
    void ClickMenuButton() {
        RECT rect{};
        ASSERT_TRUE(::SendMessageW(Bar(), TB_GETRECT, 102, reinterpret_cast<LPARAM>(&rect)));
        const LPARAM at = MAKELPARAM(rect.left + 4, (rect.top + rect.bottom) / 2);
        ::PostMessageW(Bar(), WM_MOUSEMOVE, 0, at);
        ::PostMessageW(Bar(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(Bar(), WM_LBUTTONUP, 0, at);
        Pump(100);
    }

    // Opens the menu, reads it and chooses key (0: closes it).
    std::vector<std::wstring> ChooseFromMenu(wchar_t key, std::function<void()> after = nullptr,
                                             std::function<void()> whileOpen = nullptr) {
        MenuDriver driver(key, std::move(after), std::move(whileOpen));
        ClickMenuButton();
        driver.Join();
        Pump(100);
        EXPECT_TRUE(driver.Seen()) << "the menu did not open";
        return driver.Items();
    }

    int StoredStopFunc() {
        CExpData store;
        EXPECT_TRUE(store.GetOptionData());
        return store.m_option.m_nStopFunc;
    }

    std::wstring m_boxText;
    HICON m_boxIcon = nullptr;
    // A step for the menu driver: reads and closes the message box the
    // command shows over the toolbar.
    std::function<void()> AnswerMessageBox() {
        // A child window's box is owned by its top-level window.
        HWND owner = ::GetAncestor(Bar(), GA_ROOT);
        return [this, owner] {
            HWND box = DialogDriver::WaitForMessageBox(owner, 10000);
            if (!box) {
                // Whatever else showed must not keep the test thread waiting.
                for (HWND w :
                     DialogDriver::ThreadWindows(::GetWindowThreadProcessId(owner, nullptr))) {
                    wchar_t name[16] = {};
                    ::GetClassNameW(w, name, 16);
                    if (::lstrcmpW(name, L"#32770") == 0 && ::IsWindowVisible(w))
                        ::PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
                }
                return;
            }
            m_boxText = DialogDriver::MessageBoxText(box);
            m_boxIcon = DialogDriver::MessageBoxIcon(box);
            DialogDriver::DismissMessageBox(box);
        };
    }
};

TEST_F(Toolbar, TheMenuOffersItsFourCommandsAndTheSwitchFollowsStopFunc) {
    CreateBand();
    const std::vector<std::wstring> running = ChooseFromMenu(0);
    ASSERT_EQ(running.size(), 4u);
    EXPECT_EQ(running[0], L"登録(&R)...");
    EXPECT_EQ(running[1], L"データ管理(&M)...");
    EXPECT_EQ(running[2], L"機能停止(&S)");
    EXPECT_EQ(running[3], L"オプション設定(&O)...");
    EXPECT_EQ(Band().Bar().IconId(), 222);

    SetOptions(1, 0); // stopped meanwhile, e.g. from another window
    const std::vector<std::wstring> stopped = ChooseFromMenu(0);
    ASSERT_EQ(stopped.size(), 4u);
    EXPECT_EQ(stopped[2], L"機能開始(&S)");
    EXPECT_EQ(Band().Bar().IconId(), 225) << "the icon follows at the menu's opening";
    EXPECT_TRUE(::IsWindowEnabled(Bar())) << "enabled again after the menu";
}

TEST_F(Toolbar, TheSwitchTurnsTheFeatureOffAndOnAgain) {
    CreateBand();
    ASSERT_EQ(StoredStopFunc(), 0);
    ChooseFromMenu(L's');
    EXPECT_EQ(StoredStopFunc(), 1);
    EXPECT_EQ(Band().Bar().IconId(), 225);
    ChooseFromMenu(L's');
    EXPECT_EQ(StoredStopFunc(), 0);
    EXPECT_EQ(Band().Bar().IconId(), 222);
}

TEST_F(Toolbar, RegistrationOnAPageWithoutAStorableFormSaysSo) {
    CreateBand();
    Show(L"hiddenonly.html");
    ChooseFromMenu(L'r', AnswerMessageBox());
    EXPECT_EQ(m_boxText, L"このページにはフォームがありません。");
    EXPECT_TRUE(m_boxIcon) << "the error icon";
}

namespace {

// The running processes of one program (by file name).
std::vector<DWORD> ProcessesNamed(const wchar_t* name) {
    std::vector<DWORD> ids;
    const torva::UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
         more = ::Process32NextW(snapshot.get(), &entry)) {
        if (::lstrcmpiW(entry.szExeFile, name) == 0) ids.push_back(entry.th32ProcessID);
    }
    return ids;
}

} // namespace

TEST_F(Toolbar, TheDataManagerIsStartedOnlyWhenInstalled) {
    CreateBand();
    const std::wstring program = torva::InstallFolder() + L"\\Mablix.exe";
    const std::wstring away = program + L".away";
    if (::GetFileAttributesW(program.c_str()) != INVALID_FILE_ATTRIBUTES) {
        // Installed: the command starts it (it then asks for the PIN).
        ASSERT_TRUE(ProcessesNamed(L"Mablix.exe").empty()) << "a manager is running already";
        ChooseFromMenu(L'm');
        std::vector<DWORD> started;
        for (int i = 0; i < 200 && started.empty(); ++i) {
            Pump(50);
            started = ProcessesNamed(L"Mablix.exe");
        }
        ASSERT_EQ(started.size(), 1u) << "the manager was not started";
        const torva::UniqueHandle process(
            ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, started[0]));
        ASSERT_TRUE(process);
        ::TerminateProcess(process.get(), 0);
        ::WaitForSingleObject(process.get(), 10000);
        // Missing: the command says so instead of starting anything.
        ASSERT_TRUE(::MoveFileW(program.c_str(), away.c_str()));
    }
    ChooseFromMenu(L'm', AnswerMessageBox());
    if (::GetFileAttributesW(away.c_str()) != INVALID_FILE_ATTRIBUTES) {
        EXPECT_TRUE(::MoveFileW(away.c_str(), program.c_str()));
    }
    EXPECT_NE(m_boxText.find(L"Mablix.exe"), std::wstring::npos) << "got: " << m_boxText.size();
    EXPECT_NE(m_boxText.find(L"インストールされていません"), std::wstring::npos);
}

TEST_F(Toolbar, TheListShowsThePagesEntriesAndTheManagersCloseRefreshesIt) {
    CDataWebForm& first = StorePage(PageUrl(L"login.html"), [](CDataWebForm& page) {
        MakeLogin(page.AddItem(), L"最初", L"first", L"", 0);
    });
    CreateBand();
    Show(L"login.html");
    ASSERT_EQ(ComboTexts(), std::vector<std::wstring>{L"最初"});

    // The manager stores the page again with a second entry and closes.
    ASSERT_TRUE(Store().DeleteWebPageData(&first));
    StorePage(PageUrl(L"login.html"), [](CDataWebForm& page) {
        MakeLogin(page.AddItem(), L"最初", L"first", L"", 0);
        MakeLogin(page.AddItem(), L"二番目", L"second", L"", 0);
    });
    ASSERT_EQ(ComboTexts().size(), 1u) << "not refreshed by itself";
    ::PostMessageW(Bar(), WM_USER + 400, 2, 0);
    Pump(200);

    const std::vector<std::wstring> texts = ComboTexts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1], L"二番目");
    EXPECT_TRUE(::IsWindowEnabled(Band().Bar().ComboBox()));
    EXPECT_TRUE(::IsWindowEnabled(Band().Bar().InputButton()));
}

TEST_F(Toolbar, TheInputButtonFillsTheChosenEntry) {
    SetOptions(0, 1); // nothing filled by itself
    StorePage(PageUrl(L"login.html"), [](CDataWebForm& page) {
        MakeLogin(page.AddItem(), L"仕事用", L"work", L"", 1);
        MakeLogin(page.AddItem(), L"個人用", L"home", L"", 0);
    });
    CreateBand();
    Show(L"login.html");
    ASSERT_EQ(ComboTexts().size(), 2u);
    ASSERT_EQ(LiveForm(Top()).Value(L"user"), L"");
    HWND combo = Band().Bar().ComboBox();
    HWND input = Band().Bar().InputButton();
    const peltrix::test::AutoAnswer allow(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    ASSERT_TRUE(allow.Applied());

    ::SendMessageW(combo, CB_SETCURSEL, 1, 0);
    ::SendMessageW(input, BM_CLICK, 0, 0);
    Pump(50);

    EXPECT_EQ(LiveForm(Top()).Value(L"user"), L"home");
    wchar_t text[32] = {};
    ::GetWindowTextW(input, text, 32);
    EXPECT_STREQ(text, L"入力開始");
    EXPECT_TRUE(::IsWindowEnabled(input));
}

TEST_F(Toolbar, TheInputButtonWithoutAChoiceFillsNothing) {
    SetOptions(0, 1);
    StorePage(PageUrl(L"login.html"),
              [](CDataWebForm& page) { MakeLogin(page.AddItem(), L"仕事用", L"work", L"", 1); });
    CreateBand();
    Show(L"login.html");
    HWND combo = Band().Bar().ComboBox();
    HWND input = Band().Bar().InputButton();
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    ::SendMessageW(input, BM_CLICK, 0, 0);
    Pump(50);
    EXPECT_EQ(LiveForm(Top()).Value(L"user"), L"");
    EXPECT_TRUE(::IsWindowEnabled(input));
}

namespace {

// The GDI objects the process holds. Wine answers GetGuiResources with
// ERROR_CALL_NOT_IMPLEMENTED; there a live object answers GetObjectType by
// its slot in the handle table alone, so the live slots are counted.
DWORD GdiObjects() {
    ::SetLastError(0);
    const DWORD reported = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported != 0 || ::GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return reported;
    DWORD live = 0;
    for (UINT_PTR slot = 1; slot < 0x10000; ++slot) {
        if (::GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0) ++live;
    }
    return live;
}

} // namespace

TEST_F(Toolbar, ThePreselectedEntryIsDrawnWithTheBoldFontMadeOnce) {
    StorePage(PageUrl(L"login.html"), [](CDataWebForm& page) {
        MakeLogin(page.AddItem(), L"仕事用", L"work", L"", 0);
        MakeLogin(page.AddItem(), L"個人用", L"home", L"", 1);
    });
    SetOptions(0, 1);
    CreateBand();
    Show(L"login.html");
    ASSERT_EQ(Band().Bar().PreselectedIndex(), 1);
    HWND combo = Band().Bar().ComboBox();
    // The list drawn again and again, dropped down, and the menu opened, as
    // a user going back and forth would have it.
    const auto round = [&] {
        for (int i = 0; i < 4; ++i) {
            ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(i % 2), 0);
            ::InvalidateRect(combo, nullptr, TRUE);
            ::UpdateWindow(combo);
        }
        ::SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
        Pump(20);
        ::SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
        ChooseFromMenu(0);
    };
    round(); // what is made once is made now
    const DWORD before = GdiObjects();
    ASSERT_GT(before, 0u);
    for (int i = 0; i < 8; ++i)
        round();
    EXPECT_EQ(GdiObjects(), before) << "nothing made per draw or per opening stays behind";
    EXPECT_EQ(Band().Bar().LastDrawnIndex(), 1);
}

TEST_F(Toolbar, RegistrationOfAStoredPageAsksAddOrOverwrite) {
    StorePage(PageUrl(L"login.html"), [](CDataWebForm& page) {
        MakeLogin(page.AddItem(), L"仕事用", L"work", L"secret", 0);
    });
    SetOptions(0, 1);
    CreateBand();
    Show(L"login.html");
    bool asked = false;
    DialogDriver choice(L"登録方法選択", [&asked](DialogDriver& d) {
        asked = d.Dialog() != nullptr;
        if (asked) DialogDriver::Click(d.Dialog(), IDCANCEL);
    });
    ChooseFromMenu(L'r');
    choice.Join();
    EXPECT_TRUE(asked);
    EXPECT_FALSE(choice.LeftOpen());
}

TEST_F(Toolbar, RegistrationOnAFramesetWithTwoFormsAsksWhichFrame) {
    CreateBand();
    Show(L"frames.html");
    bool asked = false;
    DialogDriver choice(L"フレーム選択", [&asked](DialogDriver& d) {
        asked = d.Dialog() != nullptr;
        if (asked) DialogDriver::Click(d.Dialog(), IDCANCEL);
    });
    ChooseFromMenu(L'r');
    choice.Join();
    EXPECT_TRUE(asked);
    EXPECT_FALSE(choice.LeftOpen());
}

TEST_F(Toolbar, ABandLetGoWhileACommandRunsStaysUntilTheCommandIsOver) {
    // The browser lets the band go (its window closes, a script closes it)
    // while a command of the toolbar sits in a loop: the band, its toolbar
    // and the store the command uses stay until the command is over, then go.
    StorePage(PageUrl(L"login.html"), [](CDataWebForm& page) {
        MakeLogin(page.AddItem(), L"仕事用", L"work", L"secret", 0);
    });
    SetOptions(0, 1);
    const peltrix::test::AutoAnswer allow(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    ASSERT_TRUE(allow.Applied());
    HWND toolbar = nullptr;
    bool stayed = false;
    // Lets the band go on the test thread; whether its toolbar was still there.
    const auto letGo = [&] {
        OnTestThread([&] {
            DestroyBand();
            stayed = ::IsWindow(toolbar) != FALSE;
        });
    };
    const auto start = [&] {
        stayed = false;
        CreateBand();
        Show(L"login.html");
        toolbar = Bar();
    };

    // The input button, while the fill waits for the authentication.
    start();
    OnBrowserDisabled(letGo);
    ::SendMessageW(Band().Bar().ComboBox(), CB_SETCURSEL, 0, 0);
    ::SendMessageW(Band().Bar().InputButton(), BM_CLICK, 0, 0);
    EXPECT_TRUE(stayed) << "the input button";
    EXPECT_EQ(LiveForm(Top()).Value(L"user"), L"work") << "the fill went on";
    EXPECT_EQ(LiveForm(Top()).Value(L"pw"), L"secret");
    Pump(100);
    EXPECT_FALSE(::IsWindow(toolbar)) << "gone after the input button";
    EXPECT_TRUE(::IsWindowEnabled(TopWindow()));

    // The menu itself, while it is open.
    start();
    ChooseFromMenu(0, nullptr, letGo);
    EXPECT_TRUE(stayed) << "the menu";
    Pump(100);
    EXPECT_FALSE(::IsWindow(toolbar)) << "gone after the menu";

    // "登録", while it asks whether to add or overwrite.
    start();
    {
        DialogDriver choice(L"登録方法選択", [&](DialogDriver& d) {
            letGo();
            DialogDriver::Click(d.Dialog(), IDCANCEL);
        });
        ChooseFromMenu(L'r');
        choice.Join();
        EXPECT_TRUE(choice.Dialog());
    }
    EXPECT_TRUE(stayed) << "the registration";
    Pump(100);
    EXPECT_FALSE(::IsWindow(toolbar)) << "gone after the registration";

    // "オプション設定", while its dialog is open.
    start();
    {
        DialogDriver options(L"オプション設定", [&](DialogDriver& d) {
            letGo();
            DialogDriver::Click(d.Dialog(), IDCANCEL);
        });
        ChooseFromMenu(L'o');
        options.Join();
        EXPECT_TRUE(options.Dialog());
    }
    EXPECT_TRUE(stayed) << "the options";
    Pump(100);
    EXPECT_FALSE(::IsWindow(toolbar)) << "gone after the options";
}
