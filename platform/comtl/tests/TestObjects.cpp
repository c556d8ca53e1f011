#include "TestObjects.h"

const CLSID CLSID_TestWidget = {
    0x5e1d7a30, 0x2b4c, 0x4f81, {0x9a, 0x11, 0x6c, 0x2e, 0x70, 0x31, 0xa4, 0x01}};
const CLSID CLSID_TestRefuser = {
    0x5e1d7a30, 0x2b4c, 0x4f81, {0x9a, 0x11, 0x6c, 0x2e, 0x70, 0x31, 0xa4, 0x02}};

int g_liveTestObjects = 0;

STDMETHODIMP CTestWidget::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
    return S_OK;
}

STDMETHODIMP CTestWidget::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = GetObjectCLSID();
    return S_OK;
}
