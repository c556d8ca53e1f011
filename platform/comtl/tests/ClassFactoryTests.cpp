#include <gtest/gtest.h>
#include "CComModule.h"
#include "TestObjects.h"

namespace {

const CLSID CLSID_NotServed = {
    0x5e1d7a30, 0x2b4c, 0x4f81, {0x9a, 0x11, 0x6c, 0x2e, 0x70, 0x31, 0xa4, 0xff}};

const ComObjectEntry kObjectMap[] = {
    OBJECT_ENTRY(CLSID_TestWidget, CTestWidget),
    OBJECT_ENTRY(CLSID_TestRefuser, CTestRefuser),
};

// The module serves the two test classes for the length of each test.
class ClassFactoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, ComModule().Init(kObjectMap, 2, ::GetModuleHandleW(nullptr), nullptr));
        ASSERT_EQ(0, ComModule().GetLockCount());
    }
    void TearDown() override {
        ComModule().Term();
        EXPECT_EQ(0, g_liveTestObjects);
        EXPECT_EQ(0, ComModule().GetLockCount());
    }

    IClassFactory* Factory(REFCLSID clsid) {
        IClassFactory* factory = nullptr;
        EXPECT_EQ(S_OK, ComModule().GetClassObject(clsid, IID_IClassFactory,
                                                   reinterpret_cast<void**>(&factory)));
        return factory;
    }
};

TEST_F(ClassFactoryTest, FactoryCreatesTheMappedClass) {
    IClassFactory* factory = Factory(CLSID_TestWidget);
    ASSERT_NE(nullptr, factory);
    IPersist* persist = nullptr;
    ASSERT_EQ(S_OK,
              factory->CreateInstance(nullptr, IID_IPersist, reinterpret_cast<void**>(&persist)));
    CLSID clsid{};
    EXPECT_EQ(S_OK, persist->GetClassID(&clsid));
    EXPECT_TRUE(::IsEqualCLSID(CLSID_TestWidget, clsid));
    EXPECT_EQ(0u, persist->Release());
    factory->Release();
}

TEST_F(ClassFactoryTest, ClassOutsideTheMapIsNotAvailable) {
    IClassFactory* factory = reinterpret_cast<IClassFactory*>(1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE,
              ComModule().GetClassObject(CLSID_NotServed, IID_IClassFactory,
                                         reinterpret_cast<void**>(&factory)));
    EXPECT_EQ(nullptr, factory);
    EXPECT_EQ(E_POINTER, ComModule().GetClassObject(CLSID_TestWidget, IID_IClassFactory, nullptr));
}

TEST_F(ClassFactoryTest, FactoryAnswersOnlyItsOwnInterfaces) {
    IUnknown* unknown = nullptr;
    ASSERT_EQ(S_OK, ComModule().GetClassObject(CLSID_TestWidget, IID_IUnknown,
                                               reinterpret_cast<void**>(&unknown)));
    IClassFactory* factory = nullptr;
    ASSERT_EQ(S_OK, unknown->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&factory)));
    IDispatch* dispatch = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(E_NOINTERFACE,
              factory->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)));
    EXPECT_EQ(nullptr, dispatch);
    factory->Release();
    unknown->Release();
}

// The module hands out one cached class object per class until Term.
TEST_F(ClassFactoryTest, ClassObjectIsCachedUntilTerm) {
    IClassFactory* first = Factory(CLSID_TestWidget);
    IClassFactory* second = Factory(CLSID_TestWidget);
    EXPECT_EQ(first, second);
    first->Release();
    second->Release();

    ComModule().Term();
    IClassFactory* after = reinterpret_cast<IClassFactory*>(1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE,
              ComModule().GetClassObject(CLSID_TestWidget, IID_IClassFactory,
                                         reinterpret_cast<void**>(&after)));
    EXPECT_EQ(nullptr, after);
}

TEST_F(ClassFactoryTest, FactoryPassesConstructionFailureOn) {
    IClassFactory* factory = Factory(CLSID_TestRefuser);
    ASSERT_NE(nullptr, factory);
    IUnknown* object = reinterpret_cast<IUnknown*>(1);
    EXPECT_EQ(E_ACCESSDENIED,
              factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)));
    EXPECT_EQ(nullptr, object);
    EXPECT_EQ(CLASS_E_NOAGGREGATION,
              factory->CreateInstance(factory, IID_IUnknown, reinterpret_cast<void**>(&object)));
    factory->Release();
}

// The unload test: a cached class object alone does not keep the module,
// a live object or a server lock does.
TEST_F(ClassFactoryTest, CanUnloadOnlyWithoutObjectsOrServerLocks) {
    EXPECT_EQ(S_OK, ComModule().CanUnloadNow());
    IClassFactory* factory = Factory(CLSID_TestWidget);
    ASSERT_NE(nullptr, factory);
    EXPECT_EQ(S_OK, ComModule().CanUnloadNow());

    IOleWindow* window = nullptr;
    ASSERT_EQ(S_OK,
              factory->CreateInstance(nullptr, IID_IOleWindow, reinterpret_cast<void**>(&window)));
    EXPECT_EQ(S_FALSE, ComModule().CanUnloadNow());
    window->Release();
    EXPECT_EQ(S_OK, ComModule().CanUnloadNow());

    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    EXPECT_EQ(S_FALSE, ComModule().CanUnloadNow());
    EXPECT_EQ(S_OK, factory->LockServer(FALSE));
    EXPECT_EQ(S_FALSE, ComModule().CanUnloadNow());
    EXPECT_EQ(S_OK, factory->LockServer(FALSE));
    EXPECT_EQ(S_OK, ComModule().CanUnloadNow());
    factory->Release();
}

} // namespace
