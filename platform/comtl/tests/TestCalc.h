#pragma once
#include <windows.h>
#include <oaidl.h>
#include "ComtlTestLib.h"
#include "CComCoClass.h"
#include "CComObjectRootEx.h"
#include "IDispatchImpl.h"

// A dual-interface object answered through the test type library; it
// registers with script IDR_TEST_SCRIPT so the module's server registration
// has something to run.
class CTestCalc : public CComObjectRootEx<CComSingleThreadModel>,
                  public CComCoClass<CTestCalc, &CLSID_TestCalc>,
                  public IDispatchImpl<ITestCalc, &IID_ITestCalc, &LIBID_TorvaComtlTestLib> {
public:
    DECLARE_REGISTRY_RESOURCEID(103)

    BEGIN_COM_MAP(CTestCalc)
    COM_INTERFACE_ENTRY(ITestCalc)
    COM_INTERFACE_ENTRY(IDispatch)
    END_COM_MAP()

    // ITestCalc
    STDMETHOD(Add)(LONG a, LONG b, LONG* sum) override;
    STDMETHOD(get_Name)(BSTR* name) override;
};
