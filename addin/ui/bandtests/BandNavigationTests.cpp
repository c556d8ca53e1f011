// Navigation while a relay call keeps the browser window disabled: cancelled
// unless a captured submit click started it; the click flag is cleared by
// every navigation; malformed event arguments are never written to.
#include "AutoAnswer.h"
#include "BandFixture.h"
#include "SubmitClickFlag.h"

#include <exdispid.h>

#include <memory>

namespace {

// BeforeNavigate2's seven arguments, Cancel first (arguments in reverse).
struct NavigateArgs {
    VARIANT_BOOL cancel = VARIANT_FALSE;
    VARIANT args[7];
    DISPPARAMS params{args, nullptr, 7, 0};
    NavigateArgs() {
        for (auto& a : args)
            VariantInit(&a);
        args[0].vt = VT_BOOL | VT_BYREF;
        args[0].pboolVal = &cancel;
    }
};

// The band's window for the test timer.
BandFixture* g_fixture = nullptr;
bool g_navigatedDuringFill = false;
bool g_navigationKept = true;
// Made only once the navigation was tried: until then the PIN dialog waits
// for the user, and the fill with it.
std::unique_ptr<peltrix::test::AutoAnswer> g_lateAnswer;

} // namespace

class BandNavigation : public BandFixture {
protected:
    // Navigates to done.html; true when the browser kept the navigation.
    bool NavigationKept() {
        EXPECT_EQ(BrowserObject().NavigateTo(PagePath(L"done.html")), S_OK);
        const bool kept = BrowserObject().HasPendingLoad();
        BrowserObject().RunPendingLoad();
        return kept;
    }
};

TEST_F(BandNavigation, OnlyADisabledBrowserWithoutASubmitClickCancels) {
    CreateBand();
    Show(L"noform.html");
    CExpData& store = Band().BandStore();

    store.m_nBrowserEnabled = 1;
    g_bSubmitClicked = 0;
    EXPECT_TRUE(NavigationKept()) << "enabled browser";

    store.m_nBrowserEnabled = 1;
    g_bSubmitClicked = 1;
    EXPECT_TRUE(NavigationKept()) << "enabled browser, submit clicked";
    EXPECT_EQ(g_bSubmitClicked, 0);

    store.m_nBrowserEnabled = 0;
    g_bSubmitClicked = 1;
    EXPECT_TRUE(NavigationKept()) << "disabled browser, submit clicked";
    EXPECT_EQ(g_bSubmitClicked, 0) << "the flag serves one navigation";

    store.m_nBrowserEnabled = 0;
    g_bSubmitClicked = 0;
    EXPECT_FALSE(NavigationKept()) << "disabled browser, no click";
    EXPECT_EQ(g_bSubmitClicked, 0);
    store.m_nBrowserEnabled = 1;
}

TEST_F(BandNavigation, MalformedArgumentsAreNotWrittenButTheFlagIsCleared) {
    CreateBand();
    Band().BandStore().m_nBrowserEnabled = 0;

    NavigateArgs good;
    g_bSubmitClicked = 0;
    EXPECT_EQ(Band().Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, 0, DISPATCH_METHOD, &good.params,
                            nullptr, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(good.cancel, VARIANT_TRUE) << "well-formed arguments are cancelled";

    NavigateArgs shortList;
    shortList.params.cArgs = 6;
    g_bSubmitClicked = 1;
    Band().Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, 0, DISPATCH_METHOD, &shortList.params, nullptr,
                  nullptr, nullptr);
    EXPECT_EQ(shortList.cancel, VARIANT_FALSE);
    EXPECT_EQ(g_bSubmitClicked, 0);

    NavigateArgs wrongType;
    LONG notABool = 77;
    wrongType.args[0].vt = VT_I4 | VT_BYREF;
    wrongType.args[0].plVal = &notABool;
    Band().Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, 0, DISPATCH_METHOD, &wrongType.params, nullptr,
                  nullptr, nullptr);
    EXPECT_EQ(notABool, 77);

    NavigateArgs nullCancel;
    nullCancel.args[0].pboolVal = nullptr;
    EXPECT_EQ(Band().Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, 0, DISPATCH_METHOD,
                            &nullCancel.params, nullptr, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(Band().Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr,
                            nullptr, nullptr),
              S_OK);
    Band().BandStore().m_nBrowserEnabled = 1;
}

TEST_F(BandNavigation, AnUnsitedBandCancelsNothing) {
    CreateBand(false);
    Band().BandStore().m_nBrowserEnabled = 0;
    NavigateArgs args;
    Band().Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, 0, DISPATCH_METHOD, &args.params, nullptr,
                  nullptr, nullptr);
    EXPECT_EQ(args.cancel, VARIANT_FALSE) << "no browser of its own to protect";
    Band().BandStore().m_nBrowserEnabled = 1;
}

TEST_F(BandNavigation, ANavigationDuringTheFillsAuthenticationIsCancelled) {
    StorePage(PageUrl(L"login.html"), [](CDataWebForm& page) {
        MakeLogin(page.AddItem(), L"main", L"yamada", L"secret-1", 1);
    });
    CreateBand();
    g_fixture = this;
    g_navigatedDuringFill = false;
    g_navigationKept = true;
    // While the user is asked for the PIN, something on the page navigates.
    OnBrowserDisabled([] {
        ::SetTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR id, DWORD) {
            ::KillTimer(nullptr, id);
            if (g_navigatedDuringFill) return;
            g_navigatedDuringFill = true;
            (void)g_fixture->BrowserObject().NavigateTo(BandFixture::PagePath(L"done.html"));
            g_navigationKept = g_fixture->BrowserObject().HasPendingLoad();
            g_lateAnswer = std::make_unique<peltrix::test::AutoAnswer>(
                AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
        });
    });

    Show(L"login.html");
    ASSERT_TRUE(g_lateAnswer && g_lateAnswer->Applied());
    g_lateAnswer.reset();

    ASSERT_TRUE(g_navigatedDuringFill) << "the timer did not run during the fill";
    EXPECT_FALSE(g_navigationKept);
    EXPECT_EQ(Band().BandStore().m_nBrowserEnabled, 1);
    g_fixture = nullptr;
}
