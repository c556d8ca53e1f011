#pragma once
#include <windows.h>
#include <oaidl.h>
#include "CComPtr.h"
#include "ModuleInstance.h"
#include "TypeLibRegistration.h"

// IDispatch for a dual interface T (derived from IDispatch), answered from
// the type library LibId: names and calls go through the library's type
// information to T's vtable. The type information is loaded once per
// process at the first dispatch call and kept until the module unloads.
template <class T, const IID* Iid, const GUID* LibId, WORD Major = 1, WORD Minor = 0>
class IDispatchImpl : public T {
public:
    // IDispatch
    STDMETHOD(GetTypeInfoCount)(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    STDMETHOD(GetTypeInfo)(UINT index, LCID, ITypeInfo** info) override {
        if (!info) return E_POINTER;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        ITypeInfo* shared = nullptr;
        const HRESULT hr = TypeInfo(&shared);
        if (FAILED(hr)) return hr;
        shared->AddRef();
        *info = shared;
        return S_OK;
    }
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        ITypeInfo* info = nullptr;
        const HRESULT hr = TypeInfo(&info);
        if (FAILED(hr)) return hr;
        return info->GetIDsOfNames(names, count, ids);
    }
    STDMETHOD(Invoke)
    (DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
     EXCEPINFO* exception, UINT* argError) override {
        if (!::IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        ITypeInfo* info = nullptr;
        const HRESULT hr = TypeInfo(&info);
        if (FAILED(hr)) return hr;
        return info->Invoke(static_cast<T*>(this), id, flags, params, result, exception, argError);
    }

private:
    // Borrowed pointer to the cached type information.
    static HRESULT TypeInfo(ITypeInfo** info) {
        struct Cache {
            CComPtr<ITypeInfo> info;
            HRESULT hr = E_FAIL;
        };
        static Cache cache = [] {
            Cache loaded;
            loaded.hr = LoadInterfaceTypeInfo(ComtlModuleInstance(), *LibId, Major, Minor, *Iid,
                                              &loaded.info);
            return loaded;
        }();
        *info = cache.info;
        return cache.hr;
    }
};
