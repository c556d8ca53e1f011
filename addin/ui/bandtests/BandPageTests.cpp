// A completed page: the toolbar's entry list, one click sink per submit and
// image input, the fill-in with its authentication, frames, the next page,
// and clicks that arrive once the band has let the page go.
#include "AutoAnswer.h"
#include "BandFixture.h"
#include "DialogDriver.h"
#include "LiveForm.h"
#include "SubmitClickFlag.h"

#include <exdispid.h>
#include <mshtmdid.h>

#include <string>
#include <vector>

namespace {

// The element named name of the document, as a page script reaches it.
CComPtr<IHTMLElement> ElementNamed(IHTMLDocument2* document, const wchar_t* name) {
    CComPtr<IHTMLElementCollection> all;
    CComPtr<IDispatch> item;
    CComPtr<IHTMLElement> element;
    if (!document || FAILED(document->get_all(&all)) || !all) return element;
    VARIANT key;
    key.vt = VT_BSTR;
    key.bstrVal = ::SysAllocString(name);
    VARIANT index;
    index.vt = VT_I4;
    index.lVal = 0;
    if (SUCCEEDED(all->item(key, index, &item)) && item)
        item->QueryInterface(IID_IHTMLElement, reinterpret_cast<void**>(&element));
    ::VariantClear(&key);
    return element;
}

CComPtr<IHTMLDocument2> FrameAt(IHTMLDocument2* top, long i) {
    CComPtr<IHTMLFramesCollection2> frames;
    CComPtr<IHTMLDocument2> document;
    if (FAILED(top->get_frames(&frames)) || !frames) return document;
    VARIANT index;
    index.vt = VT_I4;
    index.lVal = i;
    VARIANT result;
    VariantInit(&result);
    if (FAILED(frames->item(&index, &result)) || result.vt != VT_DISPATCH) return document;
    CComPtr<IHTMLWindow2> window;
    if (result.pdispVal)
        result.pdispVal->QueryInterface(IID_IHTMLWindow2, reinterpret_cast<void**>(&window));
    ::VariantClear(&result);
    if (window) window->get_document(&document);
    return document;
}

const std::wstring kUser = L"山田 taro";
const std::wstring kPassword = L"pass&word 1";

} // namespace

class BandPage : public BandFixture {
protected:
    void StoreLogin() {
        StorePage(PageUrl(L"login.html"), [](CDataWebForm& page) {
            MakeLogin(page.AddItem(), L"仕事用", kUser, kPassword, 1);
            MakeLogin(page.AddItem(), L"個人用", L"other", L"other-pw", 0);
        });
    }
};

TEST_F(BandPage, APageWithFormsListsItsEntriesAndFillsTheAutomaticOne) {
    StoreLogin();
    CreateBand();
    const peltrix::test::AutoAnswer allow(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    ASSERT_TRUE(allow.Applied());

    Show(L"login.html");

    const std::vector<std::wstring> texts = ComboTexts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], L"仕事用");
    EXPECT_EQ(texts[1], L"個人用");
    EXPECT_TRUE(::IsWindowEnabled(Band().Bar().ComboBox()));
    HWND input = Band().Bar().InputButton();
    EXPECT_TRUE(::IsWindowEnabled(input));
    wchar_t text[32] = {};
    ::GetWindowTextW(input, text, 32);
    EXPECT_STREQ(text, L"入力開始");
    EXPECT_EQ(Band().Bar().PreselectedIndex(), 0) << "the automatic entry";

    const LiveForm form(Top());
    EXPECT_EQ(form.Value(L"user"), kUser);
    EXPECT_EQ(form.Value(L"pw"), kPassword);
    EXPECT_EQ(Band().BandStore().m_pBrowser, Browser()) << "the store's browser, set for this page";
}

TEST_F(BandPage, StopAutoInputListsTheEntriesButFillsNothing) {
    StoreLogin();
    SetOptions(0, 1);
    CreateBand();
    const int disables = Disables();
    Show(L"login.html");
    EXPECT_EQ(ComboTexts().size(), 2u);
    EXPECT_EQ(LiveForm(Top()).Value(L"user"), L"");
    EXPECT_EQ(Disables(), disables) << "no authentication asked";
}

