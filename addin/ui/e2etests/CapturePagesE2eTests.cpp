// The capture in the browser program on pages shaped as log-in pages are
// written, and the user's answers to its questions: every kind of control,
// a form split across table cells, a log-in form after a search form, the
// confirmation declined for good, a changed password, a widened field, and
// the options under which nothing is asked. The installed add-in, relay and
// database; the PIN dialogs answered as a user would.
#include "AutoAnswer.h"
#include "E2eSupport.h"
#include "OptionKeyBackup.h"

#include "CExpData.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr const wchar_t* kEntry = L"E2E 登録";

std::wstring Quoted(const std::wstring& s) {
    return L"\"" + s + L"\"";
}

std::wstring Open(const std::wstring& page) {
    return L"open " + Quoted(e2e::PagePath(page)) + L"\n" + L"wait-page " + page + L" 20000\n";
}

// Answers "登録確認" with yes and registers the selected form under kEntry
// with auto-input and auto-send ticked.
std::wstring ConfirmAndRegister() {
    return L"wait-window 登録確認 20000\n"
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

// The main road on page: entered (the typing and the click) submits the form
// as sent, "登録確認" is answered and the form registered; reopened, the
// page is filled in and sent by itself with the same values, once.
std::wstring CaptureThenReopen(const std::wstring& page, const std::wstring& entered,
                               const std::wstring& sent) {
    return Open(page) + L"expect-toolbar 102 enabled 20000\n" + entered + ConfirmAndRegister() +
           L"wait-page e2e-done.html 40000\n"
           L"expect-url " +
           sent + L"\nopen " + Quoted(e2e::PagePath(page)) +
           L"\n"
           L"wait-page e2e-done.html 60000\n"
           L"expect-url " +
           sent +
           L"\n"
           L"sleep 3000\n"
           L"expect-loads e2e-done.html 2\n";
}

std::string Narrow(const std::wstring& s) {
    std::string out;
    for (wchar_t c : s)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

// The stored entry named name of page, or null.
const CDataWebItem* Entry(const CDataWebForm& page, const std::wstring& name) {
    for (const auto& item : page.m_items)
        if (item->m_strName == name) return item.get();
    return nullptr;
}

class CapturePagesE2e : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(e2e::InstallFolder().empty()) << "no install folder in the prefix";
        for (const auto& page : kPages)
            e2e::DeleteLoginPage(page);
        m_options = std::make_unique<OptionKeyBackup>();
        ASSERT_TRUE(m_options->Saved());
        m_options->WriteAutoInputAllowed(); // the capture and its confirmation on
        m_registration = std::make_unique<e2e::AddinRegistration>();
        ASSERT_EQ(m_registration->Result(), 0u) << "regsvr32 Quorvel.dll";
    }
    void TearDown() override {
        for (const auto& page : kPages)
            e2e::DeleteLoginPage(page);
        m_registration.reset();
        m_options.reset();
    }

    // Runs the script; fails the test with the log unless every line passed.
    void Run(const std::wstring& script, DWORD timeoutMs = 180000) {
        std::wstring log;
        const DWORD code = e2e::RunBrowser(script, log, timeoutMs);
        EXPECT_EQ(code, 0u) << Narrow(log);
    }

    // Writes the options as the auto-input defaults with one changed.
    void WriteOptions(std::int32_t CDataOption::*option, std::int32_t value) {
        CDataOption record;
        ASSERT_TRUE(m_options->Read(record));
        record.*option = value;
        m_options->Write(record);
    }

    std::unique_ptr<OptionKeyBackup> m_options;

private:
    static inline const std::vector<std::wstring> kPages = {L"e2e-login.html", L"e2e-kinds.html",
                                                            L"e2e-split.html", L"e2e-search.html",
                                                            L"e2e-wider.html"};
    std::unique_ptr<e2e::AddinRegistration> m_registration;
};

} // namespace

TEST_F(CapturePagesE2e, EveryKindOfControlIsCapturedAndTheReopenedPageIsFilledAndSentByItsImage) {
    const peltrix::test::AutoAnswer regist(AUTH_CASE_REGIST, peltrix::test::AutoAnswer::kAllow);
    const peltrix::test::AutoAnswer input(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    ASSERT_TRUE(regist.Applied() && input.Applied());
    const std::wstring sent =
        L"user=taro.e2e&pw=pw-e2e-42&plan=b&keep=on&pref=v3&note=memo-e2e-7&pic.x=0&pic.y=0";
    Run(CaptureThenReopen(L"e2e-kinds.html",
                          L"type user taro.e2e\n"
                          L"type pw pw-e2e-42\n"
                          L"check plan b\n"
                          L"check keep\n"
                          L"choose pref v3\n"
                          L"type note memo-e2e-7\n"
                          L"click Go\n",
                          sent));
    const std::unique_ptr<CDataWebForm> page = e2e::StoredPage(L"e2e-kinds.html");
    ASSERT_TRUE(page) << "nothing stored for the page";
    const CDataWebItem* entry = Entry(*page, kEntry);
    ASSERT_TRUE(entry);
    const std::vector<int> kinds = {D_WEB_CTRL_TEXT,  D_WEB_CTRL_PSWD,   D_WEB_CTRL_RADIO,
                                    D_WEB_CTRL_CHECK, D_WEB_CTRL_SELECT, D_WEB_CTRL_MULTI,
                                    D_WEB_CTRL_IMAGE};
    ASSERT_EQ(entry->m_ctrls.size(), kinds.size());
    for (size_t i = 0; i < kinds.size(); ++i)
        EXPECT_EQ(entry->m_ctrls[i]->m_nType, kinds[i]) << "control " << i;
    const CDataWebMultiText* note = entry->m_ctrls[5]->MultiValue();
    ASSERT_TRUE(note);
    EXPECT_EQ(note->m_strText, L"memo-e2e-7");
    EXPECT_EQ(note->m_nRows, 3);
    EXPECT_EQ(note->m_nCols, 30);
    const CDataWebButtonValue* image = entry->m_ctrls[6]->ButtonValue();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->m_strValue, L"Go");
    EXPECT_EQ(image->m_nSelected, 1);
}

