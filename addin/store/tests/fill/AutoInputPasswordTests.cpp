// Passwords that cannot be had in clear when the entry is filled in: they
// are filled in empty, never as the stored cipher, and the form is not sent.
#include "AutoAnswer.h"
#include "FillFixture.h"
#include "LiveForm.h"
#include "LoginEntry.h"

namespace {

class AutoInputPassword : public FillFixture {
protected:
    // login.html's entry "send", submitted after filling.
    CDataWebItem& StoreSendingLogin() {
        CDataWebForm& page = StorePage(PageUrl(L"login.html"), 0, [](CDataWebForm& form) {
            CDataWebItem& item = form.AddItem();
            MakeLoginEntry(item, L"send");
            item.m_nAutoSend = 1;
        });
        return *page.m_items.front();
    }
    static const CDataWebCtrl& Password(const CDataWebItem& item) { return *item.m_ctrls[1]; }
};

} // namespace

TEST_F(AutoInputPassword, UndecryptablePasswordIsFilledEmptyAndTheFormIsNotSent) {
    const CDataWebItem& item = StoreSendingLogin();
    // Bytes the crypto library cannot open, where the cipher was.
    ASSERT_TRUE(WriteRaw(Password(item).m_strKey, L"VALUE",
                         std::vector<BYTE>{0x54, 0x56, 0x52, 0x01, 0x99, 0x42, 0x17, 0x00, 0x33,
                                           0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67}));
    Show(L"login.html");
    const peltrix::test::AutoAnswer allow(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);

    EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(L"login.html"), L"send"), 1);

    const LiveForm form(Top());
    EXPECT_EQ(form.Value(L"user"), LoginValues::kUser);
    EXPECT_EQ(form.Value(L"pw"), L"");
    EXPECT_TRUE(m_navigations.Urls().empty()) << "a form without its password is not sent";
    EXPECT_EQ(Store().m_nCryptUsable, 1) << "the owner's crypt setting is kept";
}

TEST_F(AutoInputPassword, PasswordWhoseKeyDoesNotOpenForDecryptionIsFilledEmptyNotAsCipher) {
    const CDataWebItem& item = StoreSendingLogin();
    const std::wstring itemKey = item.m_strKey;
    const std::wstring passwordKey = CExpData::GetSubKey(Password(item).m_strKey);
    // The page was loaded; while the user is asked to authenticate, the
    // password's key goes (another window of the browser re-registers it).
    bool deleted = false;
    OnBrowserDisabled([&] { deleted = DeleteStoredKey(itemKey, passwordKey); });
    Show(L"login.html");
    const peltrix::test::AutoAnswer allow(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);

    EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(L"login.html"), L"send"), 1);

    ASSERT_TRUE(deleted);
    const LiveForm form(Top());
    EXPECT_EQ(form.Value(L"user"), LoginValues::kUser);
    EXPECT_EQ(form.Value(L"pw"), L"") << "the stored bytes never reach the page";
    EXPECT_TRUE(m_navigations.Urls().empty());
}

TEST_F(AutoInputPassword, EmptyStoredPasswordIsNoReasonToHoldTheFormBack) {
    StorePage(PageUrl(L"login.html"), 0, [](CDataWebForm& form) {
        CDataWebItem& item = form.AddItem();
        MakeLoginEntry(item, L"send");
        item.m_nAutoSend = 1;
        item.m_ctrls[1]->TextValue()->m_strValue.clear();
    });
    Show(L"login.html");
    const peltrix::test::AutoAnswer allow(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);

    EXPECT_EQ(Store().AutoInput(Browser(), PageUrl(L"login.html"), L"send"), 1);

    ASSERT_EQ(m_navigations.Urls().size(), 1u);
    EXPECT_NE(m_navigations.Urls()[0].find(L"pw=&"), std::wstring::npos);
}
