// Filling stored entries into live pages: values of every control kind, the
// submitting click, which entry is chosen, frames, and what is left alone.
#include "AutoAnswer.h"
#include "DialogAnswerer.h"
#include "FillFixture.h"
#include "LiveForm.h"
#include "LoginEntry.h"

#include "PageSource.h"

using torva::browser::PercentEncode;

namespace {

class AutoInputFill : public FillFixture {
protected:
    // An entry of login.html's form, adjusted by tweak before it is stored.
    void StoreLogin(const std::wstring& page, const std::wstring& name,
                    const std::function<void(CDataWebItem&)>& tweak = {}) {
        StorePage(PageUrl(page), 0, [&](CDataWebForm& form) {
            CDataWebItem& item = form.AddItem();
            MakeLoginEntry(item, name);
            if (tweak) tweak(item);
        });
    }
    bool Contains(const std::wstring& text, const std::wstring& part) {
        return text.find(part) != std::wstring::npos;
    }
};

} // namespace

TEST_F(AutoInputFill, EveryControlKindTakesItsStoredValueAndThePasswordInClear) {
    StoreLogin(L"login.html", L"main");
    Show(L"login.html");
    const peltrix::test::AutoAnswer allow(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    ASSERT_TRUE(allow.Applied());

    EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(L"login.html"), L"main"), 1);

    const LiveForm form(Top());
    EXPECT_EQ(form.Value(L"user"), LoginValues::kUser);
    EXPECT_EQ(form.Value(L"pw"), LoginValues::kPassword);
    EXPECT_FALSE(form.Checked(L"plan", 0));
    EXPECT_TRUE(form.Checked(L"plan", 1));
    EXPECT_FALSE(form.Checked(L"plan", 2));
    EXPECT_TRUE(form.Checked(L"keep"));
    EXPECT_EQ(form.Selected(L"pref"), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(form.Text(L"memo"), LoginValues::kMemo);
    // The hidden input, the FIELDSET and the BUTTON between the stored
    // fields were passed over, not filled; the other form is untouched.
    EXPECT_EQ(form.Value(L"token"), L"t1");
    EXPECT_EQ(form.Value(L"q"), L"");
    EXPECT_TRUE(m_navigations.Urls().empty()) << "nothing is sent without auto-send";
    // The browser was disabled for the authentication only.
    EXPECT_EQ(EnableChanges(), (std::vector<BOOL>{FALSE, TRUE}));
    EXPECT_TRUE(::IsWindowEnabled(TopWindow()));
    EXPECT_EQ(Store().m_nBrowserEnabled, 1);
    EXPECT_EQ(Store().m_nCryptUsable, 1) << "the owner's crypt setting is kept";
}

TEST_F(AutoInputFill, AutoSendSubmitsTheFilledFormWithTheChosenButton) {
    StoreLogin(L"login.html", L"send", [](CDataWebItem& item) { item.m_nAutoSend = 1; });
    Show(L"login.html");
    const peltrix::test::AutoAnswer allow(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);

    EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(L"login.html"), L"send"), 1);

    ASSERT_EQ(m_navigations.Urls().size(), 1u);
    const std::wstring sent = m_navigations.Urls()[0];
    EXPECT_EQ(sent.rfind(PageUrl(L"done.html") + L"?", 0), 0u)
        << std::string(sent.begin(), sent.end());
    EXPECT_TRUE(Contains(sent, L"user=" + PercentEncode(LoginValues::kUser)));
    EXPECT_TRUE(Contains(sent, L"pw=" + PercentEncode(LoginValues::kPassword)));
    EXPECT_TRUE(Contains(sent, L"plan=b"));
    EXPECT_TRUE(Contains(sent, L"keep=on"));
    EXPECT_TRUE(Contains(sent, L"pref=v3"));
    EXPECT_TRUE(Contains(sent, L"memo=" + PercentEncode(LoginValues::kMemo)));
    EXPECT_TRUE(Contains(sent, L"go=Login"));
    EXPECT_FALSE(Contains(sent, L"cancel="));
    EXPECT_FALSE(Contains(sent, L"img."));
}

TEST_F(AutoInputFill, AFormSplitAcrossTableCellsIsMatchedFilledAndSentWhole) {
    // The login form opened in one table cell and closed in a later one: its
    // controls are those of every cell, as the capture stored them.
    StoreLogin(L"cells.html", L"send", [](CDataWebItem& item) { item.m_nAutoSend = 1; });
    Show(L"cells.html");
    const peltrix::test::AutoAnswer allow(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    DialogAnswerer user; // a question would be declined, and seen

    EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(L"cells.html"), L"send"), 1);

    EXPECT_EQ(user.Log(), L"") << "the unchanged form is not taken for a changed one";
    const LiveForm form(Top());
    EXPECT_EQ(form.Value(L"user"), LoginValues::kUser);
    EXPECT_EQ(form.Value(L"pw"), LoginValues::kPassword);
    EXPECT_TRUE(form.Checked(L"plan", 1));
    EXPECT_EQ(form.Text(L"memo"), LoginValues::kMemo);
    ASSERT_EQ(m_navigations.Urls().size(), 1u);
    const std::wstring sent = m_navigations.Urls()[0];
    EXPECT_TRUE(Contains(sent, L"pw=" + PercentEncode(LoginValues::kPassword)));
    EXPECT_TRUE(Contains(sent, L"go=Login"));
}

