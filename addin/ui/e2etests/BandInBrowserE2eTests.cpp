// The band in the browser program as a user meets it: its row at the
// screen's DPI, navigations while a fill keeps the browser disabled, a
// frameset, the click sinks of one page and of the next, and clicks that
// come once the band is gone. The installed Quorvel.dll is registered and
// loaded by the installed iexplore.exe; the relay's PIN dialog is answered as
// the user would, by AutoAnswer or by the browser's own script where the
// script must act while the dialog is open.
#include "AutoAnswer.h"
#include "E2eSupport.h"
#include "OptionKeyBackup.h"
#include "TestPin.h"

#include "Win32Handles.h"
#include "testsupport/LogPixelsSetting.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

const std::wstring kPinDialog = L"TORVA 認証";

std::wstring Quoted(const std::wstring& s) {
    return L"\"" + s + L"\"";
}

std::wstring Open(const std::wstring& page) {
    return L"open " + Quoted(e2e::PagePath(page)) + L"\n" + L"wait-page " + page + L" 20000\n";
}

std::string Narrow(const std::wstring& s) {
    std::string out;
    for (wchar_t c : s)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

class BandInBrowser : public ::testing::Test {
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
        EXPECT_EQ(code, 0u) << Narrow(log);
    }

    // How often the browser's window was disabled by the time script ended.
    int DisablesAfter(const std::wstring& script) {
        std::wstring log;
        (void)e2e::RunBrowser(script + L"expect-disables -1\n", log);
        const std::wstring mark = L"expect-disables -1 -- disabled ";
        const size_t at = log.find(mark);
        if (at == std::wstring::npos) {
            ADD_FAILURE() << Narrow(log);
            return -1;
        }
        return std::stoi(log.substr(at + mark.size()));
    }

private:
    std::unique_ptr<OptionKeyBackup> m_options;
    std::unique_ptr<e2e::AddinRegistration> m_registration;
};

} // namespace

TEST_F(BandInBrowser, TheBandsRowIs22PixelsHighAt96DpiAnd33At144) {
    for (const DWORD dpi : {96u, 144u}) {
        const torva::test::LogPixelsSetting setting(dpi);
        ASSERT_TRUE(setting.Set());
        Run(Open(L"e2e-noform.html") + L"expect-band-height 0 " +
            std::to_wstring(::MulDiv(22, static_cast<int>(dpi), 96)) + L"\n" +
            L"expect-toolbar 102 enabled 20000\n");
    }
}

TEST_F(BandInBrowser, ANavigationWhileTheFillsPinDialogIsOpenIsCancelled) {
    ASSERT_TRUE(e2e::StoreLoginPage(false));
    ASSERT_TRUE(peltrix::test::EnsureTestPin());
    using V = e2e::LoginValues;
    Run(Open(L"e2e-login.html") + L"wait-window " + Quoted(kPinDialog) +
        L" 30000\n"
        L"expect-disables 1 5000\n"
        // The user (or a page) starts another navigation meanwhile.
        L"open " +
        Quoted(e2e::PagePath(L"e2e-done.html")) +
        L"\n"
        L"sleep 300\n"
        L"expect-url e2e-login.html\n"
        L"expect-text \"Member log-in\"\n"
        L"dialog-type " +
        Quoted(kPinDialog) + L" 0 " + peltrix::test::kTestPin +
        L"\n"
        L"dialog-click " +
        Quoted(kPinDialog) +
        L" OK\n"
        L"wait-value user " +
        V::kUser +
        L" 30000\n"
        L"wait-value pw " +
        V::kPassword +
        L" 30000\n"
        L"sleep 500\n"
        L"expect-url e2e-login.html\n"
        // The browser is enabled again: the next navigation goes.
        + Open(L"e2e-noform.html"));
}

TEST_F(BandInBrowser, AFramesetIsFilledOnceWithOneAuthentication) {
    ASSERT_TRUE(e2e::StoreLoginPage(false));
    const peltrix::test::AutoAnswer allow(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    ASSERT_TRUE(allow.Applied());
    using V = e2e::LoginValues;
    const std::wstring filled = L"wait-value user " + std::wstring(V::kUser) + L" 30000\n" +
                                L"wait-value pw " + V::kPassword + L" 30000\n" +
                                L"expect-toolbar 106 入力開始 20000\n" + L"sleep 1000\n";
    const int onePage = DisablesAfter(Open(L"e2e-login.html") + filled);
    ASSERT_GT(onePage, 0) << "the fill's authentication disables the browser";

    const int frameset = DisablesAfter(Open(L"e2e-frames.html") + filled);
    EXPECT_EQ(frameset, onePage) << "filled once, not once per frame";

    Run(Open(L"e2e-frames.html") + filled + L"expect-combo 0 " + Quoted(V::kEntry) + L"\n" +
        L"expect-sinks go 1\n" + L"expect-sinks s 1\n");
}

TEST_F(BandInBrowser, EverySubmitAndImageInputHasOneSinkAndTheNextPageItsOwn) {
    Run(Open(L"e2e-buttons.html") +
        L"expect-sinks find 1 20000\n"
        L"expect-sinks enter 1\n"
        L"expect-sinks again 1\n"
        L"expect-sinks pic 1\n"
        L"expect-sinks plain 0\n"
        L"expect-sinks clear 0\n"
        L"expect-sinks tag 0\n"
        L"expect-sinks id 0\n"
        // The second page with forms: the first one's sinks are let go.
        + Open(L"e2e-second.html") + L"expect-sinks next 1 20000\n" + Open(L"e2e-buttons.html") +
        L"expect-sinks enter 1 20000\n"
        L"expect-sinks pic 1\n"
        L"click Enter\n"
        // The page is not stored: the capture asks first, and the form goes
        // on to be sent once the question is answered.
        L"dialog-click 登録確認 \"いいえ(&N)\"\n"
        L"wait-page e2e-done.html 20000\n"
        L"expect-text \"Signed in.\"\n" +
        Open(L"e2e-second.html") +
        L"expect-sinks next 1 5000\n"
        L"click Next\n"
        L"dialog-click 登録確認 \"いいえ(&N)\"\n"
        L"wait-page e2e-done.html 20000\n");
}

TEST_F(BandInBrowser, AClickAfterTheBandIsGoneSubmitsThePageAsWithoutTheAddin) {
    Run(Open(L"e2e-login.html") +
        L"expect-sinks go 1 20000\n"
        L"band-close 0\n"
        L"click Login\n"
        L"wait-page e2e-done.html 20000\n"
        L"expect-text \"Signed in.\"\n"
        // Pages after it load without a band.
        + Open(L"e2e-login.html") + L"expect-sinks go 0\n");
}

TEST_F(BandInBrowser, ClosingTheBandWhileItsFillWaitsForThePinEndsTheFillSafely) {
    ASSERT_TRUE(e2e::StoreLoginPage(false));
    ASSERT_TRUE(peltrix::test::EnsureTestPin());
    Run(Open(L"e2e-login.html") + L"wait-window " + Quoted(kPinDialog) +
        L" 30000\n"
        L"band-close 0\n"
        L"dialog-type " +
        Quoted(kPinDialog) + L" 0 " + peltrix::test::kTestPin +
        L"\n"
        L"dialog-click " +
        Quoted(kPinDialog) +
        L" OK\n"
        L"sleep 1500\n"
        L"click Login\n"
        L"wait-page e2e-done.html 20000\n"
        L"expect-text \"Signed in.\"\n");
}
