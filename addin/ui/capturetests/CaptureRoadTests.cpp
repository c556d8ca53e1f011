// A submit click in a page of the stand-in, the band sited, the real relay and
// store: what opens for each state of the stored page and of the options,
// answered as a user would.
#include "CaptureFixture.h"

#include "AutoAnswer.h"
#include "DialogDriver.h"
#include "HtmlCom.h"
#include "LiveObjects.h"
#include "LoginEntry.h"
#include "RelayState.h"
#include "SubmitClickFlag.h"
#include "Trace.h"
#include "TraceHook.h"
#include "TraceLogReader.h"

#include <commctrl.h>
#include <mshtmdid.h>

#include <optional>

using Seen = std::vector<std::wstring>;

namespace {

const std::wstring kUser = L"taro";
const std::wstring kPassword = L"secret";

// A click reaching the sink as the page's event would, without the
// submission the element's own click adds.
HRESULT ClickSink(CSubmitButtonEventSink* sink) {
    DISPPARAMS none{};
    return sink->Invoke(DISPID_HTMLELEMENTEVENTS_ONCLICK, IID_NULL, 0, DISPATCH_METHOD, &none,
                        nullptr, nullptr, nullptr);
}

} // namespace

class CaptureRoad : public CaptureFixture {
protected:
    void StoreMember(const std::wstring& password = kPassword, int userDataLen = 20) {
        StorePage(CapturePage(L"capture.html"), [&](CDataWebForm& page) {
            CDataWebItem& item = page.AddItem();
            MakeMember(item, L"会員", kUser, password);
            item.m_ctrls[0]->TextValue()->m_nDataLen = userDataLen;
        });
    }
    // Shows capture.html with the stored user and password typed in.
    void ShowTyped(const std::wstring& password = kPassword) {
        Show(L"capture.html");
        Type(L"user", kUser);
        Type(L"pw", password);
    }
    Seen ClickGo(std::vector<ScriptedUser::Step> steps) {
        ScriptedUser user(std::move(steps));
        ClickOn(L"go");
        return user.Finish();
    }
};

TEST_F(CaptureRoad, ANewPageIsConfirmedRegisteredAndTheSameSubmitThenOpensNothing) {
    CreateBand();
    const peltrix::test::AutoAnswer allow(AUTH_CASE_REGIST, peltrix::test::AutoAnswer::kAllow);
    ASSERT_TRUE(allow.Applied());
    ShowTyped();

    const Seen seen = ClickGo(
        {{L"登録確認", ScriptedUser::Press(IDOK)}, {L"登録", RegisterAs(L"会員", true, true)}});
    EXPECT_EQ(seen, (Seen{L"登録確認", L"登録"}));
    EXPECT_TRUE(BrowserObject().HasPendingLoad()) << "the submission goes on after the dialogs";
    FinishNavigation();

    const auto stored = StoredPage(CapturePage(L"capture.html"));
    ASSERT_TRUE(stored);
    const CDataWebItem* member = nullptr;
    for (const auto& item : stored->m_items)
        if (item->m_strName == L"会員") member = item.get();
    ASSERT_TRUE(member) << "the clicked form's row was the one selected";
    const CDataWebItem& item = *member;
    EXPECT_EQ(item.m_strFormName, L"member");
    EXPECT_EQ(item.m_nIndex, 1);
    EXPECT_EQ(item.m_nAutoInput, 1);
    EXPECT_EQ(item.m_nAutoSend, 1);

    // The same form submitted again: the entry just stored is identical.
    ShowTyped();
    EXPECT_EQ(ClickGo({}), Seen{});
}

