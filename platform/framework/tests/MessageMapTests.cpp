#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Framework.h"

namespace {

constexpr UINT kAsk = WM_APP + 1;
constexpr UINT kOnlyBase = WM_APP + 2;
constexpr UINT kDeclined = WM_APP + 3;
constexpr int kButtonId = 300;
constexpr int kCommandId = 301;
constexpr int kRangeFirst = 310;
constexpr int kRangeLast = 319;
constexpr int kTreeId = 320;

const wchar_t* TestWindowClass() {
    static const wchar_t name[] = L"TorvaFxTestWindow";
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = name;
        return ::RegisterClassExW(&wc) != 0;
    }();
    return registered ? name : nullptr;
}

class CBaseWindow : public CWnd {
public:
    std::vector<std::string> calls;

protected:
    LRESULT OnAsk(WPARAM wParam, LPARAM) {
        calls.push_back("base ask");
        return static_cast<LRESULT>(wParam) + 1;
    }
    LRESULT OnOnlyBase(WPARAM, LPARAM) {
        calls.push_back("base only");
        return 7;
    }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CBaseWindow, CWnd)
    ON_MESSAGE(kAsk, &CBaseWindow::OnAsk)
    ON_MESSAGE(kOnlyBase, &CBaseWindow::OnOnlyBase)
END_MESSAGE_MAP()
// clang-format on

class CTestWindow : public CBaseWindow {
public:
    int OnCreate(LPCREATESTRUCT create) {
        calls.push_back("create");
        createName = create->lpszName ? create->lpszName : L"";
        return CWnd::OnCreate(create);
    }
    void OnDestroy() {
        calls.push_back("destroy");
        CWnd::OnDestroy();
    }
    void PostNcDestroy() override { calls.push_back("final"); }
    HCURSOR OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(static_cast<LONG_PTR>(0x1234)); }
    void OnSize(UINT type, int cx, int cy) {
        calls.push_back("size " + std::to_string(type) + " " + std::to_string(cx) + "x" +
                        std::to_string(cy));
    }

    std::wstring createName;
    std::vector<UINT> rangeIds;
    std::vector<UINT> notifyCodes;

protected:
    LRESULT OnAsk(WPARAM wParam, LPARAM) {
        calls.push_back("derived ask");
        return static_cast<LRESULT>(wParam) * 2;
    }
    void OnButton() { calls.push_back("button"); }
    void OnCommandItem() { calls.push_back("command"); }
    void OnRange(UINT id) { rangeIds.push_back(id); }
    void OnTreeSelChanging(NMHDR* header, LRESULT* result) {
        notifyCodes.push_back(header->code);
        *result = TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(CTestWindow, CBaseWindow)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_QUERYDRAGICON()
    ON_WM_SIZE()
    ON_MESSAGE(kAsk, &CTestWindow::OnAsk)
    ON_BN_CLICKED(kButtonId, &CTestWindow::OnButton)
    ON_COMMAND(kCommandId, &CTestWindow::OnCommandItem)
    ON_COMMAND_RANGE(kRangeFirst, kRangeLast, &CTestWindow::OnRange)
    ON_NOTIFY(TVN_SELCHANGINGW, kTreeId, &CTestWindow::OnTreeSelChanging)
END_MESSAGE_MAP()
// clang-format on

class MessageMap : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, TestWindowClass());
        ASSERT_TRUE(window.CreateEx(0, TestWindowClass(), L"試験窓", WS_OVERLAPPEDWINDOW,
                                    CRect(0, 0, 200, 100), nullptr, 0));
    }
    void TearDown() override {
        if (window.m_hWnd) window.DestroyWindow();
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return ::SendMessageW(window.m_hWnd, message, wParam, lParam);
    }
    CTestWindow window;
};

TEST_F(MessageMap, CreationMessagesReachTheMapOfAWindowMadeThroughIt) {
    EXPECT_EQ(L"試験窓", window.createName);
    ASSERT_FALSE(window.calls.empty());
    EXPECT_EQ("create", window.calls.front());
    EXPECT_EQ(&window, CWnd::FromHandlePermanent(window.m_hWnd));
}

TEST_F(MessageMap, DerivedRowComesBeforeTheBaseRowAndTheBaseFillsIn) {
    window.calls.clear();
    EXPECT_EQ(42, Send(kAsk, 21));
    EXPECT_EQ(7, Send(kOnlyBase));
    EXPECT_EQ((std::vector<std::string>{"derived ask", "base only"}), window.calls);
}

TEST_F(MessageMap, UnmappedMessagesGetTheWindowsOwnAnswer) {
    EXPECT_EQ(0, Send(kDeclined));
    // WM_SETTEXT and WM_GETTEXT go through to the default procedure.
    ::SetWindowTextW(window.m_hWnd, L"新しい題名");
    CString text;
    window.GetWindowText(text);
    EXPECT_EQ(CString(L"新しい題名"), text);
}

TEST_F(MessageMap, HandlerResultIsTheMessagesAnswer) {
    EXPECT_EQ(0x1234, Send(WM_QUERYDRAGICON));
}

TEST_F(MessageMap, WindowMessageArgumentsAreUnpacked) {
    window.calls.clear();
    Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(150, 80));
    EXPECT_EQ((std::vector<std::string>{"size 0 150x80"}), window.calls);
}

