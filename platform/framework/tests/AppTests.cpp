#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "FormDialog.h"
#include "FxUser.h"
#include "Win32Handles.h"

namespace {

const wchar_t kRegistryKey[] = L"Torva Framework Tests";
const wchar_t kDisplayName[] = L"フレームワーク試験アプリ";

void DeleteTestProfile() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Torva Framework Tests");
}

// An application that starts like the manager: control container, profile
// key, a new display name, a profile value, a modal main dialog, FALSE.
class CStartupApp : public CWinApp {
public:
    CStartupApp() : CWinApp(L"FxStartup") {}

    BOOL InitInstance() override {
        steps.push_back("init");
        CWinApp::InitInstance();
        containerEnabled = AfxEnableControlContainer() != FALSE;
        SetRegistryKey(kRegistryKey);
        std::free(const_cast<wchar_t*>(m_pszAppName));
        m_pszAppName = _wcsdup(kDisplayName);
        wroteProfile = WriteProfileInt(L"Position", L"Left", 12) != FALSE;
        readBack = GetProfileInt(L"Position", L"Left", -1);
        missingValue = GetProfileInt(L"Position", L"Nowhere", -7);
        boxAnswer = AfxMessageBox(L"お知らせの本文", MB_OK | MB_ICONINFORMATION);
        steps.push_back("box");
        CFormDialog dialog;
        m_pMainWnd = &dialog;
        dialog.m_name = L"主画面";
        dialogResult = dialog.DoModal();
        mainAfterDialog = AfxGetMainWnd();
        steps.push_back("dialog");
        return FALSE;
    }
    int ExitInstance() override {
        steps.push_back("exit");
        return CWinApp::ExitInstance() + 5;
    }

    std::vector<std::string> steps;
    bool containerEnabled = false;
    bool wroteProfile = false;
    UINT readBack = 0;
    UINT missingValue = 0;
    int boxAnswer = 0;
    INT_PTR dialogResult = 0;
    CWnd* mainAfterDialog = nullptr;
};

