// The test support's answers to the PIN dialog: typed as a user would, per
// case, only for dialogs of this process and the programs it started.
#include "AuthenticationRun.h"
#include "AutoAnswer.h"
#include "Peltrix.h"
#include "PinDialog.h"
#include "PinStore.h"
#include "ProgramFolder.h"
#include "StoreFormat.h"
#include "Win32Handles.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <vector>

using peltrix::test::AutoAnswer;

namespace {

// Case numbers of this program alone, so that concurrent test programs
// never meet them.
constexpr DWORD kAllowCase = 81;
constexpr DWORD kDenyCase = 82;
constexpr DWORD kUnansweredCase = 83;

std::function<DWORD()> Authenticate(DWORD authCase) {
    return [authCase] { return TvrAuth_AuthenticateUser(static_cast<eAuthCase>(authCase)); };
}

DWORD ResultOf(DWORD authCase) {
    AuthenticationRun run(Authenticate(authCase));
    DWORD result = 99;
    EXPECT_TRUE(run.WaitForResult(result, 20000)) << "case " << authCase << " not answered";
    return result;
}

struct DialogSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindPinDialogOf(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<DialogSearch*>(context);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !::IsWindowVisible(window) ||
        ::GetDlgItem(window, IDC_PIN) == nullptr) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

// The PIN dialog of a process, or null.
HWND PinDialogOf(DWORD processId) {
    DialogSearch search{processId, nullptr};
    ::EnumWindows(&FindPinDialogOf, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForPinDialogOf(DWORD processId, DWORD timeoutMs = 20000) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (::GetTickCount64() < deadline) {
        if (HWND dialog = PinDialogOf(processId)) return dialog;
        ::Sleep(10);
    }
    return nullptr;
}

// The helper program asking for case authCase, started by this process; a
// detached one is started by a helper that ends at once, so that this
// process is not among its running ancestors.
class AuthHost {
public:
    explicit AuthHost(DWORD authCase, bool detached = false) {
        std::wstring command = L"\"" + torva::ProgramFolder() + L"peltrix_auth_host.exe\" " +
                               (detached ? L"--detached " : L"") + std::to_wstring(authCase);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &info)) {
            return;
        }
        torva::UniqueHandle process(info.hProcess);
        torva::UniqueHandle thread(info.hThread);
        m_processId = info.dwProcessId;
        if (detached) {
            DWORD hostId = 0;
            if (::WaitForSingleObject(process.get(), 20000) != WAIT_OBJECT_0 ||
                !::GetExitCodeProcess(process.get(), &hostId) || hostId == 0) {
                return;
            }
            process.reset(
                ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE,
                              FALSE, hostId));
            m_processId = hostId;
        }
        m_process = std::move(process);
    }
    ~AuthHost() {
        if (m_process && ::WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(m_process.get(), 101);
        }
    }

    bool Started() const { return static_cast<bool>(m_process); }
    DWORD ProcessId() const { return m_processId; }
    // The exit code, or 99 when the program did not end in time.
    DWORD Result(DWORD timeoutMs = 20000) const {
        DWORD code = 99;
        if (::WaitForSingleObject(m_process.get(), timeoutMs) != WAIT_OBJECT_0) return code;
        ::GetExitCodeProcess(m_process.get(), &code);
        return code;
    }

private:
    torva::UniqueHandle m_process;
    DWORD m_processId = 0;
};

class AutoAnswerTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Applied() reports whether the test PIN is the user's PIN.
        const AutoAnswer probe(kAllowCase, AutoAnswer::kAllow);
        ASSERT_TRUE(probe.Applied()) << "another PIN than the test PIN is set in this prefix";
    }
};

} // namespace

