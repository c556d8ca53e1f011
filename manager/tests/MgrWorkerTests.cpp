// The management dialog's save workers and closing, run as a user runs
// them: one worker however often OK is pressed, the worker's messages shown
// by the dialog itself once it has ended, and Cancel asking only when
// something would be lost. Also the layout the dialog keeps.
#include "MgrDialogSupport.h"
#include "MgrTestSupport.h"
#include "CWinApp.h"
#include "FxUser.h"
#include "resource.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

class MgrWorkers : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), 0xFF};
        ::InitCommonControlsEx(&controls);
        ASSERT_TRUE(AfxEnableControlContainer());
        RemoveLeftoverPages(m_raw);
        const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        m_page = ScratchPageKey(std::wstring(test.begin(), test.end()));
        ASSERT_TRUE(m_raw.Create(m_page));
        m_raw.SetText(m_page, L"URL", L"https://example.jp/w");
        m_raw.SetText(m_page, L"TITLE", L"保存");
        for (const wchar_t* key : {L"ITEM001", L"ITEM002"}) {
            const std::wstring item = m_page + L"\\" + key;
            m_raw.SetText(item, L"NAME", key == std::wstring(L"ITEM001") ? L"A" : L"B");
            m_raw.SetText(item, L"FORMNAME", L"login");
            m_raw.SetDword(item, L"INDEX", 0);
        }
    }
    void TearDown() override {
        if (m_dlg.m_hWnd) m_dlg.DestroyWindow();
        m_raw.Delete(m_page);
    }
    HWND Tree() const { return m_dlg.Item(IDC_TREE_WEBDATA); }
    HTREEITEM ItemNode(const std::wstring& label) {
        const HTREEITEM page =
            FindChild(Tree(), TreeView_GetRoot(Tree()), L"保存(https://example.jp/w)");
        return page ? FindChild(Tree(), page, label) : nullptr;
    }
    bool OpenOn(const std::wstring& label) {
        if (!m_dlg.Open()) return false;
        const HTREEITEM node = ItemNode(label);
        return node && TreeView_SelectItem(Tree(), node) && m_dlg.m_pShownItem;
    }
    void Type(const wchar_t* text) { ::SetDlgItemTextW(m_dlg.m_hWnd, IDC_EDIT_ITEMNAME, text); }
    bool Closed() { return !::IsWindowVisible(m_dlg.m_hWnd); }

    RawDb m_raw;
    std::wstring m_page;
    UserDlg m_dlg;
};

} // namespace

TEST_F(MgrWorkers, TwoOkClicksStartOneWorker) {
    ASSERT_TRUE(OpenOn(L"B"));
    Type(L"B2");
    BoxUser user({});
    m_dlg.ClearSavers();
    m_dlg.Press(IDOK);
    // The dialog is disabled before the worker runs.
    EXPECT_FALSE(::IsWindowEnabled(m_dlg.m_hWnd));
    m_dlg.Press(IDOK);
    m_dlg.Press(IDC_BUTTON_APPLY);
    ASSERT_TRUE(PumpUntil([this] { return !m_dlg.IsSaving() && Closed(); }));
    EXPECT_EQ(1u, m_dlg.Savers().size());
    EXPECT_EQ(std::optional<std::wstring>(L"B2"), m_raw.Text(m_page + L"\\ITEM002", L"NAME"));
    EXPECT_TRUE(user.Texts().empty());
}

TEST_F(MgrWorkers, TheWorkersMessagesAreShownByTheDialogAfterItEnds) {
    ASSERT_TRUE(OpenOn(L"B"));
    Type(L"A");
    {
        BoxUser user({IDOK});
        m_dlg.Press(IDC_BUTTON_APPLY);
        ASSERT_TRUE(PumpUntil([&] { return !m_dlg.IsSaving() && !user.Texts().empty(); }));
        // The box was the dialog's thread's: the worker showed nothing.
        ASSERT_EQ(1u, user.Texts().size());
        EXPECT_EQ(L"既に登録されているアイテム名です。", user.Texts()[0]);
    }
    // A refused save keeps the dialog open and usable, with the edit.
    EXPECT_FALSE(Closed());
    EXPECT_TRUE(::IsWindowEnabled(m_dlg.m_hWnd));
    EXPECT_EQ(L"A", FxUser::Text(m_dlg.Item(IDC_EDIT_ITEMNAME)));
    EXPECT_EQ(std::optional<std::wstring>(L"B"), m_raw.Text(m_page + L"\\ITEM002", L"NAME"));

    Type(L"");
    {
        BoxUser user({IDOK});
        m_dlg.Press(IDOK);
        ASSERT_TRUE(PumpUntil([&] { return !m_dlg.IsSaving() && !user.Texts().empty(); }));
        ASSERT_EQ(1u, user.Texts().size());
        EXPECT_EQ(L"アイテム名が入力されていません", user.Texts()[0]);
    }
    EXPECT_FALSE(Closed());

    // Apply refreshes the tree from what it saved, the item still selected.
    Type(L"C");
    BoxUser user({});
    m_dlg.Press(IDC_BUTTON_APPLY);
    ASSERT_TRUE(PumpUntil([this] { return !m_dlg.IsSaving(); }));
    const HTREEITEM renamed = ItemNode(L"C");
    ASSERT_NE(nullptr, renamed);
    EXPECT_EQ(renamed, TreeView_GetSelection(Tree()));
    EXPECT_EQ(L"C", FxUser::Text(m_dlg.Item(IDC_EDIT_ITEMNAME)));
    EXPECT_TRUE(user.Texts().empty());
}