TEST_F(CaptureRoad, ALogInFormAfterASearchFormIsSentWithItsClickedButtonWhenReopened) {
    CreateBand();
    const peltrix::test::AutoAnswer allow(AUTH_CASE_REGIST, peltrix::test::AutoAnswer::kAllow);
    ASSERT_TRUE(allow.Applied());
    const std::wstring url = CapturePage(L"capture-sender.html");
    Show(L"capture-sender.html");
    Type(L"user", kUser);
    Type(L"pw", kPassword);
    {
        ScriptedUser user({{L"登録確認", ScriptedUser::Press(IDOK)},
                           {L"登録", RegisterAs(L"ログイン", true, true)}});
        ClickOn(L"enter");
        EXPECT_EQ(user.Finish(), (Seen{L"登録確認", L"登録"}));
    }
    FinishNavigation();

    const auto stored = StoredPage(url);
    ASSERT_TRUE(stored);
    const CDataWebItem* login = nullptr;
    for (const auto& item : stored->m_items)
        if (item->m_strName == L"ログイン") login = item.get();
    ASSERT_TRUE(login);
    EXPECT_EQ(login->m_nAutoSend, 1);
    const CDataWebCtrl* enter = nullptr;
    for (const auto& ctrl : login->m_ctrls)
        if (ctrl->m_nType == D_WEB_CTRL_SUBMIT && ctrl->m_strName == L"enter") enter = ctrl.get();
    ASSERT_TRUE(enter);
    EXPECT_EQ(enter->ButtonValue()->m_nSelected, 1) << "the form's only button, the one clicked";

    // Reopened, the entry is filled in and sent with that button.
    Show(L"capture-sender.html");
    const peltrix::test::AutoAnswer input(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    ScriptedUser user({});
    EXPECT_EQ(Store().AutoInput(Browser(), url, std::wstring()), 1);
    EXPECT_EQ(user.Finish(), Seen{}) << "the sent entry is the stored one";
    ASSERT_TRUE(BrowserObject().HasPendingLoad()) << "the filled form was sent";
    FinishNavigation();
    ScopedBstr sent;
    ASSERT_EQ(Top()->get_URL(sent.Out()), S_OK);
    EXPECT_NE(sent.Text().find(L"enter=Sign"), std::wstring::npos);
    EXPECT_NE(sent.Text().find(L"user=" + kUser), std::wstring::npos);
}

TEST_F(CaptureRoad, WhatOpensForEachStateOfTheStoredPage) {
    struct Case {
        const char* what;
        bool stored;
        std::wstring typedPassword;
        long userMaxLength; // 0: as on the page (20)
        int storedUserLen;
        std::vector<ScriptedUser::Step> steps;
        Seen expected;
    };
    const std::vector<Case> cases = {
        {"identical entry", true, kPassword, 0, 20, {}, {}},
        {"not stored",
         false,
         kPassword,
         0,
         20,
         {{L"登録確認", ScriptedUser::Press(IDOK)}, {L"登録", ScriptedUser::Press(IDCANCEL)}},
         {L"登録確認", L"登録"}},
        {"not stored, declined",
         false,
         kPassword,
         0,
         20,
         {{L"登録確認", ScriptedUser::Press(IDCANCEL)}},
         {L"登録確認"}},
        {"password changed",
         true,
         L"other",
         0,
         20,
         {{L"登録確認", ScriptedUser::Press(IDOK)},
          {L"登録方法選択", ScriptedUser::Press(IDCANCEL)}},
         {L"登録確認", L"登録方法選択"}},
        {"password changed, overwrite",
         true,
         L"other",
         0,
         20,
         {{L"登録確認", ScriptedUser::Press(IDOK)},
          {L"登録方法選択", ScriptedUser::TickAndPress(IDC_SELECTENTRY_OVERWRITE, IDOK)},
          {L"登録", ScriptedUser::Press(IDCANCEL)},
          // The page's values replace the stored ones: cancel asks first.
          {L"警告", ScriptedUser::Press(IDYES)}},
         {L"登録確認", L"登録方法選択", L"登録", L"警告"}},
        {"maxLength 20 to 30, declined",
         true,
         kPassword,
         30,
         20,
         {{L"警告", ScriptedUser::Press(IDNO)}},
         {L"警告"}},
        {"maxLength 20 to 30, re-registered",
         true,
         kPassword,
         30,
         20,
         {{L"警告", ScriptedUser::Press(IDYES)}, {L"登録", ScriptedUser::Press(IDCANCEL)}},
         {L"警告", L"登録"}},
        {"maxLength 1000 against none stored", true, kPassword, 1000, -1, {}, {}},
    };
    CreateBand();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.stored) StoreMember(kPassword, c.storedUserLen);
        ShowTyped(c.typedPassword);
        if (c.userMaxLength) {
            auto input = As<IHTMLInputElement>(Named(L"user"), IID_IHTMLInputElement);
            ASSERT_TRUE(input);
            ASSERT_EQ(input->put_maxLength(c.userMaxLength), S_OK);
        }
        EXPECT_EQ(ClickGo(c.steps), c.expected);
        FinishNavigation();
        ForgetStoredPages();
    }
}

