#include "IexploreRun.h"
#include "TestPages.h"

#include <Win32Handles.h>

#include <fstream>

using namespace browser_test;

namespace {

std::wstring ShotPath() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"browser-test-shot.bmp";
}

// A dialog of "another component": a window with an edit box and buttons.
struct FakeDialog {
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == WM_COMMAND && HIWORD(w) == BN_CLICKED && LOWORD(w) == kNeverAgain)
            ++ticks;
        else if (m == WM_COMMAND && HIWORD(w) == BN_CLICKED)
            pressed = LOWORD(w);
        return DefWindowProcW(h, m, w, l);
    }
    FakeDialog() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"BrowserTestFakeDialog";
        RegisterClassW(&wc);
        window.reset(CreateWindowExW(0, wc.lpszClassName, L"Fake Dialog", WS_OVERLAPPEDWINDOW, 0, 0,
                                     300, 200, nullptr, nullptr, wc.hInstance, nullptr));
        edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, window.get(),
                               nullptr, nullptr, nullptr);
        CreateWindowExW(0, L"BUTTON", L"\u306F\u3044(&Y)", WS_CHILD | WS_VISIBLE, 0, 30, 80, 24,
                        window.get(), reinterpret_cast<HMENU>(IDYES), nullptr, nullptr);
        CreateWindowExW(0, L"BUTTON", L"Cancel", WS_CHILD | WS_VISIBLE, 90, 30, 80, 24,
                        window.get(), reinterpret_cast<HMENU>(IDCANCEL), nullptr, nullptr);
        // A box that ticks itself when clicked, and one its dialog would
        // have to tick (this one never does).
        CreateWindowExW(0, L"BUTTON", L"Never again(&C)", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX,
                        0, 60, 160, 20, window.get(), reinterpret_cast<HMENU>(kNeverAgain), nullptr,
                        nullptr);
        CreateWindowExW(0, L"BUTTON", L"Manual", WS_CHILD | WS_VISIBLE | BS_CHECKBOX, 0, 90, 160,
                        20, window.get(), reinterpret_cast<HMENU>(kManual), nullptr, nullptr);
        // Two choices of one group, the first chosen.
        CreateWindowExW(0, L"BUTTON", L"Add(&A)",
                        WS_CHILD | WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON, 0, 120, 160, 20,
                        window.get(), reinterpret_cast<HMENU>(kAdd), nullptr, nullptr);
        CreateWindowExW(0, L"BUTTON", L"Overwrite(&U)", WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON,
                        0, 150, 160, 20, window.get(), reinterpret_cast<HMENU>(kOverwrite), nullptr,
                        nullptr);
        CheckDlgButton(window.get(), kAdd, BST_CHECKED);
    }
    static constexpr int kNeverAgain = 241;
    static constexpr int kManual = 242;
    static constexpr int kAdd = 243;
    static constexpr int kOverwrite = 244;
    torva::UniqueWindow window;
    HWND edit = nullptr;
    static inline int pressed = 0;
    static inline int ticks = 0; // clicks on the self-ticking box
};

} // namespace