TEST_F(BandPage, EverySubmitAndImageInputGetsOneSinkNumberedInPageOrder) {
    CreateBand();
    Show(L"login.html");
    const SubmitSinkList& sinks = Band().Sinks();
    ASSERT_EQ(sinks.size(), 4u) << "search's submit, login's two submits and its image";
    for (size_t i = 0; i < sinks.size(); ++i) {
        EXPECT_EQ(sinks[i]->snum, static_cast<int>(i));
        EXPECT_TRUE(sinks[i]->Advised());
        EXPECT_EQ(sinks[i]->m_nHoldDoc, 1);
        EXPECT_TRUE(sinks[i]->Document());
    }
}

TEST_F(BandPage, TheNextPageLetsTheFormerSinksGoBeforeItsOwnAreMade) {
    CreateBand();
    Show(L"login.html");
    // Kept past the page, as a click in flight would keep one.
    const SubmitSinkList former = Band().Sinks();
    ASSERT_EQ(former.size(), 4u);

    Show(L"second.html");

    for (const auto& sink : former) {
        EXPECT_FALSE(sink->Advised());
        EXPECT_EQ(sink->Document(), nullptr);
        EXPECT_EQ(sink->m_nHoldDoc, 0);
    }
    ASSERT_EQ(Band().Sinks().size(), 1u);
    EXPECT_EQ(Band().Sinks()[0]->snum, 0);
    // A click that reaches a former sink finds it no longer listed.
    EXPECT_EQ(former[1]->Invoke(DISPID_HTMLELEMENTEVENTS_ONCLICK, IID_NULL, 0, DISPATCH_METHOD,
                                nullptr, nullptr, nullptr, nullptr),
              S_FALSE);
    EXPECT_EQ(g_bSubmitClicked, 0);
}

TEST_F(BandPage, APageWithoutFormsLetsTheSinksGo) {
    CreateBand();
    Show(L"login.html");
    const SubmitSinkList former = Band().Sinks();
    ASSERT_FALSE(former.empty());
    Show(L"noform.html");
    EXPECT_TRUE(Band().Sinks().empty());
    for (const auto& sink : former)
        EXPECT_FALSE(sink->Advised());
    EXPECT_EQ(Band().BandStore().m_pBrowser, Browser());
}

