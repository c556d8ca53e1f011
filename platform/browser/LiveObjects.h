// Counts the objects the browser layer creates and destroys, so that tests
// and DllCanUnloadNow can tell whether every reference handed out came back.
#pragma once

#include <windows.h>

#include <atomic>

namespace torva::browser {

class LiveObjects {
public:
    static long Count() noexcept { return s_count.load(); }
    static void Created() noexcept { ++s_count; }
    static void Destroyed() noexcept { --s_count; }

private:
    static inline std::atomic<long> s_count{0};
};

// Base of every reference-counted object of the layer. Counts are interlocked:
// the registration dialog's worker thread reads pages while the UI thread owns
// them.
class ObjectBase {
public:
    ObjectBase() noexcept { LiveObjects::Created(); }
    virtual ~ObjectBase() { LiveObjects::Destroyed(); }
    ObjectBase(const ObjectBase&) = delete;
    ObjectBase& operator=(const ObjectBase&) = delete;

protected:
    ULONG AddRefImpl() noexcept { return static_cast<ULONG>(++m_refs); }
    // Takes a reference unless the object is already on its way out (count
    // reached 0 on another thread); used by weak indexes of live objects.
    bool TryAddRefImpl() noexcept {
        long n = m_refs.load();
        while (n > 0)
            if (m_refs.compare_exchange_weak(n, n + 1)) return true;
        return false;
    }
    ULONG ReleaseImpl() noexcept {
        const long n = --m_refs;
        if (n == 0) delete this;
        return static_cast<ULONG>(n);
    }

private:
    std::atomic<long> m_refs{1};
};

} // namespace torva::browser

// IUnknown's counting methods for a class derived from ObjectBase. A class
// that adds interfaces over a base class repeats them so that every vtable of
// the object reaches the same count.
#define TORVA_BROWSER_REFCOUNT                                                                     \
    ULONG STDMETHODCALLTYPE AddRef() override {                                                    \
        return AddRefImpl();                                                                       \
    }                                                                                              \
    ULONG STDMETHODCALLTYPE Release() override {                                                   \
        return ReleaseImpl();                                                                      \
    }

// IDispatch for objects reached through their vtables only: the layer has no
// type information, so late-bound callers learn that at once.
#define TORVA_BROWSER_NO_TYPEINFO                                                                  \
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {                                 \
        if (!n) return E_POINTER;                                                                  \
        *n = 0;                                                                                    \
        return S_OK;                                                                               \
    }                                                                                              \
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override {                      \
        return E_NOTIMPL;                                                                          \
    }                                                                                              \
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {     \
        return DISP_E_UNKNOWNNAME;                                                                 \
    }                                                                                              \
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,            \
                                     EXCEPINFO*, UINT*) override {                                 \
        return DISP_E_MEMBERNOTFOUND;                                                              \
    }
