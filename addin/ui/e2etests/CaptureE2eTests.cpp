// The main road in the browser program: a form typed into and submitted, the
// add-in's confirmation answered, the form registered with auto-input and
// auto-send, the PIN given, and the page reopened: filled in and submitted by
// itself, and its submission then finds the entry it stored, so nothing more
// opens. The browser is this program's child, the relay the browser's.
#include "AutoAnswer.h"
#include "E2eSupport.h"
#include "OptionKeyBackup.h"

#include "CExpData.h"
#include "RelayState.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

std::wstring Quoted(const std::wstring& s) {
    return L"\"" + s + L"\"";
}

constexpr const wchar_t* kEntry = L"E2E 登録";

// Types the log-in and submits it; answers "登録確認" with yes and registers
// the form under kEntry with auto-input and auto-send ticked. frame is the
// frame path of the log-in's frame ("main>"), empty for the page itself.
std::wstring TypeSubmitAndRegister(const std::wstring& frame = L"") {
    return L"type " + frame +
           L"user taro.e2e\n"
           L"type " +
           frame +
           L"pw pw-e2e-42\n"
           L"check " +
           frame +
           L"plan b\n"
           L"check " +
           frame +
           L"keep\n"
           L"choose " +
           frame +
           L"pref v3\n"
           L"click " +
           frame +
           L"Login\n"
           L"wait-window 登録確認 20000\n"
           L"dialog-click 登録確認 \"はい(&Y)\"\n"
           L"wait-window 登録 20000\n"
           L"sleep 500\n"
           L"dialog-type 登録 1 " +
           Quoted(kEntry) +
           L"\n"
           L"dialog-check 登録 229 on\n"
           L"dialog-check 登録 226 on\n"
           L"dialog-click 登録 OK\n";
}

class CaptureE2e : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(e2e::InstallFolder().empty()) << "no install folder in the prefix";
        e2e::DeleteLoginPage();
        m_options = std::make_unique<OptionKeyBackup>();
        ASSERT_TRUE(m_options->Saved());
        m_options->WriteAutoInputAllowed(); // the capture and its confirmation on
        m_registration = std::make_unique<e2e::AddinRegistration>();
        ASSERT_EQ(m_registration->Result(), 0u) << "regsvr32 Quorvel.dll";
    }
    void TearDown() override {
        e2e::DeleteLoginPage();
        m_registration.reset();
        m_options.reset();
    }

    void Run(const std::wstring& script, DWORD timeoutMs = 180000) {
        std::wstring log;
        const DWORD code = e2e::RunBrowser(script, log, timeoutMs);
        EXPECT_EQ(code, 0u) << std::string(log.begin(), log.end());
    }

    // The entry kEntry of the page stored for e2e-login.html, checked as the
    // road stores it.
    void ExpectStoredEntry() {
        RelayState::Instance().SetRelayFolder(e2e::InstallFolder());
        CExpData store;
        // The list this process loaded before the browser stored the page.
        ASSERT_TRUE(store.SetURLData(CExpData::URL_RENEW));
        std::unique_ptr<CDataWebForm> page(
            store.GetWebPageData(e2e::PageUrl(L"e2e-login.html"), 0));
        ASSERT_TRUE(page) << "nothing stored for the page";
        const CDataWebItem* entry = nullptr;
        for (const auto& item : page->m_items)
            if (item->m_strName == kEntry) entry = item.get();
        ASSERT_TRUE(entry);
        EXPECT_EQ(entry->m_strFormName, L"login");
        EXPECT_EQ(entry->m_nAutoInput, 1);
        EXPECT_EQ(entry->m_nAutoSend, 1);
        ASSERT_EQ(entry->m_ctrls.size(), 6u) << "user, pw, plan, keep, pref, go";
        EXPECT_EQ(entry->m_ctrls[0]->TextValue()->m_strValue, L"taro.e2e");
        EXPECT_EQ(entry->m_ctrls[1]->m_nType, D_WEB_CTRL_PSWD);
        EXPECT_EQ(entry->m_ctrls[1]->TextValue()->m_strValue, L"") << "read without decryption";
    }

private:
    std::unique_ptr<OptionKeyBackup> m_options;
    std::unique_ptr<e2e::AddinRegistration> m_registration;
};

} // namespace

