#include <gtest/gtest.h>

#include "Framework.h"

namespace {

// A hidden top-level window with one child control of the given class.
class ControlHost {
public:
    explicit ControlHost(const wchar_t* className) {
        INITCOMMONCONTROLSEX init{sizeof(init), ICC_PROGRESS_CLASS | ICC_ANIMATE_CLASS};
        InitCommonControlsEx(&init);
        m_parent = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP, 0, 0, 200, 100, nullptr,
                                   nullptr, GetModuleHandleW(nullptr), nullptr);
        m_child = CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE, 0, 0, 150, 20, m_parent,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ~ControlHost() {
        if (m_parent) DestroyWindow(m_parent);
    }
    ControlHost(const ControlHost&) = delete;
    ControlHost& operator=(const ControlHost&) = delete;
    HWND child() const { return m_child; }

private:
    HWND m_parent = nullptr;
    HWND m_child = nullptr;
};

TEST(ProgressControl, RangeAndPositionAsSet) {
    ControlHost host(PROGRESS_CLASSW);
    ASSERT_NE(host.child(), nullptr);
    auto* bar = static_cast<CProgressCtrl*>(CWnd::FromHandle(host.child()));
    bar->SetRange32(0, 1200);
    int lower = -1, upper = -1;
    bar->GetRange(lower, upper);
    EXPECT_EQ(lower, 0);
    EXPECT_EQ(upper, 1200);
    EXPECT_EQ(bar->SetPos(700), 0);
    EXPECT_EQ(bar->GetPos(), 700);
    EXPECT_EQ(bar->SetPos(0), 700);
    EXPECT_EQ(bar->GetPos(), 0);
}

TEST(AnimateControl, MissingClipIsRefused) {
    ControlHost host(ANIMATE_CLASSW);
    ASSERT_NE(host.child(), nullptr);
    auto* animation = static_cast<CAnimateCtrl*>(CWnd::FromHandle(host.child()));
    EXPECT_FALSE(animation->Open(4711));
    EXPECT_FALSE(animation->Play(0, static_cast<UINT>(-1), static_cast<UINT>(-1)));
}

} // namespace