TEST_F(AutoAnswerTest, AllowTypesTheTestPinAndDenyPressesCancel) {
    const AutoAnswer allow(kAllowCase, AutoAnswer::kAllow);
    const AutoAnswer deny(kDenyCase, AutoAnswer::kDeny);
    ASSERT_TRUE(allow.Applied() && deny.Applied());
    EXPECT_EQ(TVRAUTH_OK, ResultOf(kAllowCase));
    EXPECT_EQ(TVRAUTH_E_CANCELLED, ResultOf(kDenyCase));
    EXPECT_EQ(TVRAUTH_OK,
              peltrix::PinStore(peltrix::kProductSettingsRoot).Verify(peltrix::test::kTestPin));
}

TEST_F(AutoAnswerTest, NoSettingIsLeftThatAnswersWithoutTheDialog) {
    {
        const AutoAnswer allow(kAllowCase, AutoAnswer::kAllow);
        EXPECT_EQ(TVRAUTH_OK, ResultOf(kAllowCase));
    }
    // The answer ends with its object: the dialog is the user's again.
    AuthenticationRun run(Authenticate(kAllowCase));
    HWND dialog = run.WaitForDialog();
    ASSERT_NE(nullptr, dialog);
    AuthenticationRun::Press(dialog, IDCANCEL);
    DWORD result = 99;
    ASSERT_TRUE(run.WaitForResult(result));
    EXPECT_EQ(TVRAUTH_E_CANCELLED, result);
}

TEST_F(AutoAnswerTest, ACaseWithoutAnAnswerIsLeftToTheUser) {
    const AutoAnswer allow(kAllowCase, AutoAnswer::kAllow);
    AuthenticationRun run(Authenticate(kUnansweredCase));
    HWND dialog = run.WaitForDialog();
    ASSERT_NE(nullptr, dialog);
    ::Sleep(500);
    ASSERT_TRUE(::IsWindow(dialog) && ::IsWindowVisible(dialog)) << "answered by the support";
    AuthenticationRun::TypePin(dialog, L"0");
    AuthenticationRun::Press(dialog, IDCANCEL);
    DWORD result = 99;
    ASSERT_TRUE(run.WaitForResult(result));
    EXPECT_EQ(TVRAUTH_E_CANCELLED, result);
}

TEST_F(AutoAnswerTest, TheNewestAnswerOfACaseHoldsUntilItGoes) {
    const AutoAnswer allow(kAllowCase, AutoAnswer::kAllow);
    {
        const AutoAnswer deny(kAllowCase, AutoAnswer::kDeny);
        EXPECT_EQ(TVRAUTH_E_CANCELLED, ResultOf(kAllowCase));
    }
    EXPECT_EQ(TVRAUTH_OK, ResultOf(kAllowCase));
}

TEST_F(AutoAnswerTest, DialogsOfAProgramThisOneStartedAreAnswered) {
    const AutoAnswer allow(kAllowCase, AutoAnswer::kAllow);
    const AutoAnswer deny(kDenyCase, AutoAnswer::kDeny);
    AuthHost allowed(kAllowCase);
    AuthHost denied(kDenyCase);
    ASSERT_TRUE(allowed.Started() && denied.Started());
    EXPECT_EQ(static_cast<DWORD>(TVRAUTH_OK), allowed.Result());
    EXPECT_EQ(static_cast<DWORD>(TVRAUTH_E_CANCELLED), denied.Result());
}

TEST_F(AutoAnswerTest, DialogsOfOtherProgramsAreLeftAlone) {
    // As another test program's relay: an answer for its case is live here.
    const AutoAnswer allow(kAllowCase, AutoAnswer::kAllow);
    AuthHost other(kAllowCase, true);
    ASSERT_TRUE(other.Started());
    HWND dialog = WaitForPinDialogOf(other.ProcessId());
    ASSERT_NE(nullptr, dialog);
    ::Sleep(500);
    EXPECT_TRUE(::IsWindow(dialog) && ::IsWindowVisible(dialog))
        << "another program's dialog was answered";
    ::SendMessageW(::GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_EQ(static_cast<DWORD>(TVRAUTH_E_CANCELLED), other.Result());
}
