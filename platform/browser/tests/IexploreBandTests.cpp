// Scripts that drive the add-in's kind of band as a user: its toolbar, its
// menu, its combo box, the dialogs its commands and its page sinks open, and
// the fields it fills while the page's completion is still being handled.
#include "IexploreRun.h"
#include "TestPages.h"

using namespace browser_test;

namespace {

const std::wstring kDialog = L"\u767B\u9332\u78BA\u8A8D (test band)";

std::string OpenControls() {
    return "open \"" + Narrow(PagePath(L"controls.html")) +
           "\"\n"
           "wait-page controls.html\n";
}

std::string Quoted(const std::wstring& s) {
    return "\"" + Utf8(s) + "\"";
}

// Runs the controls page and then line, which is to fail; the log's FAIL
// line.
std::wstring FailureOf(const std::string& line) {
    std::wstring log;
    const DWORD code = RunBrowser(OpenControls() + line + "\n", log, 30000);
    if (code != 1) return L"exit code " + std::to_wstring(code) + L": " + log;
    const size_t at = log.find(L"FAIL 3: ");
    if (at == std::wstring::npos) return log;
    return log.substr(at + 8, log.find(L'\n', at) - at - 8);
}

} // namespace

TEST_F(Iexplore, ClickGoesOnWhileTheDialogItOpensWaitsForTheScript) {
    SetBandSetup(L"ConfirmSubmit", L"1");
    std::wstring log;
    const DWORD code = RunBrowser(OpenControls() +
                                      "type user carol\n"
                                      "click \"Sign in\"\n"
                                      "wait-window " +
                                      Quoted(kDialog) +
                                      " 5000\n"
                                      "dialog-check " +
                                      Quoted(kDialog) +
                                      " 241\n"
                                      "dialog-click " +
                                      Quoted(kDialog) +
                                      " \"\xE3\x81\xAF\xE3\x81\x84(&Y)\"\n"
                                      "wait-page done.html\n"
                                      "expect-url user=carol\n",
                                  log, 30000);
    EXPECT_EQ(code, 0u) << Narrow(log);
    // The page's sink asked before the form went, the script answered.
    const std::wstring submit = Result(L"Submit");
    EXPECT_NE(submit.find(L"sink"), std::wstring::npos) << Narrow(submit);
    EXPECT_EQ(submit.substr(submit.size() - 14), L"asked answered") << Narrow(submit);
    EXPECT_EQ(Result(L"Confirm"), L"yes ticked");
}

TEST_F(Iexplore, WaitValueWaitsForAFillThatRunsInsideDocumentComplete) {
    SetBandSetup(L"FillUser", L"filled-late");
    std::wstring log;
    const DWORD code = RunBrowser(OpenControls() +
                                      // The page is complete; its completion is still
                                      // being handled, and the fill has not written.
                                      "expect-value user alice\n"
                                      "wait-value user filled-late 5000\n"
                                      "expect-value user filled-late\n"
                                      "wait-value user never 300\n",
                                  log, 30000);
    EXPECT_EQ(code, 1u);
    EXPECT_NE(log.find(L"ok 5: expect-value user filled-late"), std::wstring::npos) << Narrow(log);
    EXPECT_NE(log.find(L"FAIL 6: wait-value user never 300 -- timed out; the value is filled-late"),
              std::wstring::npos)
        << Narrow(log);
    EXPECT_EQ(Result(L"Filled"), L"filled-late");
    EXPECT_EQ(FailureOf("wait-value nosuchfield x 200"),
              L"wait-value nosuchfield x 200 -- timed out; no such control");
}

TEST_F(Iexplore, ToolbarButtonsAndTheComboBoxAreWorkedAsAUserWorksThem) {
    SetBandSetup(L"Toolbar", L"1");
    std::wstring log;
    const DWORD code = RunBrowser(OpenControls() +
                                      "expect-toolbar 102 TORVA\n"
                                      "expect-toolbar 103 enabled\n"
                                      "expect-toolbar 104 disabled\n"
                                      "expect-toolbar 106 " +
                                      Quoted(L"\u5165\u529B\u958B\u59CB") +
                                      "\n"
                                      "expect-toolbar 105 enabled\n"
                                      "toolbar-click 103\n"
                                      "expect-combo 0 alpha\n"
                                      "expect-combo 2 " +
                                      Quoted(L"\u65E5\u672C\u8A9E\u306E\u9805\u76EE") +
                                      "\n"
                                      "combo-select 1\n"
                                      "toolbar-click 106\n"
                                      "combo-select 2\n"
                                      "toolbar-click 106\n",
                                  log, 30000);
    EXPECT_EQ(code, 0u) << Narrow(log);
    // The toolbar's own WM_COMMAND for its button; the combo box's
    // notifications; the push button on the toolbar saw each selection.
    EXPECT_EQ(Result(L"Toolbar"), L"built click103");
    EXPECT_EQ(Result(L"ComboChange"), L"1 2");
    EXPECT_EQ(Result(L"Input"), L"beta \u65E5\u672C\u8A9E\u306E\u9805\u76EE");

    EXPECT_EQ(FailureOf("toolbar-click 104"),
              L"toolbar-click 104 -- the button is disabled or hidden");
    EXPECT_EQ(FailureOf("toolbar-click 999"),
              L"toolbar-click 999 -- the toolbar has no button 999");
    EXPECT_EQ(FailureOf("expect-toolbar 104 enabled"),
              L"expect-toolbar 104 enabled -- it is disabled");
    EXPECT_EQ(FailureOf("expect-toolbar 103 Plainer 100"),
              L"expect-toolbar 103 Plainer 100 -- its text is Plain");
    EXPECT_EQ(FailureOf("combo-select 3"), L"combo-select 3 -- the combo box has 3 item(s)");
    EXPECT_EQ(FailureOf("expect-combo 1 alpha"), L"expect-combo 1 alpha -- the item is beta");
}