TEST_F(CaptureRoad, TheWarningAsksOverTheBrowsersTopWindow) {
    CreateBand();
    // A changed value of the same field must not hide its changed maxLength.
    for (const bool valueChanged : {false, true}) {
        SCOPED_TRACE(valueChanged ? "value changed too" : "value as stored");
        StoreMember();
        ShowTyped();
        auto input = As<IHTMLInputElement>(Named(L"user"), IID_IHTMLInputElement);
        ASSERT_TRUE(input);
        ASSERT_EQ(input->put_maxLength(30), S_OK);
        if (valueChanged) {
            const ScopedBstr other(std::wstring(L"someone-else"));
            ASSERT_EQ(input->put_value(other.Get()), S_OK);
        }
        std::wstring text;
        HWND owner = nullptr;
        const Seen seen = ClickGo({{L"警告", [&](HWND box) {
                                        text = DialogDriver::MessageBoxText(box);
                                        owner = ::GetWindow(box, GW_OWNER);
                                        DialogDriver::Click(box, IDNO);
                                    }}});
        EXPECT_EQ(seen, Seen{L"警告"});
        EXPECT_EQ(text,
                  L"フォームの構成が変更されています。\n既存の内容を破棄して再登録しますか？");
        EXPECT_EQ(owner, TopWindow());
        FinishNavigation();
        ForgetStoredPages();
    }
}

TEST_F(CaptureRoad, NoWithTheBoxTickedStopsAskingAndTheNextSubmitGoesStraightToRegistration) {
    CreateBand();
    ShowTyped();
    EXPECT_EQ(ClickGo({{L"登録確認", ScriptedUser::TickAndPress(IDC_AUTOENTRY_NOASK, IDCANCEL)}}),
              Seen{L"登録確認"});
    EXPECT_EQ(StoredCheckSet(), 0);
    EXPECT_FALSE(StoredPage(CapturePage(L"capture.html"))) << "nothing registered now";
    FinishNavigation();

    ShowTyped();
    EXPECT_EQ(ClickGo({{L"登録", ScriptedUser::Press(IDCANCEL)}}), Seen{L"登録"});
}

TEST_F(CaptureRoad, OptionsThatStopTheCaptureOpenNothing) {
    struct Case {
        const char* what;
        int setAuto, onlyPwd, stopFunc;
        const wchar_t* page;
        const wchar_t* button;
        int clicked; // g_bSubmitClicked afterwards
    };
    const Case cases[] = {
        {"SETAUTO off", 0, 0, 0, L"capture.html", L"go", 0},
        {"STOPFUNC on", 1, 0, 1, L"capture.html", L"go", 0},
        {"ONLYPWD on a form without password", 1, 1, 0, L"capture-nopw.html", L"s", 1},
        {"ONLYPWD on the search form beside a login", 1, 1, 0, L"capture.html", L"s", 1},
    };
    CreateBand();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteOptions(c.setAuto, 1, c.onlyPwd, 0, c.stopFunc);
        Show(c.page);
        g_bSubmitClicked = 0;
        CComPtr<CSubmitButtonEventSink> sink = SinkOf(c.button);
        ASSERT_TRUE(sink);
        ScriptedUser user({});
        EXPECT_EQ(ClickSink(sink), S_OK);
        EXPECT_EQ(user.Finish(), Seen{});
        EXPECT_EQ(g_bSubmitClicked, c.clicked);
    }
}

