#include "CComClassFactory.h"
#include "CComModule.h"

// IUnknown

STDMETHODIMP CComClassFactory::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!::IsEqualIID(iid, IID_IUnknown) && !::IsEqualIID(iid, IID_IClassFactory))
        return E_NOINTERFACE;
    AddRef();
    *object = static_cast<IClassFactory*>(this);
    return S_OK;
}

// Interlocked: COM may hand one cached class object to several apartments.
STDMETHODIMP_(ULONG) CComClassFactory::AddRef() {
    return static_cast<ULONG>(::InterlockedIncrement(&m_refCount));
}

STDMETHODIMP_(ULONG) CComClassFactory::Release() {
    const LONG count = ::InterlockedDecrement(&m_refCount);
    if (count == 0) delete this;
    return static_cast<ULONG>(count);
}

// IClassFactory

STDMETHODIMP CComClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!m_create) return E_UNEXPECTED;
    return m_create(outer, iid, object);
}

STDMETHODIMP CComClassFactory::LockServer(BOOL lock) {
    if (lock)
        ComModule().Lock();
    else
        ComModule().Unlock();
    return S_OK;
}