TEST_F(BandPage, AFramesetIsFilledOnceWithOneAuthentication) {
    StoreLogin();
    CreateBand();
    const peltrix::test::AutoAnswer allow(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    ASSERT_TRUE(allow.Applied());
    // What one fill of the login page asks.
    int before = Disables();
    Show(L"login.html");
    const int onePage = Disables() - before;
    ASSERT_GT(onePage, 0) << "the password's decryption disables the browser";

    before = Disables();
    Show(L"frames.html");

    EXPECT_EQ(Disables() - before, onePage) << "filled once, not once per frame";
    const CComPtr<IHTMLDocument2> main = FrameAt(Top(), 1);
    ASSERT_TRUE(main);
    EXPECT_EQ(LiveForm(main).Value(L"user"), kUser);
    EXPECT_EQ(LiveForm(main).Value(L"pw"), kPassword);
    EXPECT_EQ(ComboTexts().size(), 2u);
    EXPECT_EQ(Band().Sinks().size(), 5u) << "side's submit and login's four";
}

TEST_F(BandPage, ACompletionDuringAnEarlierFillRunsOnceAfterIt) {
    StoreLogin();
    CreateBand();
    const peltrix::test::AutoAnswer allow(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    ASSERT_TRUE(allow.Applied());
    int before = Disables();
    Show(L"login.html");
    const int onePage = Disables() - before;
    ASSERT_GT(onePage, 0);

    size_t linesDuringFill = 0;
    SubmitSinkList sinksDuringFill;
    bool nested = false;
    OnBrowserDisabled([&] {
        // The browser completes a page again while the fill waits.
        nested = true;
        Band().Invoke(DISPID_DOCUMENTCOMPLETE, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr,
                      nullptr, nullptr);
        linesDuringFill = ComboTexts().size();
        sinksDuringFill = Band().Sinks();
    });
    before = Disables();
    Show(L"login.html");
    Pump(200);

    ASSERT_TRUE(nested);
    EXPECT_EQ(linesDuringFill, 2u) << "the running fill's list is left alone";
    ASSERT_EQ(sinksDuringFill.size(), 4u);
    for (const auto& sink : sinksDuringFill)
        EXPECT_TRUE(sink->Document() || !sink->Advised());
    EXPECT_EQ(Disables() - before, 2 * onePage) << "the second completion ran, once, afterwards";
    EXPECT_EQ(LiveForm(Top()).Value(L"user"), kUser);
}

TEST_F(BandPage, AListedSinksClickKeepsItsNavigationWhileTheBrowserIsDisabled) {
    CreateBand();
    Show(L"login.html");
    const CComPtr<IHTMLElement> go = ElementNamed(Top(), L"go");
    ASSERT_TRUE(go);
    Band().BandStore().m_nBrowserEnabled = 0;

    {
        // The page is not stored: the click asks whether to register it.
        DialogDriver no(L"登録確認",
                        [](DialogDriver& d) { DialogDriver::Click(d.Dialog(), IDCANCEL); });
        ASSERT_EQ(go->click(), S_OK);
        no.Join();
        EXPECT_TRUE(no.Dialog());
    }

    EXPECT_TRUE(BrowserObject().HasPendingLoad()) << "the submit's navigation is kept";
    EXPECT_EQ(g_bSubmitClicked, 0) << "cleared by that navigation";
    Band().BandStore().m_nBrowserEnabled = 1;
    BrowserObject().RunPendingLoad();
}

TEST_F(BandPage, AClickAfterTheBandIsGoneReachesNoSink) {
    CreateBand();
    Show(L"login.html");
    const CComPtr<IHTMLElement> go = ElementNamed(Top(), L"go");
    ASSERT_TRUE(go);
    DestroyBand();

    ASSERT_EQ(go->click(), S_OK);

    EXPECT_EQ(g_bSubmitClicked, 0);
    EXPECT_TRUE(BrowserObject().HasPendingLoad()) << "the page submits as without the add-in";
    BrowserObject().RunPendingLoad();
}

TEST_F(BandPage, ACompletionBeforeTheDeferredOneRunsFillsOnceForBoth) {
    StoreLogin();
    CreateBand();
    const peltrix::test::AutoAnswer allow(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    ASSERT_TRUE(allow.Applied());
    int before = Disables();
    Show(L"login.html");
    const int onePage = Disables() - before;
    ASSERT_GT(onePage, 0);

    const auto complete = [this] {
        Band().Invoke(DISPID_DOCUMENTCOMPLETE, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr,
                      nullptr, nullptr);
    };
    // A completion during the fill is put off until the fill is over ...
    OnBrowserDisabled(complete);
    before = Disables();
    ASSERT_EQ(BrowserObject().NavigateTo(PagePath(L"login.html")), S_OK);
    BrowserObject().RunPendingLoad();
    // ... and the browser completes the page again before the put-off one ran.
    complete();
    Pump(200);

    EXPECT_EQ(Disables() - before, 2 * onePage)
        << "the load's fill and one more for the later completions, not one for each";
    EXPECT_EQ(LiveForm(Top()).Value(L"user"), kUser);
}

TEST_F(BandPage, ABrowserLetGoDuringThePasswordsDecryptionGetsItsWindowBack) {
    StoreLogin();
    CreateBand();
    const peltrix::test::AutoAnswer allow(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    ASSERT_TRUE(allow.Applied());
    // The first disabling is the authentication's, the next the password's
    // decryption: the browser lets the band go while the decryption waits.
    bool letGo = false;
    OnBrowserDisabled([&] {
        OnBrowserDisabled([&] {
            letGo = true;
            EXPECT_EQ(Band().SetSite(nullptr), S_OK);
        });
    });

    Show(L"login.html");

    ASSERT_TRUE(letGo);
    EXPECT_TRUE(::IsWindowEnabled(TopWindow())) << "the browser's window is usable again";
    EXPECT_EQ(Band().BandStore().m_nBrowserEnabled, 1);
}