TEST_F(CaptureRoad, AFramesSubmitCapturesTheFramesPage) {
    CreateBand();
    Show(L"capture-frames.html");
    CComPtr<IHTMLFramesCollection2> frames;
    ASSERT_EQ(Top()->get_frames(&frames), S_OK);
    VARIANT index = IndexVariant(1);
    VARIANT result;
    ::VariantInit(&result);
    ASSERT_EQ(frames->item(&index, &result), S_OK);
    CComPtr<IHTMLWindow2> window = As<IHTMLWindow2>(result.pdispVal, IID_IHTMLWindow2);
    ::VariantClear(&result);
    ASSERT_TRUE(window);
    CComPtr<IHTMLDocument2> main;
    ASSERT_EQ(window->get_document(&main), S_OK);
    Type(L"user", kUser, main);

    HWND list = nullptr;
    int selected = -2;
    ScriptedUser user({{L"登録確認", ScriptedUser::Press(IDOK)},
                       {L"登録", [&](HWND dialog) {
                            list = ::GetDlgItem(dialog, IDC_REGIST_LIST);
                            ::Sleep(200);
                            selected = static_cast<int>(::SendMessageW(
                                list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
                            DialogDriver::Click(dialog, IDCANCEL);
                        }}});
    ClickOn(L"go", main);
    EXPECT_EQ(user.Finish(), (Seen{L"登録確認", L"登録"}));
    EXPECT_EQ(selected, 1) << "the member form's row, after the search form's";
}

// ---- Faults of the click's handling --------------------------------------

TEST_F(CaptureRoad, TheBandLettingTheSinksGoWhileTheQuestionIsOpenEndsTheCapture) {
    CreateBand();
    ShowTyped();
    TestThreadCall onTestThread;
    CComPtr<CSubmitButtonEventSink> sink = SinkOf(L"go");
    ASSERT_TRUE(sink);
    const Seen seen = ClickGo({{L"登録確認", [&](HWND dialog) {
                                    onTestThread.Post([this] { DestroyBand(); });
                                    ::Sleep(300);
                                    DialogDriver::Click(dialog, IDOK);
                                }}});
    EXPECT_EQ(seen, Seen{L"登録確認"}) << "no registration for a page the band let go";
    EXPECT_FALSE(sink->Document()) << "the band's reference is gone; the capture held its own";
    EXPECT_FALSE(sink->Advised());
    FinishNavigation();
}

TEST_F(CaptureRoad, TheCaptureHoldsItsSinkUntilItEndsThoughTheBandLetsItGo) {
    CreateBand();
    ShowTyped();
    CSubmitButtonEventSink* sink = nullptr;
    {
        // Only the band's list and the button's connection keep it.
        CComPtr<CSubmitButtonEventSink> listed = SinkOf(L"go");
        ASSERT_TRUE(listed);
        sink = listed.p;
    }
    sink->Options().m_nOnlyPwd = 0;
    sink->Options().m_nCheckSet = 1;
    TestThreadCall onTestThread;
    LONG afterLetGo = -1;
    ScriptedUser user({{L"登録確認", [&](HWND dialog) {
                            onTestThread.Post([&] {
                                DestroyBand();
                                afterLetGo = ComModule().GetLockCount();
                            });
                            ::Sleep(300);
                            DialogDriver::Click(dialog, IDOK);
                        }}});
    (void)sink->AutoEntry(sink->snum);
    EXPECT_EQ(user.Finish(), Seen{L"登録確認"});
    ASSERT_NE(afterLetGo, -1);
    EXPECT_EQ(ComModule().GetLockCount(), afterLetGo - 1)
        << "the sink lived until its capture ended, and went then";
}

TEST_F(CaptureRoad, TheCaptureHoldsThePagesDocumentUntilItEndsThoughTheBrowserMovesOn) {
    CreateBand();
    ShowTyped();
    CComPtr<CSubmitButtonEventSink> sink = SinkOf(L"go");
    ASSERT_TRUE(sink);
    TestThreadCall onTestThread;
    long afterMovingOn = -1;
    ScriptedUser user({{L"登録確認", [&](HWND dialog) {
                            // The browser shows another page: it lets its
                            // document go, and the band the page's sinks.
                            onTestThread.Post([&] {
                                Show(L"capture-done.html");
                                afterMovingOn = torva::browser::LiveObjects::Count();
                            });
                            ::Sleep(500);
                            DialogDriver::Click(dialog, IDOK);
                        }}});
    EXPECT_EQ(ClickSink(sink), S_OK);
    EXPECT_EQ(user.Finish(), Seen{L"登録確認"}) << "no registration for a page the band let go";
    ASSERT_NE(afterMovingOn, -1);
    EXPECT_FALSE(sink->Document());
    EXPECT_LT(torva::browser::LiveObjects::Count(), afterMovingOn)
        << "the old page's document lived until the capture ended, and went then";
}

TEST_F(CaptureRoad, AClickDuringACaptureOfTheSameBrowserStartsNoSecondOne) {
    CreateBand();
    ShowTyped();
    TestThreadCall onTestThread;
    CComPtr<CSubmitButtonEventSink> other = SinkOf(L"s");
    ASSERT_TRUE(other);
    HRESULT nested = E_FAIL;
    const Seen seen = ClickGo({{L"登録確認", [&](HWND dialog) {
                                    onTestThread.Post([&] { nested = ClickSink(other); });
                                    ::Sleep(500);
                                    DialogDriver::Click(dialog, IDCANCEL);
                                }}});
    EXPECT_EQ(seen, Seen{L"登録確認"});
    EXPECT_EQ(nested, S_OK);
    FinishNavigation();
}

TEST_F(CaptureRoad, AClickDuringARelayCallOfThisThreadStartsNothing) {
    CreateBand();
    ShowTyped();
    CComPtr<CSubmitButtonEventSink> sink = SinkOf(L"go");
    ASSERT_TRUE(sink);
    {
        // A first click reads the options (capture on, confirmation on).
        ScriptedUser user({{L"登録確認", ScriptedUser::Press(IDCANCEL)}});
        EXPECT_EQ(ClickSink(sink), S_OK);
        EXPECT_EQ(user.Finish(), Seen{L"登録確認"});
    }
    g_bSubmitClicked = 0;
    // The trace log tells why the click was not captured: a relay call of
    // this thread would refuse the options read too, but the click is
    // turned away before it tries.
    ASSERT_TRUE(torva::trace::TraceHook::Bind(nullptr, L"addin_capture_tests.exe"));
    std::optional<torva::trace::testing::LibraryLevel> level;
    level.emplace(torva::trace::kFunctionLevel);
    const auto logged = [](const wchar_t* text) {
        return torva::trace::testing::LinesContaining(text, L"addin_capture_tests").size();
    };
    const wchar_t kDuringRelayCall[] = L"click during a relay call: not captured";
    const wchar_t kOptionsNotRead[] = L"options not read: not captured";
    const size_t duringBefore = logged(kDuringRelayCall);
    const size_t optionsBefore = logged(kOptionsNotRead);
    CExpData caller(false);
    HANDLE lock = caller.GetSem(); // as a request of this thread waiting for its reply
    ASSERT_TRUE(lock);
    ScriptedUser user({});
    EXPECT_EQ(ClickSink(sink), S_OK);
    caller.PutSem(lock);
    EXPECT_EQ(user.Finish(), Seen{});
    EXPECT_EQ(g_bSubmitClicked, 0) << "not a captured click";
    EXPECT_EQ(logged(kDuringRelayCall), duringBefore + 1);
    EXPECT_EQ(logged(kOptionsNotRead), optionsBefore) << "no options read was tried";
    level.reset();
    torva::trace::TraceHook::Unbind();
}

TEST_F(CaptureRoad, AStoredPageThatCannotBeReadIsNotTakenForANewOne) {
    StoreMember();
    CreateBand();
    ShowTyped();
    // The URL list still names the page, but its key answers for another
    // URL: the read fails.
    const std::unique_ptr<CDataWebForm> stored = StoredPage(CapturePage(L"capture.html"));
    ASSERT_TRUE(stored);
    ZentripCell* db = nullptr;
    ZentripCell* key = nullptr;
    ASSERT_TRUE(Store().OpenDB(&db));
    ASSERT_EQ(Store().OpenKey(db, stored->m_strKey.c_str(), &key), 0u);
    Store().SetStringValue(db, key, L"URL", L"file:///elsewhere.html");
    Store().CloseKey(db, &key);
    Store().CloseDB(&db);

    CComPtr<CSubmitButtonEventSink> sink = SinkOf(L"go");
    ASSERT_TRUE(sink);
    ScriptedUser user({});
    EXPECT_EQ(ClickSink(sink), S_OK);
    EXPECT_EQ(user.Finish(), Seen{});
    EXPECT_EQ(g_bSubmitClicked, 1) << "a captured click, whose page could not be read";
}

TEST_F(CaptureRoad, AURLListThatCannotBeReadInTimeAsksNothing) {
    StoreMember();
    CreateBand();
    ShowTyped(L"other");
    // Another thread of the browser holds the URL list past the wait.
    const torva::UniqueHandle lock(
        ::OpenEventW(EVENT_ALL_ACCESS, FALSE, RelayState::Instance().UrlListLockName().c_str()));
    ASSERT_TRUE(lock);
    ASSERT_EQ(::WaitForSingleObject(lock.get(), 5000), WAIT_OBJECT_0);
    CComPtr<CSubmitButtonEventSink> sink = SinkOf(L"go");
    ASSERT_TRUE(sink);
    ScriptedUser user({});
    EXPECT_EQ(ClickSink(sink), S_OK);
    ::SetEvent(lock.get());
    EXPECT_EQ(user.Finish(), Seen{}) << "a stored page is not taken for a new one";
}

// ---- Pages whose forms are not laid out one form, one item ---------------

namespace {

// Reads which row the registration dialog shows selected (-1: none) and that
// row's form name, then cancels the dialog.
ScriptedUser::Answer ReadSelectionAndCancel(int& row, std::wstring& formName) {
    return [&row, &formName](HWND dialog) {
        ::Sleep(300);
        const HWND list = ::GetDlgItem(dialog, IDC_REGIST_LIST);
        row = static_cast<int>(
            ::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
        wchar_t text[128] = {};
        if (row >= 0) {
            LVITEMW item{};
            item.iSubItem = 1;
            item.pszText = text;
            item.cchTextMax = 128;
            ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                           reinterpret_cast<LPARAM>(&item));
        }
        formName = text;
        DialogDriver::Click(dialog, IDCANCEL);
    };
}

// The unnamed entry the first save of capture.html stores for its search
// form beside the one the user named.
void MakeSearch(CDataWebItem& item) {
    item.m_strFormName = L"search";
    item.m_nIndex = 0;
    AddCtrl(item, D_WEB_CTRL_TEXT, L"q").TextValue()->m_nDataLen = -1;
    AddCtrl(item, D_WEB_CTRL_SUBMIT, L"s").ButtonValue()->m_strValue = L"Search";
}

} // namespace

TEST_F(CaptureRoad, AFormSplitAcrossTableCellsIsStoredWholeThenAsksNothingAndIsFilled) {
    CreateBand();
    const peltrix::test::AutoAnswer allow(AUTH_CASE_REGIST, peltrix::test::AutoAnswer::kAllow);
    ASSERT_TRUE(allow.Applied());
    const std::wstring url = CapturePage(L"capture-cells.html");
    Show(L"capture-cells.html");
    Type(L"user", kUser);
    Type(L"pw", kPassword);
    EXPECT_EQ(ClickGo({{L"登録確認", ScriptedUser::Press(IDOK)},
                       {L"登録", RegisterAs(L"会員", true, false)}}),
              (Seen{L"登録確認", L"登録"}));
    FinishNavigation();

    const auto stored = StoredPage(url);
    ASSERT_TRUE(stored);
    const CDataWebItem* member = nullptr;
    for (const auto& item : stored->m_items)
        if (item->m_strName == L"会員") member = item.get();
    ASSERT_TRUE(member) << "the clicked form's row was the one selected";
    EXPECT_EQ(member->m_strFormName, L"member");
    EXPECT_EQ(member->m_nIndex, 1);
    std::vector<std::wstring> names;
    for (const auto& ctrl : member->m_ctrls)
        names.push_back(ctrl->m_strName);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"user", L"pw", L"go", L"img"}))
        << "the controls of every cell, in page order";

    // The same submit again: the entry just stored is identical.
    Show(L"capture-cells.html");
    Type(L"user", kUser);
    Type(L"pw", kPassword);
    EXPECT_EQ(ClickGo({}), Seen{});
    FinishNavigation();

    // Reopened, the entry is filled into the cells it was read from.
    Show(L"capture-cells.html");
    const peltrix::test::AutoAnswer fill(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    ScriptedUser user({});
    EXPECT_EQ(Store().AutoInput(Browser(), url, L""), 1);
    EXPECT_EQ(user.Finish(), Seen{}) << "no re-registration question";
    ScopedBstr userValue, pw;
    auto userInput = As<IHTMLInputElement>(Named(L"user"), IID_IHTMLInputElement);
    auto pwInput = As<IHTMLInputElement>(Named(L"pw"), IID_IHTMLInputElement);
    ASSERT_TRUE(userInput && pwInput);
    ASSERT_EQ(userInput->get_value(userValue.Out()), S_OK);
    ASSERT_EQ(pwInput->get_value(pw.Out()), S_OK);
    EXPECT_EQ(userValue.Text(), kUser);
    EXPECT_EQ(pw.Text(), kPassword);
}

