// The installed Mablix.exe started as the toolbar starts it: one instance,
// the caller's window from "IEWND=%d", the authentication at start and the
// close notice back to the caller.
#include "AutoAnswer.h"
#include "InstallFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const wchar_t kCaption[] = L"Webフォームデータ管理";
constexpr UINT kCloseNotice = WM_USER + 400;

struct Started {
    HANDLE process = nullptr;
    ~Started() {
        if (process) {
            if (::WaitForSingleObject(process, 0) == WAIT_TIMEOUT) ::TerminateProcess(process, 1);
            ::CloseHandle(process);
        }
    }
};

bool Start(const std::wstring& commandLine, Started* started) {
    const std::wstring program = torva::InstallFolder() + L"Mablix.exe";
    std::wstring line = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &info)) {
        return false;
    }
    ::CloseHandle(info.hThread);
    started->process = info.hProcess;
    return true;
}

void Pump() {
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) && message.message != kCloseNotice) {
        ::DispatchMessageW(&message);
    }
}

HWND WaitForWindow(const wchar_t* caption, DWORD processId, int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += 50) {
        for (HWND window = ::FindWindowW(nullptr, caption); window;
             window = ::FindWindowExW(nullptr, window, nullptr, caption)) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == processId) return window;
        }
        ::Sleep(50);
    }
    return nullptr;
}

// Waits for the process while keeping the caller's queue alive; true when it
// ended in time.
bool WaitForEnd(HANDLE process, int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += 50) {
        if (::WaitForSingleObject(process, 50) == WAIT_OBJECT_0) return true;
    }
    return false;
}

class MablixApp : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(torva::InstallFolder().empty());
        m_caller = ::CreateWindowExW(0, L"STATIC", L"toolbar stand-in", WS_POPUP, 0, 0, 10, 10,
                                     nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, m_caller);
    }
    void TearDown() override {
        if (m_caller) ::DestroyWindow(m_caller);
    }
    int CallerNumber() const { return static_cast<int>(reinterpret_cast<INT_PTR>(m_caller)); }
    HWND m_caller = nullptr;
};

} // namespace

TEST_F(MablixApp, SingleInstanceAndCloseNoticeToLiveCaller) {
    peltrix::test::AutoAnswer allow(5, peltrix::test::AutoAnswer::kAllow);
    ASSERT_TRUE(allow.Applied());
    Started first;
    // Lower case key after other text, as a hand-made command line may have it.
    ASSERT_TRUE(Start(L"Mablix.exe /x iewnd=" + std::to_wstring(CallerNumber()), &first));
    const HWND dialog = WaitForWindow(kCaption, ::GetProcessId(first.process), 30000);
    ASSERT_NE(nullptr, dialog);

    // A second start brings the first forward and ends without a window of its own.
    Started second;
    ASSERT_TRUE(Start(L"Mablix.exe", &second));
    ASSERT_TRUE(WaitForEnd(second.process, 30000));
    EXPECT_EQ(nullptr, WaitForWindow(kCaption, ::GetProcessId(second.process), 200));
    EXPECT_EQ(WAIT_TIMEOUT, ::WaitForSingleObject(first.process, 0));

    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_TRUE(WaitForEnd(first.process, 30000));
    MSG message{};
    ASSERT_TRUE(::PeekMessageW(&message, m_caller, kCloseNotice, kCloseNotice, PM_REMOVE));
    EXPECT_EQ(2u, message.wParam);
    EXPECT_EQ(0, message.lParam);
    Pump();
}

TEST_F(MablixApp, RefusedAuthenticationStopsBeforeTheDialog) {
    peltrix::test::AutoAnswer deny(5, peltrix::test::AutoAnswer::kDeny);
    Started run;
    ASSERT_TRUE(Start(L"IEWND=" + std::to_wstring(CallerNumber()), &run));
    const DWORD id = ::GetProcessId(run.process);
    // The refusal is told in a box captioned with the display name.
    const HWND box = WaitForWindow(kCaption, id, 30000);
    ASSERT_NE(nullptr, box);
    wchar_t text[128] = {};
    HWND label = ::GetDlgItem(box, 0xFFFF);
    if (label) ::GetWindowTextW(label, text, 128);
    EXPECT_STREQ(L"認証に失敗しました。管理ツールを起動できません。", text);
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitForEnd(run.process, 30000));
    MSG message{};
    EXPECT_FALSE(::PeekMessageW(&message, m_caller, kCloseNotice, kCloseNotice, PM_REMOVE));
}

TEST_F(MablixApp, GoneCallerGetsNoNoticeAndTheProgramEndsNormally) {
    peltrix::test::AutoAnswer allow(5, peltrix::test::AutoAnswer::kAllow);
    const int gone = CallerNumber();
    ::DestroyWindow(m_caller);
    m_caller = nullptr;
    Started run;
    ASSERT_TRUE(Start(L"IEWND=" + std::to_wstring(gone), &run));
    const HWND dialog = WaitForWindow(kCaption, ::GetProcessId(run.process), 30000);
    ASSERT_NE(nullptr, dialog);
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_TRUE(WaitForEnd(run.process, 30000));
    DWORD code = 1;
    ::GetExitCodeProcess(run.process, &code);
    EXPECT_EQ(0u, code);
}
