#pragma once
#include <new>
#include "CComModule.h"

// The creatable form of a COM class Base (derived from CComObjectRootEx and
// its interfaces, with a COM map): supplies IUnknown and holds a module lock
// for the object's whole life, so DllCanUnloadNow says no while it exists.
template <class Base> class CComObject final : public Base {
public:
    CComObject() noexcept { ComModule().Lock(); }
    ~CComObject() {
        this->FinalRelease();
        ComModule().Unlock();
    }

    // IUnknown
    STDMETHOD(QueryInterface)(REFIID iid, void** object) override {
        return this->InternalQueryInterface(iid, object);
    }
    STDMETHOD_(ULONG, AddRef)() override { return this->InternalAddRef(); }
    STDMETHOD_(ULONG, Release)() override {
        const ULONG count = this->InternalRelease();
        if (count == 0) delete this;
        return count;
    }

    // Creates the object with a reference count of zero (the caller takes the
    // first reference by QueryInterface or AddRef). FinalConstruct runs with a
    // temporary reference so that it may hand the object out and take it back.
    [[nodiscard]] static HRESULT CreateInstance(CComObject** created) noexcept {
        if (!created) return E_POINTER;
        *created = nullptr;
        auto* object = new (std::nothrow) CComObject();
        if (!object) return E_OUTOFMEMORY;
        object->InternalAddRef();
        const HRESULT hr = object->FinalConstruct();
        object->InternalRelease();
        if (FAILED(hr)) {
            delete object;
            return hr;
        }
        *created = object;
        return S_OK;
    }
};
