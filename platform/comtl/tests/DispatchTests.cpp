#include <gtest/gtest.h>
#include <string>
#include <Win32Handles.h>
#include "CComModule.h"
#include "ModuleInstance.h"
#include "TestCalc.h"
#include "TypeLibRegistration.h"

namespace {

class DispatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, CTestCalc::CreateInstance(nullptr, IID_IDispatch,
                                                  reinterpret_cast<void**>(&dispatch)));
    }
    void TearDown() override { EXPECT_EQ(0u, dispatch->Release()); }

    DISPID IdOf(const wchar_t* name) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        DISPID id = DISPID_UNKNOWN;
        EXPECT_EQ(S_OK, dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
        return id;
    }

    IDispatch* dispatch = nullptr;
};

TEST_F(DispatchTest, NamesResolveToTheLibrarysDispatchIds) {
    UINT count = 0;
    ASSERT_EQ(S_OK, dispatch->GetTypeInfoCount(&count));
    EXPECT_EQ(1u, count);
    EXPECT_EQ(1, IdOf(L"Add"));
    EXPECT_EQ(2, IdOf(L"name")); // names are matched without regard to case

    LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"Subtract")};
    DISPID id = 0;
    EXPECT_EQ(DISP_E_UNKNOWNNAME,
              dispatch->GetIDsOfNames(IID_NULL, unknown, 1, LOCALE_USER_DEFAULT, &id));

    ITypeInfo* info = nullptr;
    EXPECT_EQ(DISP_E_BADINDEX, dispatch->GetTypeInfo(1, LOCALE_USER_DEFAULT, &info));
    ASSERT_EQ(S_OK, dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info));
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attr));
    EXPECT_TRUE(::IsEqualIID(IID_ITestCalc, attr->guid));
    info->ReleaseTypeAttr(attr);
    info->Release();
}

TEST_F(DispatchTest, InvokeCallsThroughToTheVtable) {
    VARIANT args[2];
    ::VariantInit(&args[0]);
    ::VariantInit(&args[1]);
    // Arguments travel in reverse order.
    args[1].vt = VT_I4;
    args[1].lVal = 40;
    args[0].vt = VT_I2; // converted by the type information
    args[0].iVal = 2;
    DISPPARAMS params{args, nullptr, 2, 0};
    VARIANT result;
    ::VariantInit(&result);
    ASSERT_EQ(S_OK, dispatch->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                     &result, nullptr, nullptr));
    EXPECT_EQ(VT_I4, result.vt);
    EXPECT_EQ(42, result.lVal);

    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT name;
    ::VariantInit(&name);
    ASSERT_EQ(S_OK, dispatch->Invoke(2, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                     &name, nullptr, nullptr));
    ASSERT_EQ(VT_BSTR, name.vt);
    EXPECT_EQ(std::wstring(L"計算"), name.bstrVal);
    ::VariantClear(&name);

    EXPECT_EQ(DISP_E_MEMBERNOTFOUND,
              dispatch->Invoke(77, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, &result,
                               nullptr, nullptr));
    EXPECT_EQ(DISP_E_UNKNOWNINTERFACE,
              dispatch->Invoke(1, IID_ITestCalc, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                               &result, nullptr, nullptr));
}

bool TypeLibRegistered() {
    ITypeLib* lib = nullptr;
    if (FAILED(::LoadRegTypeLib(LIBID_TorvaComtlTestLib, 1, 0, LOCALE_NEUTRAL, &lib))) return false;
    lib->Release();
    return true;
}

TEST(TypeLibRegistration, RegistersAndRemovesTheModulesLibrary) {
    ASSERT_EQ(S_OK, RegisterModuleTypeLib(ComtlModuleInstance()));
    EXPECT_TRUE(TypeLibRegistered());
    ASSERT_EQ(S_OK, UnregisterModuleTypeLib(ComtlModuleInstance()));
    EXPECT_FALSE(TypeLibRegistered());
    EXPECT_EQ(S_OK, UnregisterModuleTypeLib(ComtlModuleInstance()));
}

bool TestScriptKeyExists() {
    torva::UniqueRegKey key;
    return ::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\TorvaComtlRegistrarTest\\Resource", 0,
                           KEY_READ, key.put()) == ERROR_SUCCESS;
}

// The server registration path: each mapped class's script with this
// module's path, then the type library; and all of it away again.
TEST(ModuleRegistration, RegisterServerRunsScriptsAndTypeLib) {
    const ComObjectEntry map[] = {OBJECT_ENTRY(CLSID_TestCalc, CTestCalc)};
    ASSERT_EQ(S_OK, ComModule().Init(map, 1, nullptr, &LIBID_TorvaComtlTestLib));
    ASSERT_EQ(S_OK, ComModule().RegisterServer(true));
    EXPECT_TRUE(TypeLibRegistered());
    wchar_t value[MAX_PATH + 16]{};
    DWORD bytes = sizeof(value);
    ASSERT_EQ(ERROR_SUCCESS,
              ::RegGetValueW(HKEY_CURRENT_USER, L"Software\\TorvaComtlRegistrarTest\\Resource",
                             nullptr, RRF_RT_REG_SZ, nullptr, value, &bytes));
    wchar_t path[MAX_PATH]{};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    EXPECT_EQ(std::wstring(L"登録 ") + path, value);

    EXPECT_EQ(S_OK, ComModule().UnregisterServer(true));
    EXPECT_FALSE(TypeLibRegistered());
    EXPECT_FALSE(TestScriptKeyExists());
    EXPECT_EQ(S_OK, ComModule().UnregisterServer(true));
    ComModule().Term();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TorvaComtlRegistrarTest");
}

} // namespace
