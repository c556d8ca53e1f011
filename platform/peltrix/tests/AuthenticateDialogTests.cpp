// The PIN dialog, answered the way a user would: find it, type, press a button.
#include "AuthenticationRun.h"
#include "Authenticator.h"
#include "Peltrix.h"
#include "PinDialog.h"
#include "PinStore.h"
#include "TestSettingsRoot.h"
#include "Win32Handles.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <atomic>

using peltrix::Authenticator;

namespace {

const wchar_t kPin[] = L"8642";
const wchar_t kWrongPinMessage[] = L"PINが正しくありません。";

class AuthenticateDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(TVRAUTH_OK,
                  peltrix::PinStore(m_root.path()).SetPin(kPin, peltrix::kMinIterations));
    }

    std::function<DWORD()> Authenticate(DWORD authCase) const {
        const std::wstring root = m_root.path();
        return [root, authCase] { return Authenticator(root).Authenticate(authCase); };
    }

    // The value that older builds took as an answer given in advance.
    void StoreAutoAnswerValue(DWORD authCase, DWORD value) {
        torva::UniqueRegKey key;
        ASSERT_EQ(ERROR_SUCCESS,
                  ::RegCreateKeyExW(HKEY_CURRENT_USER, m_root.path().c_str(), 0, nullptr, 0,
                                    KEY_SET_VALUE, nullptr, key.put(), nullptr));
        const std::wstring name = L"AutoAnswer" + std::to_wstring(authCase);
        ASSERT_EQ(ERROR_SUCCESS,
                  ::RegSetValueExW(key.get(), name.c_str(), 0, REG_DWORD,
                                   reinterpret_cast<const BYTE*>(&value), sizeof value));
    }

    // Authenticates on a thread of its own, so that a dialog shown by mistake
    // fails the test (and is closed) instead of blocking it.
    DWORD ResultCountingWindows(DWORD authCase, int& created) {
        std::atomic<int> counted{-1};
        DWORD result = 99;
        {
            AuthenticationRun run([this, authCase, &counted] {
                int windows = -1;
                const DWORD answer = CountWindowsCreated(Authenticate(authCase), windows);
                counted = windows;
                return answer;
            });
            EXPECT_TRUE(run.WaitForResult(result, 5000)) << "a dialog was shown";
        }
        created = counted;
        return result;
    }

    // Opens the dialog for a case, reads its reason text and cancels it.
    std::wstring ReasonShownFor(DWORD authCase) {
        AuthenticationRun run(Authenticate(authCase));
        HWND dialog = run.WaitForDialog();
        if (dialog == nullptr) return L"(no dialog)";
        const std::wstring reason = AuthenticationRun::ControlText(dialog, IDC_REASON);
        AuthenticationRun::Press(dialog, IDCANCEL);
        DWORD result = 0;
        EXPECT_TRUE(run.WaitForResult(result));
        EXPECT_EQ(TVRAUTH_E_CANCELLED, result);
        return reason;
    }

    TestSettingsRoot m_root;
};

} // namespace

TEST_F(AuthenticateDialogTest, TypedRightPinAuthenticates) {
    AuthenticationRun run(Authenticate(AUTHCASE_EXPORT));
    HWND dialog = run.WaitForDialog();
    ASSERT_NE(nullptr, dialog);

    wchar_t title[64] = {};
    ::GetWindowTextW(dialog, title, ARRAYSIZE(title));
    EXPECT_STREQ(L"TORVA 認証", title);
    EXPECT_NE(nullptr, ::FindWindowW(L"#32770", L"TORVA 認証")) << "findable by class and title";
    const LONG_PTR style = ::GetWindowLongPtrW(::GetDlgItem(dialog, IDC_PIN), GWL_STYLE);
    EXPECT_TRUE(style & ES_PASSWORD) << "the PIN must not be readable over the user's shoulder";

    AuthenticationRun::TypePin(dialog, kPin);
    AuthenticationRun::Press(dialog, IDOK);
    DWORD result = 99;
    ASSERT_TRUE(run.WaitForResult(result));
    EXPECT_EQ(TVRAUTH_OK, result);
}

