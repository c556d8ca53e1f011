#include "ClassFactory.h"

#include "WebBrowserControl.h"

#include <new>

namespace torva::browser {

IClassFactory* ClassFactory::Create() {
    return new (std::nothrow) ClassFactory();
}

HRESULT ClassFactory::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    ComPtr<WebBrowserControl> control = WebBrowserControl::Create();
    if (!control) return E_OUTOFMEMORY;
    return control->QueryInterface(iid, out);
}

HRESULT ClassFactory::LockServer(BOOL lock) {
    if (lock)
        ++s_locks;
    else
        --s_locks;
    return S_OK;
}

} // namespace torva::browser
