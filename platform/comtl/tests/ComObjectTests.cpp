#include <gtest/gtest.h>
#include "TestObjects.h"

namespace {

// Each test starts with no object alive and the module unlocked.
class ComObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(0, g_liveTestObjects);
        ASSERT_EQ(0, ComModule().GetLockCount());
    }
    void TearDown() override {
        EXPECT_EQ(0, g_liveTestObjects);
        EXPECT_EQ(0, ComModule().GetLockCount());
    }
};

TEST_F(ComObjectTest, ObjectLivesUntilLastReleaseAndLocksTheModuleMeanwhile) {
    CComObject<CTestWidget>* widget = nullptr;
    ASSERT_EQ(S_OK, CComObject<CTestWidget>::CreateInstance(&widget));
    ASSERT_NE(nullptr, widget);
    EXPECT_TRUE(widget->m_constructed);
    EXPECT_EQ(1, g_liveTestObjects);
    EXPECT_EQ(1, ComModule().GetLockCount());

    EXPECT_EQ(1u, widget->AddRef());
    EXPECT_EQ(2u, widget->AddRef());
    EXPECT_EQ(1u, widget->Release());
    EXPECT_EQ(1, g_liveTestObjects);
    EXPECT_EQ(0u, widget->Release());
    EXPECT_EQ(0, g_liveTestObjects);
    EXPECT_EQ(0, ComModule().GetLockCount());
}

TEST_F(ComObjectTest, FailedConstructionHookDestroysTheObject) {
    CComObject<CTestRefuser>* refuser = reinterpret_cast<CComObject<CTestRefuser>*>(1);
    EXPECT_EQ(E_ACCESSDENIED, CComObject<CTestRefuser>::CreateInstance(&refuser));
    EXPECT_EQ(nullptr, refuser);

    IUnknown* unknown = reinterpret_cast<IUnknown*>(1);
    EXPECT_EQ(E_ACCESSDENIED, CTestRefuser::CreateInstance(nullptr, IID_IUnknown,
                                                           reinterpret_cast<void**>(&unknown)));
    EXPECT_EQ(nullptr, unknown);
}

TEST_F(ComObjectTest, CreatorHandsOutExactlyOneReference) {
    IOleWindow* window = nullptr;
    ASSERT_EQ(S_OK, CTestWidget::CreateInstance(nullptr, IID_IOleWindow,
                                                reinterpret_cast<void**>(&window)));
    HWND hwnd = nullptr;
    EXPECT_EQ(S_OK, window->GetWindow(&hwnd));
    EXPECT_EQ(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234)), hwnd);
    EXPECT_EQ(0u, window->Release());
}

TEST_F(ComObjectTest, CreatorRefusesAggregationAndUnknownInterfaces) {
    IOleWindow* outer = nullptr;
    ASSERT_EQ(S_OK, CTestWidget::CreateInstance(nullptr, IID_IOleWindow,
                                                reinterpret_cast<void**>(&outer)));
    IUnknown* inner = reinterpret_cast<IUnknown*>(1);
    EXPECT_EQ(CLASS_E_NOAGGREGATION,
              CTestWidget::CreateInstance(outer, IID_IUnknown, reinterpret_cast<void**>(&inner)));
    EXPECT_EQ(nullptr, inner);
    outer->Release();

    IDispatch* dispatch = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(E_NOINTERFACE, CTestWidget::CreateInstance(nullptr, IID_IDispatch,
                                                         reinterpret_cast<void**>(&dispatch)));
    EXPECT_EQ(nullptr, dispatch);
    EXPECT_EQ(E_POINTER, CTestWidget::CreateInstance(nullptr, IID_IUnknown, nullptr));
}

// The COM identity rules: IUnknown from any interface is the same pointer,
// every interface reached can reach the others, and each success counts.
TEST_F(ComObjectTest, QueryInterfaceKeepsIdentityAndSymmetry) {
    IOleWindow* window = nullptr;
    ASSERT_EQ(S_OK, CTestWidget::CreateInstance(nullptr, IID_IOleWindow,
                                                reinterpret_cast<void**>(&window)));

    IPersistStreamInit* stream = nullptr;
    ASSERT_EQ(S_OK,
              window->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&stream)));
    IPersist* persist = nullptr;
    ASSERT_EQ(S_OK, stream->QueryInterface(IID_IPersist, reinterpret_cast<void**>(&persist)));
    EXPECT_NE(static_cast<void*>(window), static_cast<void*>(stream));

    CLSID clsid{};
    EXPECT_EQ(S_OK, persist->GetClassID(&clsid));
    EXPECT_TRUE(::IsEqualCLSID(CLSID_TestWidget, clsid));

    IUnknown* fromWindow = nullptr;
    IUnknown* fromPersist = nullptr;
    ASSERT_EQ(S_OK, window->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromWindow)));
    ASSERT_EQ(S_OK, persist->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&fromPersist)));
    EXPECT_EQ(fromWindow, fromPersist);

    IOleWindow* back = nullptr;
    ASSERT_EQ(S_OK, persist->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&back)));
    EXPECT_EQ(window, back);

    // window, stream, persist, fromWindow, fromPersist, back: six references.
    EXPECT_EQ(7u, window->AddRef());
    window->Release();
    back->Release();
    fromPersist->Release();
    fromWindow->Release();
    persist->Release();
    stream->Release();
    EXPECT_EQ(1, g_liveTestObjects);
    EXPECT_EQ(0u, window->Release());
}

TEST_F(ComObjectTest, FailedQueryInterfaceClearsTheOutputAndKeepsTheCount) {
    IOleWindow* window = nullptr;
    ASSERT_EQ(S_OK, CTestWidget::CreateInstance(nullptr, IID_IOleWindow,
                                                reinterpret_cast<void**>(&window)));
    IDispatch* dispatch = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(E_NOINTERFACE,
              window->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)));
    EXPECT_EQ(nullptr, dispatch);
    EXPECT_EQ(E_POINTER, window->QueryInterface(IID_IUnknown, nullptr));
    EXPECT_EQ(0u, window->Release());
}

} // namespace