TEST_F(CaptureRoad, APageWhoseFormsMovedSinceTheyWereStoredAsksToRegisterItAnew) {
    struct Case {
        const char* what;
        const wchar_t* page;
        std::function<void(CDataWebForm&)> stored;
        Seen expected;
    };
    // As the first save of capture.html stores it: the search form's unnamed
    // entry beside the log-in form's named one.
    const auto firstSave = [](CDataWebForm& page) {
        MakeSearch(page.AddItem());
        MakeMember(page.AddItem(), L"会員", kUser, kPassword);
    };
    const std::vector<Case> cases = {
        {"a form gained before the log-in form", L"capture-gained.html", firstSave, {L"警告"}},
        {"a form gained before the log-in form, two accounts stored",
         L"capture-gained.html",
         [&](CDataWebForm& page) {
             firstSave(page);
             MakeMember(page.AddItem(), L"家族", L"hanako", kPassword);
         },
         {L"警告"}},
        {"a form without storable controls gained before the log-in form",
         L"capture-banner.html",
         [](CDataWebForm& page) {
             MakeMember(page.AddItem(), L"会員", kUser, kPassword);
             page.m_items.back()->m_nIndex = 0;
         },
         {L"警告"}},
        {"the search form in the header, as the first save stores the page",
         L"capture.html",
         firstSave,
         {}},
        {"the search form in the header, only the log-in form's entry stored",
         L"capture.html",
         [](CDataWebForm& page) { MakeMember(page.AddItem(), L"会員", kUser, kPassword); },
         {}},
    };
    CreateBand();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StorePage(CapturePage(c.page), c.stored);
        Show(c.page);
        Type(L"user", kUser);
        Type(L"pw", kPassword);
        EXPECT_EQ(ClickGo({{L"警告", ScriptedUser::Press(IDNO)}}), c.expected);
        FinishNavigation();
        ForgetStoredPages();
    }
}

