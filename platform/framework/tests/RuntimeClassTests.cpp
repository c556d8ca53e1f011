#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "Framework.h"

namespace {

class CCreatableWindow : public CWnd {
    DECLARE_DYNCREATE(CCreatableWindow)
};
IMPLEMENT_DYNCREATE(CCreatableWindow, CWnd)

TEST(RuntimeClass, CreatableClassIsMadeByItsClassAndKnowsItsBases) {
    const CRuntimeClass* type = RUNTIME_CLASS(CCreatableWindow);
    EXPECT_STREQ("CCreatableWindow", type->m_lpszClassName);
    std::unique_ptr<CObject> made(type->CreateObject());
    ASSERT_NE(nullptr, made);
    EXPECT_EQ(type, made->GetRuntimeClass());
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CCmdTarget)));
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(made->IsKindOf(RUNTIME_CLASS(CDialog)));
}

TEST(RuntimeClass, ClassWithoutFactoryCreatesNothing) {
    EXPECT_EQ(nullptr, RUNTIME_CLASS(CDialog)->CreateObject());
    CDialog dialog;
    EXPECT_TRUE(dialog.IsKindOf(RUNTIME_CLASS(CWnd)));
}

} // namespace
