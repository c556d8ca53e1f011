#pragma once
#include "ComInterfaceMap.h"
#include "ComThreadModel.h"

// Common base of the project's COM classes: the reference count and the
// construction hooks. The IUnknown methods themselves come from the wrapper
// that creates the object (CComObject), so a class derived from this is
// abstract until wrapped.
template <class ThreadModel> class CComObjectRootEx {
public:
    CComObjectRootEx() = default;
    CComObjectRootEx(const CComObjectRootEx&) = delete;
    CComObjectRootEx& operator=(const CComObjectRootEx&) = delete;

    ULONG InternalAddRef() noexcept { return ThreadModel::Increment(&m_refCount); }
    ULONG InternalRelease() noexcept { return ThreadModel::Decrement(&m_refCount); }

    // Run once after construction with the object holding one reference; a
    // failure destroys the object before anyone sees it.
    HRESULT FinalConstruct() noexcept { return S_OK; }
    // Run once when the last reference goes, before the destructor.
    void FinalRelease() noexcept {}

protected:
    ~CComObjectRootEx() = default;

private:
    LONG m_refCount = 0;
};
