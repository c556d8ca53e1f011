#include "CWindowImpl.h"
#include <gtest/gtest.h>
#include <commctrl.h>
#include <olectl.h>
#include <string>

namespace {

constexpr UINT kDouble = WM_APP + 1;   // answered with wParam * 2
constexpr UINT kBaseOnly = WM_APP + 2; // known to the base class's map only
constexpr UINT kMemberOnly = WM_APP + 3;
constexpr UINT kDeclined = WM_APP + 4; // the handler looks and passes it on

const RECT kRect{0, 0, 300, 100};

class CMemberMap : public CMessageMap {
public:
    BEGIN_MSG_MAP(CMemberMap)
    MESSAGE_HANDLER(kMemberOnly, OnMember)
    END_MSG_MAP()

    LRESULT OnMember(UINT, WPARAM wParam, LPARAM, BOOL&) {
        return static_cast<LRESULT>(wParam) + 1000;
    }
};

template <class T> class CAnswerBase : public CWindowImpl<T> {
public:
    BEGIN_MSG_MAP(CAnswerBase)
    MESSAGE_HANDLER(kBaseOnly, OnBase)
    MESSAGE_HANDLER(kDouble, OnBase)
    END_MSG_MAP()

    LRESULT OnBase(UINT, WPARAM, LPARAM, BOOL&) { return -7; }
};

class CTestWindow : public CAnswerBase<CTestWindow> {
public:
    DECLARE_WND_CLASS(L"TorvaComtlTestWindow")

    BEGIN_MSG_MAP(CTestWindow)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    MESSAGE_HANDLER(kDouble, OnDouble)
    MESSAGE_HANDLER(kDeclined, OnDeclined)
    CHAIN_MSG_MAP_MEMBER(m_member)
    CHAIN_MSG_MAP(CAnswerBase<CTestWindow>)
    END_MSG_MAP()

    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
        ++created;
        return 0;
    }
    LRESULT OnDouble(UINT, WPARAM wParam, LPARAM, BOOL&) {
        return static_cast<LRESULT>(wParam) * 2;
    }
    LRESULT OnDeclined(UINT, WPARAM, LPARAM, BOOL& handled) {
        ++declined;
        handled = FALSE;
        return 55;
    }
    void OnFinalMessage(HWND window) override { finalWindow = window; }

    CMemberMap m_member;
    int created = 0;
    int declined = 0;
    HWND finalWindow = nullptr;
};