TEST_F(CaptureRoad, TheRegistrationDialogOpensOnTheClickedFormWhereItsItemIsNotItsFormNumber) {
    // capture-banner.html: a form of an image only (no item) before the
    // log-in form, which is form 1 and item (list row) 0.
    struct Case {
        const char* what;
        std::function<void(CDataWebForm&)> stored; // none: the page is not stored
        std::wstring typedPassword;
        std::vector<ScriptedUser::Step> before;
        int row;
    };
    int row = -2;
    std::wstring formName;
    const ScriptedUser::Step confirm{L"登録確認", ScriptedUser::Press(IDOK)};
    const auto member = [](CDataWebForm& page) {
        MakeMember(page.AddItem(), L"会員", kUser, kPassword);
    };
    const std::vector<Case> cases = {
        {"new page", nullptr, kPassword, {confirm}, 0},
        {"unnamed entry",
         [](CDataWebForm& page) { MakeMember(page.AddItem(), L"", kUser, kPassword); },
         kPassword,
         {confirm},
         0},
        {"overwrite",
         member,
         L"other",
         {confirm, {L"登録方法選択", ScriptedUser::TickAndPress(IDC_SELECTENTRY_OVERWRITE, IDOK)}},
         0},
        {"add", member, L"other", {confirm, {L"登録方法選択", ScriptedUser::Press(IDOK)}}, 1},
    };
    CreateBand();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.stored) StorePage(CapturePage(L"capture-banner.html"), c.stored);
        Show(L"capture-banner.html");
        Type(L"user", kUser);
        Type(L"pw", c.typedPassword);
        std::vector<ScriptedUser::Step> steps = c.before;
        steps.push_back({L"登録", ReadSelectionAndCancel(row, formName)});
        // Cancelling the page's values that replaced stored ones asks first.
        steps.push_back({L"警告", ScriptedUser::Press(IDYES)});
        row = -2;
        formName.clear();
        (void)ClickGo(steps);
        EXPECT_EQ(row, c.row);
        EXPECT_EQ(formName, L"member") << "the row of the clicked form";
        FinishNavigation();
        ForgetStoredPages();
    }
}

