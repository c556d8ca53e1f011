#include "InputDouble.h"

HRESULT STDMETHODCALLTYPE InputDouble::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (riid == IID_IHTMLInputElement) {
        *object = static_cast<IHTMLInputElement*>(this);
        AddRef();
        return S_OK;
    }
    return ElementDouble::QueryInterface(riid, object);
}

HRESULT STDMETHODCALLTYPE InputDouble::get_type(BSTR* p) {
    if (!p) return E_POINTER;
    *p = ::SysAllocString(m_type.c_str());
    return *p ? S_OK : E_OUTOFMEMORY;
}
