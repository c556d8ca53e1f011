#pragma once
#include "CComObject.h"

// Names the REGISTRY resource of this module that registers the class.
#define DECLARE_REGISTRY_RESOURCEID(id)                                                            \
    static HRESULT UpdateRegistry(bool registering) noexcept {                                     \
        return ComModule().UpdateRegistryFromResource(id, registering);                            \
    }

// Gives class T its class id and the creator function that the object map
// and the class factory call. Aggregation is not supported.
template <class T, const CLSID* Clsid> class CComCoClass {
public:
    static const CLSID& GetObjectCLSID() noexcept { return *Clsid; }

    // A class without DECLARE_REGISTRY_RESOURCEID has nothing to register.
    static HRESULT UpdateRegistry(bool) noexcept { return S_OK; }

    [[nodiscard]] static HRESULT CreateInstance(IUnknown* outer, REFIID iid,
                                                void** object) noexcept {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        CComObject<T>* created = nullptr;
        HRESULT hr = CComObject<T>::CreateInstance(&created);
        if (FAILED(hr)) return hr;
        // The query takes the first reference; if it fails, the extra
        // reference taken here brings the count back to zero and frees it.
        created->AddRef();
        hr = created->QueryInterface(iid, object);
        created->Release();
        return hr;
    }
};