TEST_F(AutoInputFill, OfTwoSubmittingButtonsTheLaterOneIsClicked) {
    StoreLogin(L"login.html", L"send", [](CDataWebItem& item) {
        item.m_nAutoSend = 1;
        item.m_ctrls.back()->ButtonValue()->m_nSelected = 1; // the image, after "go"
    });
    Show(L"login.html");
    const peltrix::test::AutoAnswer allow(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);

    EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(L"login.html"), L"send"), 1);

    ASSERT_EQ(m_navigations.Urls().size(), 1u);
    EXPECT_TRUE(Contains(m_navigations.Urls()[0], L"img.x=0"));
    EXPECT_FALSE(Contains(m_navigations.Urls()[0], L"go=Login"));
}

TEST_F(AutoInputFill, NothingIsSentWithoutAutoSendOrWithoutAChosenButton) {
    StorePage(PageUrl(L"login.html"), 0, [](CDataWebForm& page) {
        MakeLoginEntry(page.AddItem(), L"nosend"); // "go" chosen, auto-send off
        CDataWebItem& unchosen = page.AddItem();
        MakeLoginEntry(unchosen, L"nobutton");
        unchosen.m_nAutoSend = 1;
        for (auto& ctrl : unchosen.m_ctrls) {
            if (CDataWebButtonValue* button = ctrl->ButtonValue()) button->m_nSelected = 0;
        }
    });
    Show(L"login.html");
    const peltrix::test::AutoAnswer allow(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);

    EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(L"login.html"), L"nosend"), 1);
    // To be sent, but without a button to send with: filled in, not sent,
    // and not reported as done.
    EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(L"login.html"), L"nobutton"), -1);
    EXPECT_TRUE(m_navigations.Urls().empty());
    EXPECT_EQ(LiveForm(Top()).Value(L"user"), LoginValues::kUser);
}

TEST_F(AutoInputFill, NamedEntryIsTakenByNameAndEmptyNameTakesTheFirstNamedAutomaticOne) {
    StorePage(PageUrl(L"login.html"), 0, [](CDataWebForm& page) {
        const auto add = [&](const wchar_t* name, const wchar_t* user, int automatic) {
            CDataWebItem& item = page.AddItem();
            MakeLoginEntry(item, name);
            item.m_nAutoInput = automatic;
            item.m_ctrls[0]->TextValue()->m_strValue = user;
        };
        add(L"", L"", 1); // an unnamed form is never an entry
        add(L"manual", L"manual-user", 0);
        add(L"auto1", L"first-auto", 1);
        add(L"auto2", L"second-auto", 1);
    });
    Show(L"login.html");
    const peltrix::test::AutoAnswer allow(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    const std::wstring url = PageUrl(L"login.html");
    const LiveForm form(Top());

    EXPECT_EQ(Store().AutoInput(Browser(), url, L""), 1);
    EXPECT_EQ(form.Value(L"user"), L"first-auto");
    EXPECT_EQ(Store().AutoInput(Browser(), url, L"manual"), 1);
    EXPECT_EQ(form.Value(L"user"), L"manual-user");
    EXPECT_EQ(Store().AutoInput(Browser(), url, L"auto2"), 1);
    EXPECT_EQ(form.Value(L"user"), L"second-auto");
    EXPECT_EQ(Store().AutoInput(Browser(), url, L"Manual"), 0) << "names compare exactly";
    EXPECT_EQ(form.Value(L"user"), L"second-auto");
}

TEST_F(AutoInputFill, FormInANestedFrameIsFilledInItsOwnDocument) {
    StoreLogin(L"login.html", L"framed");
    Show(L"nested.html");
    const peltrix::test::AutoAnswer allow(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);

    EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(L"login.html"), L"framed"), 1);

    const CComPtr<IHTMLDocument2> frame = DocumentAt(PageUrl(L"login.html"));
    ASSERT_TRUE(frame);
    EXPECT_EQ(LiveForm(frame).Value(L"user"), LoginValues::kUser);
    EXPECT_EQ(LiveForm(frame).Value(L"pw"), LoginValues::kPassword);
    EXPECT_EQ(LiveForm(DocumentAt(PageUrl(L"side.html"))).Value(L"word"), L"");
}

TEST_F(AutoInputFill, TextAreaIsLeftAsItIsWhenMultiLineTextIsLeftOut) {
    StoreLogin(L"login.html", L"main");
    Show(L"login.html");
    const peltrix::test::AutoAnswer allow(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    Store().m_option.m_nNoMultiText = 1;

    EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(L"login.html"), L"main"), 1);

    EXPECT_EQ(LiveForm(Top()).Text(L"memo"), L"old");
    EXPECT_EQ(LiveForm(Top()).Value(L"user"), LoginValues::kUser);
}

TEST_F(AutoInputFill, MissingPageDocumentOrEntryGivesZeroAndBrokenInputGivesFailure) {
    Show(L"login.html");
    const peltrix::test::AutoAnswer allow(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(L"login.html"), L"main"), 0) << "no stored page";

    StoreLogin(L"side.html", L"elsewhere");
    EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(L"side.html"), L"elsewhere"), 0)
        << "the page is not shown";
    EXPECT_EQ(Store().AutoInput(nullptr, PageUrl(L"login.html"), L"main"), -1);

    StorePage(PageUrl(L"login.html"), 0, [](CDataWebForm& page) {
        CDataWebItem& empty = page.AddItem();
        empty.m_strName = L"empty";
        empty.m_strFormName = L"login";
        empty.m_nIndex = 1;
        empty.m_nAutoInput = 1;
    });
    EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(L"login.html"), L"nothere"), 0);
    EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(L"login.html"), L"empty"), -1)
        << "an entry without controls";
    EXPECT_EQ(LiveForm(Top()).Value(L"user"), L"");
}