TEST_F(Iexplore, ScriptFillsTheLoginPageAndTheBandSeesItAll) {
    const std::string pages = Narrow(PagePath(L""));
    std::wstring log;
    const DWORD code = RunBrowser("# a user signs in\n"
                                  "open \"" +
                                      pages +
                                      "controls.html\"\n"
                                      "wait-page controls.html\n"
                                      "type user bob\n"
                                      "type pass \"s3cret word\"\n"
                                      "check news\n"
                                      "check plan team\n"
                                      "choose lang Deutsch\n"
                                      "choose tags B\n"
                                      "type note \"a note\"\n"
                                      "expect-value user bob\n"
                                      "expect-value plan basic\n"
                                      "click \"Sign in\"\n"
                                      "wait-page done.html\n"
                                      // The address line follows the form's navigation.
                                      "expect-address done.html?user=bob\n"
                                      "expect-url pass=s3cret+word\n"
                                      "expect-url plan=team\n"
                                      "expect-url lang=Deutsch\n"
                                      "expect-url tags=a&tags=b&tags=c\n"
                                      "expect-url note=a+note\n"
                                      "expect-text \"Signed in.\"\n"
                                      "screenshot \"" +
                                      Narrow(ShotPath()) + "\"\n",
                                  log);
    EXPECT_EQ(code, 0u) << Narrow(log);
    EXPECT_NE(log.find(L"script passed"), std::wstring::npos) << Narrow(log);
    // The band: created, sited with a window, given the browser, shown, told
    // of every page, and closed and unsited at the end after OnQuit.
    EXPECT_EQ(Result(L"Sited"), L"1");
    EXPECT_EQ(Result(L"InputObjectSite"), L"1");
    EXPECT_EQ(Result(L"GotBrowser"), L"1");
    EXPECT_EQ(Result(L"GetBandInfo"), L"0");
    EXPECT_EQ(Result(L"ShowDW"), L"1");
    EXPECT_EQ(Result(L"ResizeBorderDW"), L"1");
    EXPECT_EQ(Result(L"DocumentCompleteCount"),
              L"3"); // about:blank at start, the login page, done.html
    EXPECT_NE(Result(L"DocumentComplete").find(L"done.html?user=bob"), std::wstring::npos);
    EXPECT_EQ(Result(L"OnQuit"), L"1");
    EXPECT_EQ(Result(L"HideDW"), L"1");
    EXPECT_EQ(Result(L"CloseDW"), L"1");
    EXPECT_EQ(Result(L"Unsited"), L"1");
    char magic[2] = {};
    std::ifstream shot(ShotPath().c_str(), std::ios::binary);
    shot.read(magic, 2);
    EXPECT_EQ(std::string(magic, 2), "BM");
}

TEST_F(Iexplore, ScriptWaitsForAnotherComponentsWindowAndWorksIt) {
    FakeDialog dialog;
    std::wstring log;
    const DWORD code = RunBrowser("wait-window \"Fake Dialog\" 5000\n"
                                  "dialog-type \"Fake Dialog\" 0 \"typed into it\"\n"
                                  "dialog-click \"Fake Dialog\" \"\xE3\x81\xAF\xE3\x81\x84(&Y)\"\n"
                                  "wait-window \"No Such Window\" 300\n",
                                  log);
    EXPECT_EQ(code, 1u); // the last wait times out
    EXPECT_NE(log.find(L"ok 3:"), std::wstring::npos) << Narrow(log);
    EXPECT_NE(log.find(L"FAIL 4: wait-window No Such Window 300 -- no window appeared"),
              std::wstring::npos);
    wchar_t text[64] = {};
    GetWindowTextW(dialog.edit, text, 64);
    EXPECT_STREQ(text, L"typed into it");
    EXPECT_EQ(FakeDialog::pressed, IDYES);
}

TEST_F(Iexplore, ScriptTicksAnotherComponentsCheckBoxAsAUserAndReadsItBack) {
    FakeDialog dialog;
    ShowWindow(dialog.window.get(), SW_SHOWNOACTIVATE); // a user sees what he clicks
    FakeDialog::ticks = 0;
    FakeDialog::pressed = 0;
    std::wstring log;
    DWORD code = RunBrowser("wait-window \"Fake Dialog\" 5000\n"
                            "dialog-check \"Fake Dialog\" 241\n"
                            "dialog-check \"Fake Dialog\" 241 on\n"
                            "dialog-check \"Fake Dialog\" \"Never again(&C)\" off\n"
                            "dialog-check \"Fake Dialog\" \"Never again(C)\" on\n" // as shown
                            "dialog-check \"Fake Dialog\" Cancel\n",
                            log);
    EXPECT_EQ(code, 1u);
    EXPECT_NE(log.find(L"ok 5:"), std::wstring::npos) << Narrow(log);
    EXPECT_NE(log.find(L"FAIL 6: dialog-check Fake Dialog Cancel -- no check box Cancel"),
              std::wstring::npos)
        << Narrow(log);
    // Clicked on, off and on again; the box that was already ticked was
    // left alone.
    EXPECT_EQ(FakeDialog::ticks, 3);
    EXPECT_EQ(IsDlgButtonChecked(dialog.window.get(), FakeDialog::kNeverAgain), BST_CHECKED);
    EXPECT_EQ(FakeDialog::pressed, 0);

    // A box whose dialog does not tick it fails the step.
    log.clear();
    code = RunBrowser("dialog-check \"Fake Dialog\" 242\n", log);
    EXPECT_EQ(code, 1u);
    EXPECT_NE(log.find(L"FAIL 1: dialog-check Fake Dialog 242 -- the box stays unticked"),
              std::wstring::npos)
        << Narrow(log);
}

