// A stored form that no longer matches the page: the re-registration
// question, the do-not-ask flag, the registration dialog, and the refused
// authentication.
#include "AutoAnswer.h"
#include "DialogAnswerer.h"
#include "FillFixture.h"
#include "LiveForm.h"
#include "LoginEntry.h"

#include "res/resource.h"

namespace {

constexpr wchar_t kQuestion[] = L"再登録確認";
constexpr wchar_t kRegistration[] = L"登録";

class AutoInputChange : public FillFixture {
protected:
    // Stores login.html's entry "main" for page with the given CHANGEFLG.
    void StoreLoginAs(const std::wstring& page, int changeFlag) {
        StorePage(PageUrl(page), changeFlag,
                  [](CDataWebForm& form) { MakeLoginEntry(form.AddItem(), L"main"); });
    }
    static void AnswerNo(HWND dialog) { DialogAnswerer::Press(dialog, IDCANCEL); }
    static void AnswerNoForGood(HWND dialog) {
        DialogAnswerer::Tick(dialog, IDC_CHANGEENTRY_NOASK);
        DialogAnswerer::Press(dialog, IDCANCEL);
    }
    static void AnswerYes(HWND dialog) { DialogAnswerer::Press(dialog, IDOK); }
};

} // namespace

TEST_F(AutoInputChange, EveryStructureChangeAsksAndDeclinedFillsNothing) {
    // Any authentication would refuse: a fill would give -1, not 0.
    const peltrix::test::AutoAnswer deny(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kDeny);
    for (const wchar_t* page : {L"renamed.html", L"extraoption.html", L"maxlength.html",
                                L"inserted.html", L"formrenamed.html"}) {
        SCOPED_TRACE(std::string(page, page + wcslen(page)));
        StoreLoginAs(page, 0);
        Show(page);
        DialogAnswerer user;
        user.Set(kQuestion, AnswerNo);

        EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(page), L"main"), 0);

        EXPECT_EQ(user.Seen(kQuestion), 1) << "asked: " << std::string(page, page + wcslen(page));
        EXPECT_EQ(user.Seen(kRegistration), 0);
        EXPECT_EQ(LiveForm(Top()).Value(L"pw"), L"");
        EXPECT_EQ(StoredChangeFlag(PageUrl(page)), 0);
    }
}

TEST_F(AutoInputChange, DoNotAskIsStoredAndThenOnlyTheControlsBeforeTheChangeAreFilled) {
    StoreLoginAs(L"inserted.html", 0);
    Show(L"inserted.html");
    const peltrix::test::AutoAnswer allow(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    DialogAnswerer user;
    user.Set(kQuestion, AnswerNoForGood);

    EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(L"inserted.html"), L"main"), 0);
    EXPECT_EQ(user.Seen(kQuestion), 1);
    EXPECT_EQ(StoredChangeFlag(PageUrl(L"inserted.html")), 1);

    EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(L"inserted.html"), L"main"), 1);
    EXPECT_EQ(user.Seen(kQuestion), 1) << "not asked again";
    const LiveForm form(Top());
    EXPECT_EQ(form.Value(L"user"), LoginValues::kUser) << "matched before the new field";
    EXPECT_EQ(form.Value(L"nickname"), L"");
    EXPECT_EQ(form.Value(L"pw"), L"") << "after the new field: not filled";
    EXPECT_FALSE(form.Checked(L"plan", 1));
    EXPECT_EQ(form.Text(L"memo"), L"old");
}

TEST_F(AutoInputChange, GoneFormAsksUntilToldNotToAndThenGivesZeroQuietly) {
    StoreLoginAs(L"noform.html", 0);
    Show(L"noform.html");
    DialogAnswerer user;
    user.Set(kQuestion, AnswerNo);

    EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(L"noform.html"), L"main"), 0);
    EXPECT_EQ(StoredChangeFlag(PageUrl(L"noform.html")), 0) << "an unticked box is stored as 0";

    user.Set(kQuestion, AnswerNoForGood);
    EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(L"noform.html"), L"main"), 0);
    EXPECT_EQ(StoredChangeFlag(PageUrl(L"noform.html")), 1);

    EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(L"noform.html"), L"main"), 0);
    EXPECT_EQ(user.Seen(kQuestion), 2);
    EXPECT_EQ(user.Seen(kRegistration), 0);
}

TEST_F(AutoInputChange, PageMarkedNotToAskIsNeverAskedAbout) {
    StoreLoginAs(L"noform.html", 1);
    StoreLoginAs(L"renamed.html", 1);
    DialogAnswerer user;
    const peltrix::test::AutoAnswer allow(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);

    Show(L"noform.html");
    EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(L"noform.html"), L"main"), 0);
    Show(L"renamed.html");
    // The first stored control differs at once: nothing matched, nothing filled.
    EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(L"renamed.html"), L"main"), 0);
    EXPECT_EQ(LiveForm(Top()).Value(L"userid"), L"");
    EXPECT_EQ(LiveForm(Top()).Value(L"pw"), L"");
    EXPECT_EQ(user.Seen(kQuestion), 0);
}

