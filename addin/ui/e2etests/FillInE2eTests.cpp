// The installed add-in in the browser program: registered with regsvr32,
// loaded by iexplore.exe as its toolbar band, filling a page stored through
// the store and the installed relay. The browser is this program's child and
// the relay the browser's child; the PIN dialog of the password's
// decryption is answered in the relay as the user would.
#include "AutoAnswer.h"
#include "E2eSupport.h"
#include "OptionKeyBackup.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

std::wstring Quoted(const std::wstring& s) {
    return L"\"" + s + L"\"";
}

class FillInE2e : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(e2e::InstallFolder().empty()) << "no install folder in the prefix";
        m_options = std::make_unique<OptionKeyBackup>();
        ASSERT_TRUE(m_options->Saved());
        m_options->WriteAutoInputAllowed();
        m_registration = std::make_unique<e2e::AddinRegistration>();
        ASSERT_EQ(m_registration->Result(), 0u) << "regsvr32 Quorvel.dll";
    }
    void TearDown() override {
        e2e::DeleteLoginPage();
        m_registration.reset();
        m_options.reset();
    }

    // Runs the script; fails the test with the log unless every line passed.
    void Run(const std::wstring& script) {
        std::wstring log;
        const DWORD code = e2e::RunBrowser(script, log);
        EXPECT_EQ(code, 0u) << std::string(log.begin(), log.end());
        m_log = log;
    }

    std::wstring m_log;

private:
    std::unique_ptr<OptionKeyBackup> m_options;
    std::unique_ptr<e2e::AddinRegistration> m_registration;
};

} // namespace

TEST_F(FillInE2e, TheToolbarListsThePageEntryAndFillsItInWithTheAnsweredPin) {
    ASSERT_TRUE(e2e::StoreLoginPage(false));
    const peltrix::test::AutoAnswer allow(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    ASSERT_TRUE(allow.Applied());
    using V = e2e::LoginValues;
    Run(L"open " + Quoted(e2e::PagePath(L"e2e-login.html")) +
        L"\n"
        L"wait-page e2e-login.html 20000\n"
        L"expect-combo 0 " +
        Quoted(V::kEntry) +
        L" 20000\n"
        L"expect-toolbar 106 入力開始 5000\n"
        L"wait-value user " +
        V::kUser +
        L" 30000\n"
        L"wait-value pw " +
        V::kPassword +
        L" 30000\n"
        // The user's own click: the submission shows what the fill chose.
        L"click Login\n"
        L"wait-page e2e-done.html 20000\n"
        L"expect-url user=taro.e2e\n"
        L"expect-url pw=pw-e2e-42\n"
        L"expect-url plan=b\n"
        L"expect-url keep=on\n"
        L"expect-url pref=v3\n");
}

TEST_F(FillInE2e, AutoSendSubmitsTheFilledFormOnLoad) {
    ASSERT_TRUE(e2e::StoreLoginPage(true));
    const peltrix::test::AutoAnswer allow(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    ASSERT_TRUE(allow.Applied());
    Run(L"open " + Quoted(e2e::PagePath(L"e2e-login.html")) +
        L"\n"
        L"wait-page e2e-done.html 40000\n"
        L"expect-url user=taro.e2e&pw=pw-e2e-42&plan=b&keep=on&pref=v3\n"
        L"expect-text \"Signed in.\"\n");
}

TEST_F(FillInE2e, RegisteringAPageWithoutFormsSaysSo) {
    Run(L"open " + Quoted(e2e::PagePath(L"e2e-noform.html")) +
        L"\n"
        L"wait-page e2e-noform.html 20000\n"
        L"expect-toolbar 102 enabled 20000\n"
        L"toolbar-menu 102 32776\n"
        L"wait-window エラー 10000\n"
        L"dialog-click エラー OK\n"
        L"expect-url e2e-noform.html\n");
}