TEST_F(CaptureRoad, TheBandLettingTheSinksGoWhileThePageIsReadAsksNothing) {
    // A stored page whose entry the typed password does not match: a
    // capture that went on would ask "登録確認".
    StoreMember();
    CreateBand();
    ShowTyped(L"other");
    CComPtr<CSubmitButtonEventSink> sink = SinkOf(L"go");
    ASSERT_TRUE(sink);
    // Another thread of the browser holds the URL list just past the first
    // stretch of the read's wait, in which the waiting thread dispatches its
    // messages: the band lets the page's sinks go then.
    const torva::UniqueHandle lock(
        ::OpenEventW(EVENT_ALL_ACCESS, FALSE, RelayState::Instance().UrlListLockName().c_str()));
    ASSERT_TRUE(lock);
    HANDLE held = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        if (::WaitForSingleObject(lock.get(), 5000) != WAIT_OBJECT_0) return;
        ::SetEvent(held);
        ::Sleep(6000);
        ::SetEvent(lock.get());
    });
    const bool taken = ::WaitForSingleObject(held, 6000) == WAIT_OBJECT_0;
    ::CloseHandle(held);
    if (!taken) holder.join();
    ASSERT_TRUE(taken);
    TestThreadCall onTestThread;
    onTestThread.Post([this] { DestroyBand(); });
    ScriptedUser user({});
    EXPECT_EQ(ClickSink(sink), S_OK);
    holder.join();
    EXPECT_EQ(user.Finish(), Seen{}) << "nothing is asked about a page the band has left";
    EXPECT_FALSE(sink->Document());
    FinishNavigation();
}