TEST_F(AuthenticateDialogTest, ThreeWrongPinsGiveWrongPinAfterSayingSo) {
    AuthenticationRun run(Authenticate(AUTHCASE_INPUT_PASSWORD));
    HWND dialog = run.WaitForDialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(L"", AuthenticationRun::ControlText(dialog, IDC_MESSAGE));

    for (int attempt = 1; attempt <= 2; ++attempt) {
        AuthenticationRun::TypePin(dialog, L"0000");
        AuthenticationRun::Press(dialog, IDOK);
        ASSERT_TRUE(::IsWindow(dialog)) << "attempt " << attempt << " must leave room to retry";
        EXPECT_EQ(kWrongPinMessage, AuthenticationRun::ControlText(dialog, IDC_MESSAGE));
        EXPECT_EQ(L"", AuthenticationRun::ControlText(dialog, IDC_PIN))
            << "field cleared for retry";
    }
    AuthenticationRun::TypePin(dialog, L"1111");
    AuthenticationRun::Press(dialog, IDOK);
    DWORD result = 99;
    ASSERT_TRUE(run.WaitForResult(result));
    EXPECT_EQ(TVRAUTH_E_WRONG_PIN, result);
}

TEST_F(AuthenticateDialogTest, RightPinAfterWrongOnesAuthenticates) {
    AuthenticationRun run(Authenticate(AUTHCASE_REGIST_WEBFORM));
    HWND dialog = run.WaitForDialog();
    ASSERT_NE(nullptr, dialog);
    for (int attempt = 1; attempt <= 2; ++attempt) {
        AuthenticationRun::TypePin(dialog, L"86420");
        AuthenticationRun::Press(dialog, IDOK);
    }
    AuthenticationRun::TypePin(dialog, kPin);
    AuthenticationRun::Press(dialog, IDOK);
    DWORD result = 99;
    ASSERT_TRUE(run.WaitForResult(result));
    EXPECT_EQ(TVRAUTH_OK, result);
}

TEST_F(AuthenticateDialogTest, CancelButtonCancels) {
    AuthenticationRun run(Authenticate(AUTHCASE_START_MANAGER));
    HWND dialog = run.WaitForDialog();
    ASSERT_NE(nullptr, dialog);
    AuthenticationRun::TypePin(dialog, kPin); // typed, but never confirmed
    AuthenticationRun::Press(dialog, IDCANCEL);
    DWORD result = 99;
    ASSERT_TRUE(run.WaitForResult(result));
    EXPECT_EQ(TVRAUTH_E_CANCELLED, result);
}

TEST_F(AuthenticateDialogTest, ClosingTheWindowCancels) {
    AuthenticationRun run(Authenticate(AUTHCASE_EXPORT));
    HWND dialog = run.WaitForDialog();
    ASSERT_NE(nullptr, dialog);
    ::SendMessageW(dialog, WM_CLOSE, 0, 0);
    DWORD result = 99;
    ASSERT_TRUE(run.WaitForResult(result));
    EXPECT_EQ(TVRAUTH_E_CANCELLED, result);
}

TEST_F(AuthenticateDialogTest, EachCaseNamesWhyTheUserIsAsked) {
    EXPECT_EQ(L"エクスポートを行うには認証が必要です。", ReasonShownFor(AUTHCASE_EXPORT));
    EXPECT_EQ(L"Webフォームの登録には認証が必要です。", ReasonShownFor(AUTHCASE_REGIST_WEBFORM));
    EXPECT_EQ(L"パスワードの入力には認証が必要です。", ReasonShownFor(AUTHCASE_INPUT_PASSWORD));
    EXPECT_EQ(L"管理ツールの起動には認証が必要です。", ReasonShownFor(AUTHCASE_START_MANAGER));
    EXPECT_EQ(L"この操作には認証が必要です。", ReasonShownFor(2));
    EXPECT_EQ(L"この操作には認証が必要です。", ReasonShownFor(0xFFFFFFFF));
}

TEST_F(AuthenticateDialogTest, DialogIsTopmostAndOwnedByTheCallersActiveWindow) {
    std::atomic<HWND> ownerSeen{nullptr};
    AuthenticationRun run([this, &ownerSeen] {
        torva::UniqueWindow owner(::CreateWindowExW(0, L"STATIC", L"caller",
                                                    WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                                    100, nullptr, nullptr, nullptr, nullptr));
        ::SetActiveWindow(owner.get());
        ownerSeen = owner.get();
        return Authenticate(AUTHCASE_EXPORT)();
    });
    HWND dialog = run.WaitForDialog();
    ASSERT_NE(nullptr, dialog);
    ASSERT_NE(nullptr, ownerSeen.load());
    EXPECT_EQ(ownerSeen.load(), ::GetWindow(dialog, GW_OWNER));
    EXPECT_TRUE(::GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST);
    AuthenticationRun::Press(dialog, IDCANCEL);
    DWORD result = 99;
    ASSERT_TRUE(run.WaitForResult(result));
    EXPECT_EQ(TVRAUTH_E_CANCELLED, result);
}

