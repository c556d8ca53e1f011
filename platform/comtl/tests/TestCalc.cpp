#include "TestCalc.h"

STDMETHODIMP CTestCalc::Add(LONG a, LONG b, LONG* sum) {
    if (!sum) return E_POINTER;
    *sum = a + b;
    return S_OK;
}

STDMETHODIMP CTestCalc::get_Name(BSTR* name) {
    if (!name) return E_POINTER;
    *name = ::SysAllocString(L"計算");
    return *name ? S_OK : E_OUTOFMEMORY;
}