TEST_F(MgrWorkers, CancelWithoutChangesAsksNothing) {
    ASSERT_TRUE(OpenOn(L"A"));
    BoxUser user({});
    m_dlg.Press(IDCANCEL);
    EXPECT_TRUE(Closed());
    EXPECT_TRUE(user.Texts().empty());
}

TEST_F(MgrWorkers, CancelAfterAnEditAsksBeforeGivingItUp) {
    ASSERT_TRUE(OpenOn(L"A"));
    Type(L"A2");
    {
        BoxUser user({IDNO});
        m_dlg.Press(IDCANCEL);
        ASSERT_EQ(1u, user.Texts().size());
        EXPECT_EQ(L"キャンセルすると、編集した内容が破棄されます。\nキャンセルしますか?",
                  user.Texts()[0]);
    }
    EXPECT_FALSE(Closed());
    // The window's close box is Cancel.
    BoxUser user({IDYES});
    ::SendMessageW(m_dlg.m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(1u, user.Texts().size());
    EXPECT_TRUE(Closed());
    EXPECT_EQ(std::optional<std::wstring>(L"A"), m_raw.Text(m_page + L"\\ITEM001", L"NAME"));
}

TEST_F(MgrWorkers, LayoutSplitsTheClientAndHidesThePane) {
    ASSERT_TRUE(OpenOn(L"A"));
    const HWND dialog = m_dlg.m_hWnd;
    const HDC screen = ::GetDC(nullptr);
    const int dpiX = ::GetDeviceCaps(screen, LOGPIXELSX);
    const int dpiY = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    const auto sx = [&](int v) { return ::MulDiv(v, dpiX, 96); };
    const auto sy = [&](int v) { return ::MulDiv(v, dpiY, 96); };
    const auto place = [&](int id) {
        RECT rect{};
        ::GetWindowRect(m_dlg.Item(id), &rect);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    };

    MINMAXINFO limits{};
    ::SendMessageW(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(sx(900), limits.ptMinTrackSize.x);
    EXPECT_EQ(sy(308), limits.ptMinTrackSize.y);

    RECT client{};
    ::GetClientRect(dialog, &client);
    const int split = client.right / 2;
    const RECT tree = place(IDC_TREE_WEBDATA);
    EXPECT_EQ(sx(30), tree.left);
    EXPECT_EQ(split - sx(40), tree.right);
    EXPECT_EQ(client.bottom - sy(130), tree.bottom);
    const RECT name = place(IDC_EDIT_ITEMNAME);
    EXPECT_EQ(split + sx(90), name.left);
    EXPECT_EQ(client.right - sx(40), name.right);
    const RECT ok = place(IDOK);
    EXPECT_EQ(split - sx(320), ok.left);
    EXPECT_EQ(client.bottom - sy(10), ok.bottom);

    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_BUTTON_ITEMINFO, BN_CLICKED),
                   reinterpret_cast<LPARAM>(m_dlg.Item(IDC_BUTTON_ITEMINFO)));
    ::SendMessageW(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(sx(450), limits.ptMinTrackSize.x);
    ::GetClientRect(dialog, &client);
    EXPECT_EQ(client.right - sx(40), place(IDC_TREE_WEBDATA).right);
    EXPECT_FALSE(::IsWindowVisible(m_dlg.Item(IDC_STATIC_ITEMFRAME)));
    EXPECT_FALSE(::IsWindowVisible(m_dlg.Item(IDC_EDIT_ITEMNAME)));
    const RECT browser = place(IDC_EXPLORER_ITEM);
    EXPECT_EQ(0, browser.right - browser.left);
}
