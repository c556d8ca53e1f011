#pragma once
#include <windows.h>
#include <objbase.h>
#include "ComObjectEntry.h"

// The class object handed out by DllGetClassObject for one object-map row.
// Its own life does not lock the module (the module caches it until Term);
// only LockServer and the objects it creates do.
class CComClassFactory final : public IClassFactory {
public:
    explicit CComClassFactory(ComCreatorFn create) noexcept : m_create(create) {}
    CComClassFactory(const CComClassFactory&) = delete;
    CComClassFactory& operator=(const CComClassFactory&) = delete;

    // IUnknown
    STDMETHOD(QueryInterface)(REFIID iid, void** object) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;

    // IClassFactory
    STDMETHOD(CreateInstance)(IUnknown* outer, REFIID iid, void** object) override;
    STDMETHOD(LockServer)(BOOL lock) override;

private:
    ~CComClassFactory() = default;

    LONG m_refCount = 1;
    ComCreatorFn m_create;
};
