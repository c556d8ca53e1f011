// The re-registration question's answers and where they lead: the
// registration dialog's OK and a second try, the do-not-ask box with Yes, and
// an entry whose form position is missing.
#include "AutoAnswer.h"
#include "DialogAnswerer.h"
#include "FillFixture.h"
#include "LiveForm.h"
#include "LoginEntry.h"

#include "res/resource.h"

#include <atomic>

namespace {

constexpr wchar_t kQuestion[] = L"再登録確認";
constexpr wchar_t kRegistration[] = L"登録";

// The copy of the selected form shows in the registration dialog's browser
// once its controls are there; the dialog fills them on a timer after that.
bool WaitForCopy(HWND dialog) {
    HWND server = nullptr;
    for (int tries = 0; tries < 800 && !server; ++tries) {
        HWND window = ::GetDlgItem(dialog, IDC_REGIST_BROWSER);
        for (const wchar_t* name :
             {L"Shell Embedding", L"Shell DocObject View", L"Internet Explorer_Server"}) {
            window = window ? ::FindWindowExW(window, nullptr, name, nullptr) : nullptr;
        }
        if (window && ::GetWindow(window, GW_CHILD))
            server = window;
        else
            ::Sleep(10);
    }
    ::Sleep(400);
    return server != nullptr;
}

class AutoInputRetry : public FillFixture {
protected:
    void StoreLoginAs(const std::wstring& page, int changeFlag, int index = 1) {
        StorePage(PageUrl(page), changeFlag, [&](CDataWebForm& form) {
            CDataWebItem& item = form.AddItem();
            MakeLoginEntry(item, L"main");
            item.m_nIndex = index;
        });
    }
    // The page the registration dialog stored for url, deleted after the test.
    std::unique_ptr<CDataWebForm> Reregistered(const std::wstring& url) {
        std::unique_ptr<CDataWebForm> page(Store().GetWebPageData(url, 0));
        return page;
    }
    void TearDown() override {
        for (const wchar_t* name : {L"inserted.html", L"noform.html"}) {
            for (int guard = 0; guard < 4; ++guard) {
                std::unique_ptr<CDataWebForm> left(Store().GetWebPageData(PageUrl(name), 0));
                if (!left || !Store().DeleteWebPageData(left.get())) break;
            }
        }
        FillFixture::TearDown();
    }
};

} // namespace

TEST_F(AutoInputRetry, OkInTheRegistrationDialogFillsOnceMoreWithTheUrlAndEntryItWasGiven) {
    StoreLoginAs(L"inserted.html", 0);
    Show(L"inserted.html");
    const peltrix::test::AutoAnswer allowSave(AUTH_CASE_REGIST, peltrix::test::AutoAnswer::kAllow);
    const peltrix::test::AutoAnswer allowFill(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    // The caller's strings, as the toolbar hands over its combo box line: a
    // nested refill of the box while the question is shown replaces them.
    std::wstring url = PageUrl(L"inserted.html");
    std::wstring entry = L"main";
    OnPoke([&] {
        url = PageUrl(L"side.html");
        entry = L"refilled";
    });
    const HWND top = TopWindow();
    std::atomic<int> asked{0};
    DialogAnswerer user;
    user.Set(kQuestion, [&](HWND dialog) {
        if (asked++ == 0) ::SendMessageW(top, kPoke, 0, 0);
        DialogAnswerer::Press(dialog, asked == 1 ? IDOK : IDCANCEL);
    });
    std::atomic<bool> copied{false};
    user.Set(kRegistration, [&](HWND dialog) {
        copied = WaitForCopy(dialog);
        ::SendMessageW(::GetDlgItem(dialog, IDC_REGIST_NAME), WM_SETTEXT, 0,
                       reinterpret_cast<LPARAM>(L"main"));
        DialogAnswerer::Press(dialog, IDOK);
    });

    EXPECT_EQ(Store().AutoInput(Browser(), url, entry), 1) << "the second try filled the form";

    EXPECT_TRUE(copied);
    EXPECT_EQ(user.Seen(kQuestion), 1) << "the new registration matches the page";
    EXPECT_EQ(user.Seen(kRegistration), 1);
    const auto stored = Reregistered(PageUrl(L"inserted.html"));
    ASSERT_TRUE(stored);
    bool withNickname = false;
    for (const auto& item : stored->m_items) {
        if (item->m_strName != L"main") continue;
        for (const auto& ctrl : item->m_ctrls)
            withNickname |= ctrl->m_strName == L"nickname";
    }
    EXPECT_TRUE(withNickname) << "the entry was registered anew from the page";
}

TEST_F(AutoInputRetry, YesWithTheBoxTickedStoresDoNotAskBeforeTheDialogOpens) {
    StoreLoginAs(L"inserted.html", 0);
    Show(L"inserted.html");
    DialogAnswerer user;
    user.Set(kQuestion, [](HWND dialog) {
        DialogAnswerer::Tick(dialog, IDC_CHANGEENTRY_NOASK);
        DialogAnswerer::Press(dialog, IDOK);
    });
    user.Set(kRegistration, [](HWND dialog) { DialogAnswerer::Press(dialog, IDCANCEL); });

    EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(L"inserted.html"), L"main"), -1);

    EXPECT_EQ(user.Seen(kRegistration), 1);
    EXPECT_EQ(StoredChangeFlag(PageUrl(L"inserted.html")), 1);
}

TEST_F(AutoInputRetry, NegativeFormIndexIsAFormThatIsGone) {
    StoreLoginAs(L"login.html", 0, -1);
    Show(L"login.html");
    const peltrix::test::AutoAnswer deny(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kDeny);
    DialogAnswerer user;
    user.Set(kQuestion, [](HWND dialog) { DialogAnswerer::Press(dialog, IDCANCEL); });

    EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(L"login.html"), L"main"), 0);
    EXPECT_EQ(user.Seen(kQuestion), 1);
    EXPECT_EQ(user.Seen(kRegistration), 0);
    EXPECT_EQ(LiveForm(Top()).Value(L"user"), L"") << "no form is guessed for it";

    user.Set(kQuestion, [](HWND dialog) {
        DialogAnswerer::Tick(dialog, IDC_CHANGEENTRY_NOASK);
        DialogAnswerer::Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(L"login.html"), L"main"), 0);
    EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(L"login.html"), L"main"), 0);
    EXPECT_EQ(user.Seen(kQuestion), 2) << "marked not to ask: quiet";
}