TEST_F(AuthenticateDialogTest, NoPinSetAnswersNoPinWithoutAnyWindow) {
    ASSERT_EQ(TVRAUTH_OK, peltrix::PinStore(m_root.path()).ClearPin());
    int created = -1;
    EXPECT_EQ(TVRAUTH_E_NO_PIN, ResultCountingWindows(AUTHCASE_EXPORT, created));
    EXPECT_EQ(0, created);
}

TEST_F(AuthenticateDialogTest, StoredAutoAnswerValuesAreIgnoredAndTheDialogAnswers) {
    // Any program of the user can write these values; none of them may stand
    // in for the PIN (1 once meant allow, 2 deny).
    StoreAutoAnswerValue(AUTHCASE_INPUT_PASSWORD, 1);
    StoreAutoAnswerValue(AUTHCASE_EXPORT, 1);
    StoreAutoAnswerValue(AUTHCASE_REGIST_WEBFORM, 2);
    for (DWORD authCase : {DWORD{AUTHCASE_INPUT_PASSWORD}, DWORD{AUTHCASE_EXPORT}}) {
        AuthenticationRun run(Authenticate(authCase));
        HWND dialog = run.WaitForDialog();
        ASSERT_NE(nullptr, dialog) << "case " << authCase << " must ask the user";
        AuthenticationRun::Press(dialog, IDCANCEL);
        DWORD result = 99;
        ASSERT_TRUE(run.WaitForResult(result));
        EXPECT_EQ(TVRAUTH_E_CANCELLED, result) << "case " << authCase;
    }
    AuthenticationRun run(Authenticate(AUTHCASE_REGIST_WEBFORM));
    HWND dialog = run.WaitForDialog();
    ASSERT_NE(nullptr, dialog);
    AuthenticationRun::TypePin(dialog, kPin);
    AuthenticationRun::Press(dialog, IDOK);
    DWORD result = 99;
    ASSERT_TRUE(run.WaitForResult(result));
    EXPECT_EQ(TVRAUTH_OK, result) << "the PIN, not the stored value, decides";
}

TEST_F(AuthenticateDialogTest, StoredAutoAnswerWithoutPinStillAnswersNoPinWithoutAnyWindow) {
    ASSERT_EQ(TVRAUTH_OK, peltrix::PinStore(m_root.path()).ClearPin());
    StoreAutoAnswerValue(AUTHCASE_START_MANAGER, 1);
    int created = -1;
    EXPECT_EQ(TVRAUTH_E_NO_PIN, ResultCountingWindows(AUTHCASE_START_MANAGER, created));
    EXPECT_EQ(0, created);
}

TEST_F(AuthenticateDialogTest, DialogCarriesItsCaseForWhoeverAnswersIt) {
    for (DWORD authCase : {DWORD{AUTHCASE_EXPORT}, DWORD{2}, DWORD{0xFFFFFFFF}}) {
        AuthenticationRun run(Authenticate(authCase));
        HWND dialog = run.WaitForDialog();
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ(authCase, static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(
                                ::GetPropW(dialog, peltrix::PinDialog::kAuthCaseProperty))));
        AuthenticationRun::Press(dialog, IDCANCEL);
        DWORD result = 99;
        ASSERT_TRUE(run.WaitForResult(result));
    }
}

TEST_F(AuthenticateDialogTest, AutoAnswerOfAnotherCaseStillAsks) {
    StoreAutoAnswerValue(AUTHCASE_REGIST_WEBFORM, 1);
    AuthenticationRun run(Authenticate(AUTHCASE_INPUT_PASSWORD));
    HWND dialog = run.WaitForDialog();
    ASSERT_NE(nullptr, dialog);
    AuthenticationRun::Press(dialog, IDCANCEL);
    DWORD result = 99;
    ASSERT_TRUE(run.WaitForResult(result));
    EXPECT_EQ(TVRAUTH_E_CANCELLED, result);
}

TEST_F(AuthenticateDialogTest, AskAndUnknownAutoAnswersShowTheDialog) {
    StoreAutoAnswerValue(AUTHCASE_EXPORT, 0);
    StoreAutoAnswerValue(AUTHCASE_INPUT_PASSWORD, 7);
    for (DWORD authCase : {DWORD{AUTHCASE_EXPORT}, DWORD{AUTHCASE_INPUT_PASSWORD}}) {
        AuthenticationRun run(Authenticate(authCase));
        HWND dialog = run.WaitForDialog();
        ASSERT_NE(nullptr, dialog) << "case " << authCase;
        AuthenticationRun::TypePin(dialog, kPin);
        AuthenticationRun::Press(dialog, IDOK);
        DWORD result = 99;
        ASSERT_TRUE(run.WaitForResult(result));
        EXPECT_EQ(TVRAUTH_OK, result);
    }
}
