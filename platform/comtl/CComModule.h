#pragma once
#include <windows.h>
#include <objbase.h>
#include <mutex>
#include <vector>
#include "ComObjectEntry.h"

// The module object of an in-process server (or of a program that serves its
// own classes): the object map, the cached class objects and the lock count
// that DllCanUnloadNow reads. One per module, reached through ComModule().
class CComModule {
public:
    CComModule() = default;
    CComModule(const CComModule&) = delete;
    CComModule& operator=(const CComModule&) = delete;
    ~CComModule();

    // Binds the module to its instance handle, object map (copied) and type
    // library id (may be null). Called from process attach; no COM calls.
    [[nodiscard]] HRESULT Init(const ComObjectEntry* map, size_t count, HINSTANCE instance,
                               const GUID* libid);
    // Releases the cached class objects; called from process detach. The
    // object map is forgotten, so DllGetClassObject fails afterwards.
    void Term();

    // Every live object and every LockServer(TRUE) holds one lock.
    LONG Lock() noexcept { return ::InterlockedIncrement(&m_lockCount); }
    LONG Unlock() noexcept { return ::InterlockedDecrement(&m_lockCount); }
    LONG GetLockCount() const noexcept { return m_lockCount; }

    HINSTANCE GetModuleInstance() const noexcept { return m_instance; }
    const GUID* GetTypeLibId() const noexcept { return m_libid; }
    const std::vector<ComObjectEntry>& GetObjectMap() const noexcept { return m_map; }

    // The class object for clsid, asked for as iid. CLASS_E_CLASSNOTAVAILABLE
    // for a class outside the map.
    [[nodiscard]] HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object);
    // Runs registrar script id of this module with %MODULE% = the module's path.
    [[nodiscard]] HRESULT UpdateRegistryFromResource(UINT id, bool registering);
    // Every object-map entry's script in turn, then the TYPELIB resource
    // (when withTypeLib). Registration stops at the first failure; removal
    // goes on and reports the first failure.
    [[nodiscard]] HRESULT RegisterServer(bool withTypeLib);
    [[nodiscard]] HRESULT UnregisterServer(bool withTypeLib);

    // S_FALSE while anything holds a lock, else S_OK.
    HRESULT CanUnloadNow() const noexcept { return m_lockCount != 0 ? S_FALSE : S_OK; }

private:
    std::mutex m_mutex; // guards the two vectors: DllGetClassObject may run on any thread
    std::vector<ComObjectEntry> m_map;
    std::vector<IClassFactory*> m_factories; // parallel to m_map, owned references
    HINSTANCE m_instance = nullptr;
    const GUID* m_libid = nullptr;
    LONG m_lockCount = 0;
};

// The process-wide module object of the module this code is linked into.
CComModule& ComModule() noexcept;