TEST_F(CapturePagesE2e, AFormSplitAcrossTableCellsIsCapturedAndTheReopenedPageIsFilledAndSentOnce) {
    const peltrix::test::AutoAnswer regist(AUTH_CASE_REGIST, peltrix::test::AutoAnswer::kAllow);
    const peltrix::test::AutoAnswer input(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    ASSERT_TRUE(regist.Applied() && input.Applied());
    const std::wstring sent = L"user=taro.e2e&pw=pw-e2e-42&go=Login";
    Run(CaptureThenReopen(L"e2e-split.html",
                          L"type user taro.e2e\n"
                          L"type pw pw-e2e-42\n"
                          L"click Login\n",
                          sent) +
        L"expect-loads e2e-split.html 2\n");
    const std::unique_ptr<CDataWebForm> page = e2e::StoredPage(L"e2e-split.html");
    ASSERT_TRUE(page);
    const CDataWebItem* entry = Entry(*page, kEntry);
    ASSERT_TRUE(entry);
    ASSERT_EQ(entry->m_ctrls.size(), 3u) << "user, pw, go: the controls of both cells";
    EXPECT_EQ(entry->m_nAutoSend, 1);
}

TEST_F(CapturePagesE2e, ALogInFormAfterASearchFormIsCapturedAndTheReopenedPageIsFilledAndSentOnce) {
    const peltrix::test::AutoAnswer regist(AUTH_CASE_REGIST, peltrix::test::AutoAnswer::kAllow);
    const peltrix::test::AutoAnswer input(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    ASSERT_TRUE(regist.Applied() && input.Applied());
    const std::wstring sent = L"user=taro.e2e&pw=pw-e2e-42&go=Login";
    Run(CaptureThenReopen(L"e2e-search.html",
                          L"type user taro.e2e\n"
                          L"type pw pw-e2e-42\n"
                          L"click Login\n",
                          sent) +
        L"expect-loads e2e-search.html 2\n");
    const std::unique_ptr<CDataWebForm> page = e2e::StoredPage(L"e2e-search.html");
    ASSERT_TRUE(page);
    const CDataWebItem* entry = Entry(*page, kEntry);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->m_strFormName, L"login");
    EXPECT_EQ(entry->m_nAutoSend, 1);
    ASSERT_FALSE(entry->m_ctrls.empty());
    const CDataWebButtonValue* go = entry->m_ctrls.back()->ButtonValue();
    ASSERT_TRUE(go);
    EXPECT_EQ(go->m_nSelected, 1) << "the button clicked is the one that sends";
}

TEST_F(CapturePagesE2e,
       NoWithTheBoxTickedRegistersNothingAndTheNextSubmitGoesStraightToRegistration) {
    Run(Open(L"e2e-login.html") +
        L"expect-toolbar 102 enabled 20000\n"
        L"type user taro.e2e\n"
        L"click Login\n"
        L"wait-window 登録確認 20000\n"
        L"dialog-check 登録確認 241 on\n"
        L"dialog-click 登録確認 \"いいえ(&N)\"\n"
        L"wait-page e2e-done.html 20000\n"
        L"expect-url user=taro.e2e\n" +
        // Asked no more: the next submission opens the registration itself.
        Open(L"e2e-login.html") +
        L"type user taro.e2e\n"
        L"click Login\n"
        L"wait-window 登録 20000\n"
        L"sleep 500\n"
        L"dialog-click 登録 キャンセル\n"
        L"wait-page e2e-done.html 20000\n");
    CDataOption options;
    ASSERT_TRUE(m_options->Read(options));
    EXPECT_EQ(options.m_nCheckSet, 0);
    EXPECT_FALSE(e2e::StoredPage(L"e2e-login.html")) << "nothing registered";
}

TEST_F(CapturePagesE2e, AChangedStoredPasswordOffersAddOrOverwriteAndTheOverwriteIsFilledNextTime) {
    ASSERT_TRUE(e2e::StoreLoginPage(false));
    const peltrix::test::AutoAnswer regist(AUTH_CASE_REGIST, peltrix::test::AutoAnswer::kAllow);
    const peltrix::test::AutoAnswer input(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    ASSERT_TRUE(regist.Applied() && input.Applied());
    using V = e2e::LoginValues;
    Run(Open(L"e2e-login.html") + L"wait-value pw " + V::kPassword +
        L" 30000\n"
        L"type pw pw-changed-9\n"
        L"click Login\n"
        L"wait-window 登録確認 20000\n"
        L"dialog-click 登録確認 \"はい(&Y)\"\n"
        L"wait-window 登録方法選択 20000\n"
        L"dialog-check 登録方法選択 243 on\n"
        L"dialog-click 登録方法選択 OK\n"
        L"wait-window 登録 20000\n"
        L"sleep 500\n"
        L"dialog-click 登録 OK\n"
        L"wait-page e2e-done.html 40000\n"
        L"expect-url pw=pw-changed-9\n" +
        // Reopened: the entry fills in the new password.
        Open(L"e2e-login.html") +
        L"wait-value pw pw-changed-9 30000\n"
        L"wait-value user " +
        V::kUser + L" 5000\n");
    const std::unique_ptr<CDataWebForm> page = e2e::StoredPage(L"e2e-login.html");
    ASSERT_TRUE(page);
    ASSERT_EQ(page->m_items.size(), 1u) << "overwritten, not added";
    EXPECT_EQ(page->m_items[0]->m_strName, V::kEntry);
}

TEST_F(CapturePagesE2e, AFieldWidenedFrom20To30AsksToRegisterTheFormAnew) {
    // The entry stored when the user field was 20 long; the page now has 30.
    ASSERT_TRUE(e2e::StoreLoginPage(false, L"e2e-wider.html"));
    const peltrix::test::AutoAnswer regist(AUTH_CASE_REGIST, peltrix::test::AutoAnswer::kAllow);
    ASSERT_TRUE(regist.Applied());
    Run(Open(L"e2e-wider.html") +
        // The fill finds the form changed; the user keeps the old entry now.
        L"wait-window 再登録確認 30000\n"
        L"dialog-click 再登録確認 \"いいえ(&N)\"\n"
        L"type user taro.e2e\n"
        L"type pw pw-e2e-42\n"
        L"click Login\n"
        L"wait-window 警告 20000\n"
        L"dialog-click 警告 \"はい(&Y)\"\n"
        L"wait-window 登録 20000\n"
        L"sleep 500\n"
        L"dialog-type 登録 1 " +
        Quoted(kEntry) +
        L"\n"
        L"dialog-click 登録 OK\n"
        L"wait-page e2e-done.html 40000\n");
    const std::unique_ptr<CDataWebForm> page = e2e::StoredPage(L"e2e-wider.html");
    ASSERT_TRUE(page);
    ASSERT_EQ(page->m_items.size(), 1u) << "the old entry replaced";
    const CDataWebItem& entry = *page->m_items[0];
    EXPECT_EQ(entry.m_strName, kEntry);
    ASSERT_FALSE(entry.m_ctrls.empty());
    ASSERT_TRUE(entry.m_ctrls[0]->TextValue());
    EXPECT_EQ(entry.m_ctrls[0]->TextValue()->m_nDataLen, 30);
}

TEST_F(CapturePagesE2e,
       NothingOpensWithCaptureOffTheFeatureStoppedOrOnlyPasswordFormsAndNoPassword) {
    // A submission that opens nothing never disables the browser's window.
    const std::wstring submitLogin = Open(L"e2e-login.html") + L"expect-toolbar 102 enabled 20000\n"
                                                               L"type user taro.e2e\n"
                                                               L"click Login\n"
                                                               L"wait-page e2e-done.html 20000\n"
                                                               L"sleep 1000\n"
                                                               L"expect-disables 0\n";
    WriteOptions(&CDataOption::m_nSetAuto, 0);
    Run(submitLogin);
    WriteOptions(&CDataOption::m_nSetAuto, 1);
    WriteOptions(&CDataOption::m_nStopFunc, 1);
    Run(submitLogin);
    WriteOptions(&CDataOption::m_nStopFunc, 0);
    WriteOptions(&CDataOption::m_nOnlyPwd, 1);
    Run(Open(L"e2e-search.html") +
        L"expect-toolbar 102 enabled 20000\n"
        L"type q word\n"
        L"click Search\n"
        L"wait-page e2e-done.html 20000\n"
        L"sleep 1000\n"
        L"expect-disables 0\n"
        // The log-in form beside it, with its password, is still offered.
        + Open(L"e2e-search.html") +
        L"type user taro.e2e\n"
        L"click Login\n"
        L"wait-window 登録確認 20000\n"
        L"dialog-click 登録確認 \"いいえ(&N)\"\n"
        L"wait-page e2e-done.html 20000\n");
    for (const wchar_t* page : {L"e2e-login.html", L"e2e-search.html"})
        EXPECT_FALSE(e2e::StoredPage(page)) << "nothing registered";
}
