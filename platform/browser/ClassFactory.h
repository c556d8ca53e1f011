// The class factory of the in-process server: one for the WebBrowser class.
// Locks and live objects keep the DLL loaded (DllCanUnloadNow).
#pragma once

#include "LiveObjects.h"

#include <unknwn.h>

#include <atomic>

namespace torva::browser {

class ClassFactory final : public ObjectBase, public IClassFactory {
public:
    static IClassFactory* Create();
    static long Locks() noexcept { return s_locks.load(); }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    TORVA_BROWSER_REFCOUNT

    // IClassFactory
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    ClassFactory() = default;
    static inline std::atomic<long> s_locks{0};
};

} // namespace torva::browser
