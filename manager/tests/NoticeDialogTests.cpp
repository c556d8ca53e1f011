#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CNotifyMsg.h"
#include "CUpdateMsg.h"
#include "FxUser.h"

namespace {

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// What a user sees of a notice: shown over its owner, no caption, one
// visible text and nothing to press.
template <class Notice> void ExpectNotice(const wchar_t* expectedText) {
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, L"STATIC", L"管理画面", WS_POPUP | WS_VISIBLE,
                               CRect(100, 100, 600, 400), nullptr, 0));
    auto* notice = new Notice(&owner);
    ASSERT_TRUE(notice->Create(Notice::IDD, &owner));
    EXPECT_FALSE(notice->IsWindowVisible());
    notice->ShowWindow(SW_SHOW);
    const HWND window = notice->m_hWnd;
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_EQ(owner.m_hWnd, ::GetWindow(window, GW_OWNER));
    EXPECT_NE(static_cast<LONG_PTR>(WS_CAPTION), notice->GetStyle() & WS_CAPTION);
    EXPECT_EQ(L"", FxUser::Text(window));

    const std::vector<HWND> children = Children(window);
    ASSERT_EQ(1u, children.size());
    EXPECT_EQ(IDC_STATIC_NOTIFY, ::GetDlgCtrlID(children[0]));
    EXPECT_TRUE(::IsWindowVisible(children[0]));
    EXPECT_EQ(expectedText, FxUser::Text(children[0]));

    // The owner ends it: window destroyed, object freed.
    EXPECT_TRUE(notice->DestroyWindow());
    EXPECT_FALSE(::IsWindow(window));
    delete notice;
    owner.DestroyWindow();
}

TEST(NotifyMsg, ShowsTheLoadingTextWithoutCaptionOrButtonsOverItsOwner) {
    ExpectNotice<CNotifyMsg>(L"データを取得中です");
}

TEST(UpdateMsg, ShowsTheSavingTextWithoutCaptionOrButtonsOverItsOwner) {
    ExpectNotice<CUpdateMsg>(L"データを更新しています。お待ちください。");
}

TEST(NotifyMsg, IsTheManagersOwnClass) {
    // The add-in's store has a notice class of the same name; the manager's
    // one is a framework dialog in its own namespace.
    CNotifyMsg notice;
    EXPECT_TRUE(notice.IsKindOf(RUNTIME_CLASS(CDialog)));
    EXPECT_EQ(IDD_NOTIFYMSG, static_cast<int>(mablix::CNotifyMsg::IDD));
    EXPECT_EQ(IDD_UPDATEMSG, static_cast<int>(mablix::CUpdateMsg::IDD));
}

} // namespace

bool ManagerNoticeIsAFrameworkDialog() {
    mablix::CNotifyMsg notice;
    return notice.IsKindOf(RUNTIME_CLASS(CDialog));
}