TEST_F(Iexplore, ToolbarMenuDropsTheMenuDownAndChoosesTheItemWithTheKeys) {
    SetBandSetup(L"Toolbar", L"1");
    std::wstring log;
    const DWORD code = RunBrowser(OpenControls() +
                                      "toolbar-menu 102 32777\n"
                                      "toolbar-menu 102 32779\n" // past the separator
                                      "toolbar-click 102\n"      // its click opens the menu too
                                      "menu-choose 32778\n"
                                      "toolbar-menu 102 32776\n" // opens a dialog
                                      "wait-window " +
                                      Quoted(kDialog) +
                                      " 5000\n"
                                      "dialog-check " +
                                      Quoted(kDialog) +
                                      " 241\n"
                                      "dialog-click " +
                                      Quoted(kDialog) +
                                      " \"\xE3\x81\x84\xE3\x81\x84\xE3\x81\x88(&N)\"\n"
                                      "wait-window nothing-else 100\n",
                                  log, 30000);
    EXPECT_EQ(code, 1u);
    EXPECT_NE(log.find(L"ok 10:"), std::wstring::npos) << Narrow(log);
    EXPECT_NE(log.find(L"FAIL 11: wait-window nothing-else"), std::wstring::npos) << Narrow(log);
    // The arrow sent TBN_DROPDOWN, the button's own part WM_COMMAND; each
    // menu closed before its item's command came.
    EXPECT_EQ(Result(L"Toolbar"), L"built drop102 menu-closed drop102 menu-closed click102 "
                                  L"menu-closed drop102 menu-closed");
    EXPECT_EQ(Result(L"Menu"), L"32777 32779 32778 32776");
    EXPECT_EQ(Result(L"Confirm"), L"no ticked");

    // A refused choice closes the menu, so the program still ends.
    ClearBandResults();
    EXPECT_EQ(FailureOf("toolbar-menu 102 32780"), L"toolbar-menu 102 32780 -- the item is greyed");
    EXPECT_EQ(FailureOf("toolbar-menu 102 40000"),
              L"toolbar-menu 102 40000 -- the menu has no item 40000");
    EXPECT_EQ(FailureOf("toolbar-menu 103 32777"),
              L"toolbar-menu 103 32777 -- the button has no drop-down");
    EXPECT_EQ(FailureOf("menu-choose 32777 200"), L"menu-choose 32777 200 -- no menu opened");
    EXPECT_EQ(Result(L"Menu"), L"<none>");
}

TEST_F(Iexplore, ScriptsCountSinksDisablesAndRowsAndCloseABandAsTheUserDoes) {
    SetBandSetup(L"ConfirmSubmit", L"1");
    std::wstring log;
    const DWORD code = RunBrowser(OpenControls() +
                                      "expect-band-height 0 30\n"
                                      "expect-sinks go 1\n"
                                      "expect-sinks \"Sign in\" 1\n"
                                      "expect-sinks pic 0\n"
                                      "expect-disables 0\n"
                                      "click \"Sign in\"\n"
                                      "wait-window " +
                                      Quoted(kDialog) +
                                      " 5000\n"
                                      // The dialog in front has the frame disabled.
                                      "expect-disables 1 3000\n"
                                      "dialog-click " +
                                      Quoted(kDialog) +
                                      " \"\xE3\x81\xAF\xE3\x81\x84(&Y)\"\n"
                                      "wait-page done.html\n"
                                      "expect-disables 1\n"
                                      "band-close 0\n"
                                      "expect-band-height 0 30\n",
                                  log, 30000);
    EXPECT_EQ(code, 1u) << Narrow(log);
    EXPECT_NE(log.find(L"ok 14: band-close 0"), std::wstring::npos) << Narrow(log);
    EXPECT_NE(log.find(L"FAIL 15: expect-band-height 0 30 -- no such band"), std::wstring::npos)
        << Narrow(log);
    // Closed as the browser closes a toolbar: hidden, closed, unsited.
    EXPECT_EQ(Result(L"HideDW"), L"1");
    EXPECT_EQ(Result(L"CloseDW"), L"1");
    EXPECT_EQ(Result(L"Unsited"), L"1");

    EXPECT_EQ(FailureOf("expect-sinks go 2"), L"expect-sinks go 2 -- 1 sink(s) advised");
    EXPECT_EQ(FailureOf("expect-sinks nosuch 0"), L"expect-sinks nosuch 0 -- no such element");
    EXPECT_EQ(FailureOf("expect-band-height 0 22"),
              L"expect-band-height 0 22 -- its row is 30 high");
    EXPECT_EQ(FailureOf("expect-disables 1 200"), L"expect-disables 1 200 -- disabled 0 times");
    EXPECT_EQ(FailureOf("band-close 1"), L"band-close 1 -- no such band");
}

TEST_F(Iexplore, ComboDropShowsTheListOfTheBandsComboBox) {
    EXPECT_EQ(FailureOf("combo-drop"), L"combo-drop -- no combo box");
    SetBandSetup(L"Toolbar", L"1");
    std::wstring log;
    const DWORD code = RunBrowser(OpenControls() + "combo-drop\n"
                                                   "expect-combo 0 alpha\n",
                                  log, 30000);
    EXPECT_EQ(code, 0u) << Narrow(log);
}
