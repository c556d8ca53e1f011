// The add-in's store and the manager both have a notice class named
// CNotifyMsg; this program links both, which only works while they stay
// different classes.
#include <gtest/gtest.h>

#include "../../addin/store/CNotifyMsg.h"

// Defined beside the manager's notice tests, where its class is in scope.
bool ManagerNoticeIsAFrameworkDialog();

namespace {

TEST(NoticeNames, AddinAndManagerNoticesLinkSideBySide) {
    ::CNotifyMsg addinNotice;
    EXPECT_EQ(nullptr, addinNotice.Window());
    EXPECT_FALSE(addinNotice.IsShowWindow());
    EXPECT_TRUE(ManagerNoticeIsAFrameworkDialog());
}

} // namespace