TEST_F(Iexplore, ScriptChoosesAnotherComponentsRadioButtonAsAUser) {
    FakeDialog dialog;
    ShowWindow(dialog.window.get(), SW_SHOWNOACTIVATE);
    FakeDialog::pressed = 0;
    std::wstring log;
    const DWORD code = RunBrowser("wait-window \"Fake Dialog\" 5000\n"
                                  "dialog-check \"Fake Dialog\" \"Overwrite(U)\" on\n"
                                  "dialog-check \"Fake Dialog\" 244\n"
                                  "dialog-check \"Fake Dialog\" 243 off\n",
                                  log);
    EXPECT_EQ(code, 1u);
    EXPECT_NE(log.find(L"ok 3:"), std::wstring::npos) << Narrow(log);
    EXPECT_NE(log.find(L"FAIL 4: dialog-check Fake Dialog 243 off -- a radio button goes off "
                       L"only when another is chosen"),
              std::wstring::npos)
        << Narrow(log);
    // Clicked once: the choice moved from the first to the second.
    EXPECT_EQ(FakeDialog::pressed, FakeDialog::kOverwrite);
    EXPECT_EQ(IsDlgButtonChecked(dialog.window.get(), FakeDialog::kOverwrite), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog.window.get(), FakeDialog::kAdd), BST_UNCHECKED);
}

TEST_F(Iexplore, FailingStepEndsTheScriptWithExitCodeOne) {
    std::wstring log;
    const DWORD code = RunBrowser("open \"" + Narrow(PagePath(L"left.html")) +
                                      "\"\n"
                                      "wait-page left.html\n"
                                      "type nosuchfield x\n"
                                      "expect-text never-reached\n",
                                  log);
    EXPECT_EQ(code, 1u);
    EXPECT_NE(log.find(L"FAIL 3: type nosuchfield x -- no such control on the page"),
              std::wstring::npos)
        << Narrow(log);
    EXPECT_EQ(log.find(L"never-reached"), std::wstring::npos);
}