TEST_F(CaptureE2e, ASubmittedFormIsRegisteredAndTheReopenedPageFillsInAndSendsItself) {
    const peltrix::test::AutoAnswer regist(AUTH_CASE_REGIST, peltrix::test::AutoAnswer::kAllow);
    const peltrix::test::AutoAnswer input(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    ASSERT_TRUE(regist.Applied() && input.Applied());
    Run(L"open " + Quoted(e2e::PagePath(L"e2e-login.html")) +
        L"\n"
        L"wait-page e2e-login.html 20000\n"
        L"expect-toolbar 102 enabled 20000\n" +
        TypeSubmitAndRegister() +
        // Saved and closed: the submission goes on.
        L"wait-page e2e-done.html 40000\n"
        L"expect-url user=taro.e2e&pw=pw-e2e-42&plan=b&keep=on&pref=v3\n"
        // Reopened: filled in and sent by itself; the sink finds the entry
        // identical, so no question holds the submission up.
        L"open " +
        Quoted(e2e::PagePath(L"e2e-login.html")) +
        L"\n"
        L"wait-page e2e-done.html 60000\n"
        L"expect-url user=taro.e2e&pw=pw-e2e-42&plan=b&keep=on&pref=v3\n"
        L"expect-text \"Signed in.\"\n");
    ExpectStoredEntry();
}

TEST_F(CaptureE2e, AFormInAFrameIsRegisteredAndTheReopenedFramesetFillsItInAndSendsItOnce) {
    const peltrix::test::AutoAnswer regist(AUTH_CASE_REGIST, peltrix::test::AutoAnswer::kAllow);
    const peltrix::test::AutoAnswer input(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    ASSERT_TRUE(regist.Applied() && input.Applied());
    const std::wstring sent = L"user=taro.e2e&pw=pw-e2e-42&plan=b&keep=on&pref=v3";
    Run(L"open " + Quoted(e2e::PagePath(L"e2e-frames.html")) +
        L"\n"
        L"wait-page e2e-frames.html 20000\n"
        L"wait-page main>e2e-login.html 20000\n"
        L"expect-toolbar 102 enabled 20000\n"
        // The side frame's search form is not the one typed into.
        L"type side>word ignored\n" +
        TypeSubmitAndRegister(L"main>") +
        // Saved and closed: the frame's form goes on; the frameset stays.
        L"wait-page main>e2e-done.html 40000\n"
        L"expect-url main>" +
        sent +
        L"\n"
        L"expect-url side>e2e-side.html\n"
        L"expect-url e2e-frames.html\n"
        L"expect-loads e2e-done.html 1\n"
        // Reopened: the frame is filled in and sent by itself, once; its
        // submission finds the entry identical, so nothing opens.
        L"open " +
        Quoted(e2e::PagePath(L"e2e-frames.html")) +
        L"\n"
        L"wait-page main>e2e-done.html 60000\n"
        L"expect-url main>" +
        sent +
        L"\n"
        L"expect-url side>e2e-side.html\n"
        L"sleep 3000\n"
        L"expect-loads e2e-done.html 2\n"
        L"expect-loads e2e-login.html 2\n"
        L"expect-text \"Signed in.\"\n");
    ExpectStoredEntry();
}

TEST_F(CaptureE2e, ANavigationDuringTheAuthenticationIsCancelledTheSubmitsIsNot) {
    ASSERT_TRUE(e2e::StoreLoginPage(false));
    // Sets the test PIN; the PIN dialog of the fill-in is answered by the
    // script, as a user would, after trying to leave the page.
    const peltrix::test::AutoAnswer pin(AUTH_CASE_REGIST, peltrix::test::AutoAnswer::kAllow);
    ASSERT_TRUE(pin.Applied());
    Run(L"open " + Quoted(e2e::PagePath(L"e2e-login.html")) +
        L"\n"
        L"wait-page e2e-login.html 20000\n"
        L"wait-window \"TORVA 認証\" 30000\n"
        L"open " +
        Quoted(e2e::PagePath(L"e2e-noform.html")) +
        L"\n"
        L"sleep 500\n"
        L"expect-url e2e-login.html\n"
        L"dialog-type \"TORVA 認証\" 0 246813\n"
        L"dialog-click \"TORVA 認証\" OK\n"
        L"wait-value pw pw-e2e-42 30000\n"
        // The entry is the one filled in: the submit's navigation is kept.
        L"click Login\n"
        L"wait-page e2e-done.html 20000\n");
}