TEST(Application, StartsLikeTheManagerAndRunsExitInstanceAfterAFailedStart) {
    DeleteTestProfile();
    CStartupApp app;
    ASSERT_EQ(&app, AfxGetApp());
    std::wstring boxCaption;
    FxUser boxUser(kDisplayName, [&](HWND box) {
        boxCaption = FxUser::Text(box);
        ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    FxUser dialogUser(L"フォームの試験", [&](HWND dialog) { FxUser::Press(dialog, IDOK); });
    wchar_t commandLine[] = L"IEWND=1234";
    const int code = AfxWinMain(::GetModuleHandleW(nullptr), nullptr, commandLine, SW_SHOWNORMAL);
    ASSERT_TRUE(boxUser.Join());
    ASSERT_TRUE(dialogUser.Join());

    EXPECT_EQ(5, code);
    EXPECT_EQ((std::vector<std::string>{"init", "box", "dialog", "exit"}), app.steps);
    EXPECT_TRUE(app.containerEnabled);
    EXPECT_EQ(std::wstring(L"IEWND=1234"), app.m_lpCmdLine);
    EXPECT_EQ(kDisplayName, boxCaption);
    EXPECT_EQ(IDOK, app.boxAnswer);
    EXPECT_EQ(IDOK, app.dialogResult);
    // The main window is forgotten once it is gone.
    EXPECT_EQ(nullptr, app.mainAfterDialog);

    EXPECT_TRUE(app.wroteProfile);
    EXPECT_EQ(12u, app.readBack);
    EXPECT_EQ(static_cast<UINT>(-7), app.missingValue);
    // The profile stays under the name the program had when the key was set.
    EXPECT_STREQ(L"FxStartup", app.m_pszProfileName);
    torva::UniqueRegKey key;
    ASSERT_EQ(ERROR_SUCCESS,
              ::RegOpenKeyExW(HKEY_CURRENT_USER,
                              L"Software\\Torva Framework Tests\\FxStartup\\Position", 0, KEY_READ,
                              key.put()));
    DWORD value = 0;
    DWORD size = sizeof(value);
    ASSERT_EQ(ERROR_SUCCESS, ::RegQueryValueExW(key.get(), L"Left", nullptr, nullptr,
                                                reinterpret_cast<BYTE*>(&value), &size));
    EXPECT_EQ(12u, value);
    key.reset();
    DeleteTestProfile();
}

// An application whose start succeeds: the message loop runs until the
// modeless main window is closed by its user.
class CClosingForm : public CFormDialog {
public:
    void OnOK() override { DestroyWindow(); }
};

class CLoopApp : public CWinApp {
public:
    CLoopApp() : CWinApp(L"FxLoop") {}
    BOOL InitInstance() override {
        if (!m_form.Create(IDD_FX_FORM)) return FALSE;
        m_form.ShowWindow(SW_SHOW);
        m_pMainWnd = &m_form;
        return TRUE;
    }
    int ExitInstance() override {
        exited = true;
        return CWinApp::ExitInstance();
    }
    CClosingForm m_form;
    bool exited = false;
};

TEST(Application, RunsTheMessageLoopUntilTheMainWindowCloses) {
    CLoopApp app;
    FxUser user(L"フォームの試験", [&](HWND dialog) {
        FxUser::Key(::GetDlgItem(dialog, IDC_FX_NAME),
                    VK_DELETE); // accelerators reach a modeless dialog too
        ::Sleep(50);
        FxUser::Press(dialog, IDOK);
    });
    wchar_t commandLine[] = L"";
    EXPECT_EQ(0, AfxWinMain(::GetModuleHandleW(nullptr), nullptr, commandLine, SW_SHOWNORMAL));
    ASSERT_TRUE(user.Join());
    EXPECT_TRUE(app.exited);
    EXPECT_EQ(1, app.m_form.m_clearRuns);
    EXPECT_EQ(nullptr, app.m_pMainWnd);
    // The quit message ended the loop and is not left for anyone else.
    MSG msg{};
    EXPECT_FALSE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST(Application, DisplayNameDefaultsToTheProgramName) {
    CWinApp app;
    wchar_t commandLine[] = L"";
    ASSERT_TRUE(AfxWinInit(::GetModuleHandleW(nullptr), nullptr, commandLine, SW_SHOWNORMAL));
    EXPECT_STREQ(L"framework_tests", app.m_pszAppName);
    EXPECT_STREQ(L"framework_tests", app.m_pszExeName);
}

TEST(Application, WithoutRegistryKeyTheProfileIsTheProgramsIniFile) {
    CWinApp app;
    wchar_t commandLine[] = L"";
    ASSERT_TRUE(AfxWinInit(::GetModuleHandleW(nullptr), nullptr, commandLine, SW_SHOWNORMAL));
    ASSERT_STREQ(L"framework_tests.INI", app.m_pszProfileName);
    wchar_t windows[MAX_PATH] = {};
    ASSERT_NE(0u, ::GetWindowsDirectoryW(windows, MAX_PATH));
    const std::wstring file = std::wstring(windows) + L"\\framework_tests.INI";
    ::DeleteFileW(file.c_str());

    EXPECT_EQ(9u, app.GetProfileInt(L"Position", L"Left", 9));
    EXPECT_TRUE(app.WriteProfileInt(L"Position", L"Left", -20));
    EXPECT_TRUE(app.WriteProfileString(L"Position", L"Name", L"位置"));
    EXPECT_EQ(static_cast<UINT>(-20), app.GetProfileInt(L"Position", L"Left", 9));
    EXPECT_EQ(CString(L"位置"), app.GetProfileString(L"Position", L"Name"));
    EXPECT_EQ(CString(L"既定"), app.GetProfileString(L"Position", L"Missing", L"既定"));
    wchar_t stored[16] = {};
    ::GetPrivateProfileStringW(L"Position", L"Left", L"", stored, 16, file.c_str());
    EXPECT_STREQ(L"-20", stored);
    ::DeleteFileW(file.c_str());
}

TEST(Application, ProfileStringsRoundTrip) {
    DeleteTestProfile();
    CWinApp app(L"FxStrings");
    app.SetRegistryKey(IDS_FX_REGISTRY_KEY);
    ASSERT_STREQ(kRegistryKey, app.m_pszRegistryKey);
    EXPECT_TRUE(app.WriteProfileString(L"Names", L"Title", L"題名"));
    EXPECT_EQ(CString(L"題名"), app.GetProfileString(L"Names", L"Title"));
    EXPECT_EQ(CString(L"なし"), app.GetProfileString(L"Names", L"Missing", L"なし"));
    DeleteTestProfile();
}

} // namespace