TEST_F(AutoInputChange, YesOpensTheRegistrationDialogWhoseCancelIsAFailure) {
    const peltrix::test::AutoAnswer deny(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kDeny);
    for (const wchar_t* page : {L"inserted.html", L"noform.html"}) {
        SCOPED_TRACE(std::string(page, page + wcslen(page)));
        StoreLoginAs(page, 0);
        Show(page);
        DialogAnswerer user;
        user.Set(kQuestion, AnswerYes);
        user.Set(kRegistration, [](HWND dialog) { DialogAnswerer::Press(dialog, IDCANCEL); });

        EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(page), L"main"), -1);

        EXPECT_EQ(user.Seen(kQuestion), 1);
        EXPECT_EQ(user.Seen(kRegistration), 1);
        EXPECT_EQ(StoredChangeFlag(PageUrl(page)), 0);
    }
}

TEST_F(AutoInputChange, RefusedAuthenticationFillsNothingAndGivesTheBrowserBack) {
    StoreLoginAs(L"login.html", 0);
    Show(L"login.html");
    const peltrix::test::AutoAnswer deny(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kDeny);
    ASSERT_TRUE(deny.Applied());

    EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(L"login.html"), L"main"), -1);

    const LiveForm form(Top());
    EXPECT_EQ(form.Value(L"user"), L"");
    EXPECT_EQ(form.Value(L"pw"), L"");
    EXPECT_FALSE(form.Checked(L"keep"));
    EXPECT_EQ(EnableChanges(), (std::vector<BOOL>{FALSE, TRUE}));
    EXPECT_TRUE(::IsWindowEnabled(TopWindow()));
    EXPECT_EQ(Store().m_nBrowserEnabled, 1);
    EXPECT_TRUE(m_navigations.Urls().empty());
}

TEST_F(AutoInputChange, NothingMatchedIsNoFillEvenOnAPageMarkedNotToAsk) {
    // Any authentication would refuse: asking for one would give -1.
    const peltrix::test::AutoAnswer deny(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kDeny);
    DialogAnswerer user;
    for (const wchar_t* page : {L"formrenamed.html", L"renamed.html"}) {
        SCOPED_TRACE(std::string(page, page + wcslen(page)));
        StoreLoginAs(page, 1);
        Show(page);
        const size_t enables = EnableChanges().size();

        EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(page), L"main"), 0);

        EXPECT_EQ(EnableChanges().size(), enables)
            << "no authentication: the browser stays enabled";
        EXPECT_EQ(LiveForm(Top()).Value(L"pw"), L"");
        EXPECT_TRUE(m_navigations.Urls().empty());
    }
    EXPECT_EQ(user.Seen(kQuestion), 0);
}

TEST_F(AutoInputChange, EntryCapturedWithoutTextAreasMatchesItsUnchangedPage) {
    // With "NOMULTITEXT" on, the capture leaves the page's text area out.
    Store().m_option.m_nNoMultiText = 1;
    const peltrix::test::AutoAnswer allow(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    DialogAnswerer user;
    user.Set(kQuestion, AnswerNo);
    for (int changeFlag : {0, 1}) {
        SCOPED_TRACE(changeFlag);
        CDataWebForm& page = StorePage(PageUrl(L"login.html"), changeFlag, [](CDataWebForm& form) {
            CDataWebItem& item = form.AddItem();
            MakeLoginEntry(item, L"main");
            item.m_nAutoSend = 1;
            for (auto it = item.m_ctrls.begin(); it != item.m_ctrls.end(); ++it) {
                if ((*it)->m_nType == D_WEB_CTRL_MULTI) {
                    item.m_ctrls.erase(it);
                    break;
                }
            }
        });
        Show(L"login.html");

        EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(L"login.html"), L"main"), 1);

        EXPECT_EQ(user.Seen(kQuestion), 0);
        ASSERT_EQ(m_navigations.Urls().size(), 1u) << "the whole entry matched: it is sent";
        EXPECT_NE(m_navigations.Urls()[0].find(L"go=Login"), std::wstring::npos);
        EXPECT_NE(m_navigations.Urls()[0].find(L"memo=old"), std::wstring::npos)
            << "the text area is left as it is";
        EXPECT_TRUE(Store().DeleteWebPageData(&page));
    }
}

TEST_F(AutoInputChange, EntryCapturedWithTextAreasStillMatchesWhenTheyAreLeftOut) {
    StorePage(PageUrl(L"login.html"), 0, [](CDataWebForm& form) {
        CDataWebItem& item = form.AddItem();
        MakeLoginEntry(item, L"main");
        item.m_nAutoSend = 1;
    });
    Store().m_option.m_nNoMultiText = 1;
    Show(L"login.html");
    const peltrix::test::AutoAnswer allow(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    DialogAnswerer user;
    user.Set(kQuestion, AnswerNo);

    EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(L"login.html"), L"main"), 1);

    EXPECT_EQ(user.Seen(kQuestion), 0);
    ASSERT_EQ(m_navigations.Urls().size(), 1u);
    EXPECT_NE(m_navigations.Urls()[0].find(L"go=Login"), std::wstring::npos);
}
