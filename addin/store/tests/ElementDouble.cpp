#include "ElementDouble.h"

HRESULT STDMETHODCALLTYPE ElementDouble::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (riid != IID_IUnknown && riid != IID_IDispatch && riid != IID_IHTMLElement) {
        return E_NOINTERFACE;
    }
    *object = static_cast<IHTMLElement*>(this);
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ElementDouble::get_tagName(BSTR* p) {
    if (!p) return E_POINTER;
    *p = ::SysAllocString(m_tagName.c_str());
    return *p ? S_OK : E_OUTOFMEMORY;
}