TEST_F(MessageMap, CommandsAreRoutedByIdAndCode) {
    window.calls.clear();
    const HWND fakeButton = reinterpret_cast<HWND>(static_cast<LONG_PTR>(0x10));
    // A button's click: ON_BN_CLICKED; another notification of the same id: none.
    Send(WM_COMMAND, MAKEWPARAM(kButtonId, BN_CLICKED), reinterpret_cast<LPARAM>(fakeButton));
    Send(WM_COMMAND, MAKEWPARAM(kButtonId, BN_SETFOCUS), reinterpret_cast<LPARAM>(fakeButton));
    // A menu item (code 0) and an accelerator (code 1): ON_COMMAND.
    Send(WM_COMMAND, MAKEWPARAM(kCommandId, 0), 0);
    Send(WM_COMMAND, MAKEWPARAM(kCommandId, 1), 0);
    // A control notification with the command's id is no command.
    Send(WM_COMMAND, MAKEWPARAM(kCommandId, EN_CHANGE), reinterpret_cast<LPARAM>(fakeButton));
    EXPECT_EQ((std::vector<std::string>{"button", "command", "command"}), window.calls);

    Send(WM_COMMAND, MAKEWPARAM(kRangeFirst, 0), 0);
    Send(WM_COMMAND, MAKEWPARAM(kRangeLast, 1), 0);
    Send(WM_COMMAND, MAKEWPARAM(kRangeLast + 1, 0), 0);
    EXPECT_EQ((std::vector<UINT>{kRangeFirst, kRangeLast}), window.rangeIds);
}

TEST_F(MessageMap, NotificationsMatchIdAndCodeAndAnswerThroughTheResult) {
    NMTREEVIEWW tree{};
    tree.hdr.hwndFrom = window.m_hWnd;
    tree.hdr.idFrom = kTreeId;
    tree.hdr.code = TVN_SELCHANGINGW;
    EXPECT_EQ(TRUE, Send(WM_NOTIFY, kTreeId, reinterpret_cast<LPARAM>(&tree)));
    tree.hdr.idFrom = kTreeId + 1;
    EXPECT_EQ(0, Send(WM_NOTIFY, kTreeId + 1, reinterpret_cast<LPARAM>(&tree)));
    tree.hdr.idFrom = kTreeId;
    tree.hdr.code = TVN_SELCHANGEDW;
    EXPECT_EQ(0, Send(WM_NOTIFY, kTreeId, reinterpret_cast<LPARAM>(&tree)));
    EXPECT_EQ((std::vector<UINT>{TVN_SELCHANGINGW}), window.notifyCodes);
}

TEST_F(MessageMap, DestructionUnbindsAndRunsPostNcDestroyLast) {
    const HWND handle = window.m_hWnd;
    window.calls.clear();
    ASSERT_TRUE(window.DestroyWindow());
    EXPECT_EQ(nullptr, window.m_hWnd);
    EXPECT_EQ((std::vector<std::string>{"destroy", "final"}), window.calls);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(handle));
}

TEST(WindowHandles, TemporaryWrappersAreReusedAndDroppedWithTheirWindow) {
    ASSERT_NE(nullptr, TestWindowClass());
    const HWND plain =
        ::CreateWindowExW(0, TestWindowClass(), L"素の窓", WS_OVERLAPPED, 0, 0, 50, 50, nullptr,
                          nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, plain);
    CWnd* first = CWnd::FromHandle(plain);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(plain, first->m_hWnd);
    EXPECT_EQ(first, CWnd::FromHandle(plain));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(plain));
    EXPECT_EQ(nullptr, CWnd::FromHandle(nullptr));
    CString text;
    first->GetWindowText(text);
    EXPECT_EQ(CString(L"素の窓"), text);
    ::DestroyWindow(plain);
    // The wrapper never destroys what it wraps; dropping it leaves nothing.
    CWnd::DeleteTempMap();
}

TEST(WindowHandles, SubclassedWindowIsGivenBackUnchanged) {
    ASSERT_NE(nullptr, TestWindowClass());
    const HWND plain = ::CreateWindowExW(0, TestWindowClass(), L"", WS_OVERLAPPED, 0, 0, 50, 50,
                                         nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, plain);
    const LONG_PTR before = ::GetWindowLongPtrW(plain, GWLP_WNDPROC);
    {
        CTestWindow wrapper;
        ASSERT_TRUE(wrapper.SubclassWindow(plain));
        EXPECT_EQ(42, ::SendMessageW(plain, kAsk, 21, 0));
        CTestWindow second;
        EXPECT_FALSE(second.SubclassWindow(plain)); // one object per window
        EXPECT_EQ(plain, wrapper.UnsubclassWindow());
    }
    EXPECT_TRUE(::IsWindow(plain));
    EXPECT_EQ(before, ::GetWindowLongPtrW(plain, GWLP_WNDPROC));
    EXPECT_EQ(0, ::SendMessageW(plain, kAsk, 21, 0));
    ::DestroyWindow(plain);
}

TEST(WindowHandles, ObjectDestroysTheWindowStillBoundToIt) {
    ASSERT_NE(nullptr, TestWindowClass());
    HWND handle = nullptr;
    {
        CTestWindow window;
        ASSERT_TRUE(window.CreateEx(0, TestWindowClass(), L"", WS_OVERLAPPED, CRect(0, 0, 10, 10),
                                    nullptr, 0));
        handle = window.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(handle));
}

} // namespace