TEST_F(Iexplore, FramePathsAddressTheControlsAndPagesOfOneFrame) {
    // Two frames show the same form: a bare name finds the first frame's
    // control, a frame path the named frame's.
    std::wstring log;
    DWORD code = RunBrowser("open \"" + Narrow(PagePath(L"twins.html")) +
                                "\"\n"
                                "wait-page twins.html\n"
                                "type second>user bob\n"
                                "type 1>pass s3cret\n"
                                "check second>plan team\n"
                                "expect-value user alice\n"
                                "expect-value first>user alice\n"
                                "wait-value second>user bob 1000\n"
                                "expect-sinks second>go 0\n"
                                "click \"second>Sign in\"\n"
                                "wait-page second>done.html\n"
                                "expect-url second>user=bob&pass=s3cret\n"
                                "expect-url second>plan=team\n"
                                "expect-url first>controls.html\n"
                                "expect-url twins.html\n"
                                "expect-address twins.html\n"
                                "expect-loads done.html 1\n"
                                "expect-loads controls.html 2\n"
                                "expect-loads twins.html 1\n"
                                // A caption that holds ">" but names no frame.
                                "click \"nothing>Sign in\"\n",
                            log);
    EXPECT_EQ(code, 1u);
    EXPECT_NE(log.find(L"ok 19: expect-loads twins.html 1"), std::wstring::npos) << Narrow(log);
    EXPECT_NE(log.find(L"FAIL 20: click nothing>Sign in -- no such control on the page"),
              std::wstring::npos)
        << Narrow(log);

    // Nested frames by name and by index; a step that names no frame.
    log.clear();
    code = RunBrowser("open \"" + Narrow(PagePath(L"frames.html")) +
                          "\"\n"
                          "wait-page frames.html\n"
                          "wait-page bottom>inline>done.html 1000\n"
                          "expect-url 2>0>done.html\n"
                          "expect-url bottom>holder.html\n"
                          "type top>user carol\n"
                          "expect-value 1>user carol\n"
                          "expect-loads done.html 1\n"
                          "type top>nowhere>user x\n",
                      log);
    EXPECT_EQ(code, 1u);
    EXPECT_NE(log.find(L"ok 8: expect-loads done.html 1"), std::wstring::npos) << Narrow(log);
    EXPECT_NE(log.find(L"FAIL 9: type top>nowhere>user x -- no frame nowhere"), std::wstring::npos)
        << Narrow(log);
}

TEST_F(Iexplore, BandIsSitedInAStripAcrossTheFrameAndShownInItsOwnRow) {
    std::wstring log;
    const DWORD code = RunBrowser("open \"" + Narrow(PagePath(L"controls.html")) +
                                      "\"\n"
                                      "wait-page controls.html\n",
                                  log);
    EXPECT_EQ(code, 0u) << Narrow(log);
    const std::wstring width = Result(L"FrameWidth");
    ASSERT_NE(width, L"<none>");
    EXPECT_GT(std::stoi(width), 300);
    // When sited, the band builds its control over the strip's client area:
    // the frame's width and a row's height.
    EXPECT_EQ(Result(L"ParentSize"), width + L"x22");
    EXPECT_EQ(Result(L"ControlSize"), width + L"x22");
    // Its row: 22 high at least, then steps of 4 towards its actual 31.
    EXPECT_EQ(Result(L"ShownSize"), width + L"x30");
    EXPECT_EQ(Result(L"BandSize"), width + L"x30");
    EXPECT_EQ(Result(L"ShowDW"), L"1");
    EXPECT_EQ(Result(L"ResizeBorderDW"), L"1");
}

TEST_F(Iexplore, BandTakesTheFocusOnClickAndTabAndSeesTheKeysWhileItHasIt) {
    std::wstring log;
    const DWORD code = RunBrowser("open \"" + Narrow(PagePath(L"controls.html")) +
                                      "\"\n"
                                      "wait-page controls.html\n"
                                      "band-click 0\n"
                                      "expect-focus band 0\n"
                                      "key h\n"
                                      "key i\n"
                                      "key shift+tab\n"
                                      "expect-focus address\n"
                                      "key tab\n"
                                      "expect-focus band 0\n"
                                      "key tab\n"
                                      "expect-focus page\n"
                                      "key x\n",
                                  log);
    EXPECT_EQ(code, 0u) << Narrow(log);
    // Activated by the click and by Tab, deactivated when Tab leaves it.
    EXPECT_EQ(Result(L"UIActivateIO"), L"1:513 0:0 1:256 0:0");
    // The band reported its focus, and the browser asked before each key.
    EXPECT_EQ(Result(L"FocusChange"), L"1 0 1 0");
    EXPECT_NE(Result(L"HasFocusIO"), L"<none>");
    // Every keyboard message went through the band while it had the focus;
    // its Tab (not used by the band) moved the focus; the key typed on the
    // page never reached it.
    EXPECT_EQ(Result(L"Keys"), L"d72 u72 c104 d73 u73 c105 d9 u9 d9");
    EXPECT_EQ(Result(L"ControlText"), L"hi");
}