TEST(WindowImpl, MapAnswersHandledMessagesAndDefaultProcedureTheRest) {
    CTestWindow window;
    ASSERT_NE(nullptr, window.Create(nullptr, kRect, L"初期", WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(1, window.created);
    EXPECT_EQ(42, window.SendMessage(kDouble, 21));

    // The declined message reaches DefWindowProc, which answers 0 for it.
    EXPECT_EQ(0, window.SendMessage(kDeclined));
    EXPECT_EQ(1, window.declined);

    wchar_t text[16]{};
    ASSERT_TRUE(window.SetWindowText(L"窓"));
    EXPECT_EQ(1, ::GetWindowTextW(window, text, 16));
    EXPECT_EQ(std::wstring(L"窓"), text);
    window.DestroyWindow();
}

TEST(WindowImpl, ChainedMapsSeeWhatTheDerivedMapLeaves) {
    CTestWindow window;
    ASSERT_NE(nullptr, window.Create(nullptr, kRect, nullptr, WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(-7, window.SendMessage(kBaseOnly));
    EXPECT_EQ(1003, window.SendMessage(kMemberOnly, 3));
    // The derived entry comes first and wins over the base's for kDouble.
    EXPECT_EQ(8, window.SendMessage(kDouble, 4));
    window.DestroyWindow();
}

TEST(WindowImpl, DestructionClearsTheHandleThenCallsFinalMessage) {
    CTestWindow window;
    const HWND hwnd = window.Create(nullptr, kRect, nullptr, WS_OVERLAPPEDWINDOW);
    ASSERT_NE(nullptr, hwnd);
    EXPECT_EQ(hwnd, window.m_hWnd);
    EXPECT_EQ(nullptr, window.Create(nullptr, kRect)); // one window per object
    ASSERT_TRUE(::DestroyWindow(hwnd));
    EXPECT_EQ(nullptr, window.m_hWnd);
    EXPECT_EQ(hwnd, window.finalWindow);

    // The object can make a window again afterwards.
    ASSERT_NE(nullptr, window.Create(nullptr, kRect, nullptr, WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(2, window.created);
    window.DestroyWindow();
}

class CTestToolbar : public CWindowImpl<CTestToolbar> {
public:
    DECLARE_WND_SUPERCLASS(L"TORVA_TEST_TOOLBAR", TOOLBARCLASSNAMEW)

    BEGIN_MSG_MAP(CTestToolbar)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    MESSAGE_HANDLER(kDouble, OnDouble)
    END_MSG_MAP()

    // Looks at the creation and lets the toolbar's own procedure do it.
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL& handled) {
        ++created;
        handled = FALSE;
        return 0;
    }
    LRESULT OnDouble(UINT, WPARAM wParam, LPARAM, BOOL&) {
        return static_cast<LRESULT>(wParam) * 2;
    }

    int created = 0;
};

TEST(WindowImpl, SuperclassedToolbarKeepsTheControlsBehaviour) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_BAR_CLASSES};
    ASSERT_TRUE(::InitCommonControlsEx(&icc));
    CTestWindow parent;
    ASSERT_NE(nullptr, parent.Create(nullptr, kRect, nullptr, WS_OVERLAPPEDWINDOW));

    CTestToolbar toolbars[2];
    for (CTestToolbar& toolbar : toolbars) {
        ASSERT_NE(nullptr, toolbar.Create(parent, kRect, nullptr,
                                          WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT, 0, 7));
        EXPECT_EQ(1, toolbar.created);
        toolbar.SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
        TBBUTTON buttons[2]{};
        buttons[0].idCommand = 102;
        buttons[0].fsState = TBSTATE_ENABLED;
        buttons[1].fsStyle = BTNS_SEP;
        ASSERT_TRUE(toolbar.SendMessage(TB_ADDBUTTONSW, 2, reinterpret_cast<LPARAM>(buttons)));
        EXPECT_EQ(2, toolbar.SendMessage(TB_BUTTONCOUNT));
        EXPECT_EQ(0, toolbar.SendMessage(TB_COMMANDTOINDEX, 102));
        EXPECT_EQ(18, toolbar.SendMessage(kDouble, 9));
        wchar_t className[64]{};
        ASSERT_GT(::GetClassNameW(toolbar, className, 64), 0);
        EXPECT_EQ(std::wstring(L"TORVA_TEST_TOOLBAR"), className);
    }
    parent.DestroyWindow();
    EXPECT_EQ(nullptr, toolbars[0].m_hWnd);
    EXPECT_EQ(nullptr, toolbars[1].m_hWnd);
}

// A button that answers the notifications its parent reflects to it.
class CReflectedButton : public CWindowImpl<CReflectedButton> {
public:
    DECLARE_WND_SUPERCLASS(L"TorvaComtlTestButton", L"BUTTON")

    BEGIN_MSG_MAP(CReflectedButton)
    MESSAGE_HANDLER(OCM_COMMAND, OnCommand)
    MESSAGE_HANDLER(OCM_NOTIFY, OnNotify)
    END_MSG_MAP()

    LRESULT OnCommand(UINT, WPARAM wParam, LPARAM, BOOL&) {
        lastCode = HIWORD(wParam);
        return 301;
    }
    LRESULT OnNotify(UINT, WPARAM, LPARAM lParam, BOOL&) {
        return reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(NM_CLICK) ? 302 : 303;
    }

    UINT lastCode = 0;
};

class CReflectingParent : public CWindowImpl<CReflectingParent> {
public:
    BEGIN_MSG_MAP(CReflectingParent)
    REFLECT_NOTIFICATIONS()
    COMMAND_ID_HANDLER(200, OnMenuCommand)
    END_MSG_MAP()

    LRESULT OnMenuCommand(WORD, WORD, HWND, BOOL&) { return 304; }
};

TEST(WindowImpl, NotificationsAreReflectedToTheSendingControl) {
    CReflectingParent parent;
    ASSERT_NE(nullptr, parent.Create(nullptr, kRect, nullptr, WS_OVERLAPPEDWINDOW));
    CReflectedButton button;
    ASSERT_NE(nullptr,
              button.Create(parent, RECT{0, 0, 80, 20}, L"押す", WS_CHILD | WS_VISIBLE, 0, 106));

    EXPECT_EQ(301, parent.SendMessage(WM_COMMAND, MAKEWPARAM(106, BN_CLICKED),
                                      reinterpret_cast<LPARAM>(button.m_hWnd)));
    EXPECT_EQ(static_cast<UINT>(BN_CLICKED), button.lastCode);

    NMHDR header{button.m_hWnd, 106, static_cast<UINT>(NM_CLICK)};
    EXPECT_EQ(302, parent.SendMessage(WM_NOTIFY, 106, reinterpret_cast<LPARAM>(&header)));

    // A menu command has no control to reflect to: the parent's own entry runs.
    EXPECT_EQ(304, parent.SendMessage(WM_COMMAND, MAKEWPARAM(200, 0), 0));
    parent.DestroyWindow();
}

} // namespace
