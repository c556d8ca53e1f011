#include "CComModule.h"
#include <new>
#include "CComClassFactory.h"
#include "CRegistrar.h"
#include "ModuleInstance.h"
#include "TypeLibRegistration.h"

CComModule& ComModule() noexcept {
    static CComModule module;
    return module;
}

CComModule::~CComModule() {
    Term();
}

HRESULT CComModule::Init(const ComObjectEntry* map, size_t count, HINSTANCE instance,
                         const GUID* libid) {
    if (!map && count != 0) return E_INVALIDARG;
    try {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_map.assign(map, map + count);
        m_factories.assign(count, nullptr);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    m_instance = instance;
    m_libid = libid;
    return S_OK;
}

void CComModule::Term() {
    std::vector<IClassFactory*> factories;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        factories.swap(m_factories);
        m_map.clear();
    }
    // Released outside the lock: a factory's last Release must not run with
    // the module's mutex held.
    for (IClassFactory* factory : factories)
        if (factory) factory->Release();
}

HRESULT CComModule::GetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    std::lock_guard<std::mutex> lock(m_mutex);
    for (size_t i = 0; i < m_map.size(); ++i) {
        if (!m_map[i].clsid || !::IsEqualCLSID(clsid, *m_map[i].clsid)) continue;
        if (!m_factories[i]) {
            m_factories[i] = new (std::nothrow) CComClassFactory(m_map[i].create);
            if (!m_factories[i]) return E_OUTOFMEMORY;
        }
        return m_factories[i]->QueryInterface(iid, object);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT CComModule::UpdateRegistryFromResource(UINT id, bool registering) {
    const HINSTANCE module = m_instance ? m_instance : ComtlModuleInstance();
    wchar_t path[MAX_PATH]{};
    const DWORD length = ::GetModuleFileNameW(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return HRESULT_FROM_WIN32(ERROR_BAD_PATHNAME);
    try {
        CRegistrar registrar;
        registrar.AddReplacement(L"MODULE", path);
        return registrar.ApplyResource(module, id, registering);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CComModule::RegisterServer(bool withTypeLib) {
    for (const ComObjectEntry& entry : m_map) {
        if (!entry.updateRegistry) continue;
        const HRESULT hr = entry.updateRegistry(true);
        if (FAILED(hr)) return hr;
    }
    return withTypeLib ? RegisterModuleTypeLib(m_instance ? m_instance : ComtlModuleInstance())
                       : S_OK;
}

HRESULT CComModule::UnregisterServer(bool withTypeLib) {
    HRESULT result = S_OK;
    for (const ComObjectEntry& entry : m_map) {
        if (!entry.updateRegistry) continue;
        const HRESULT hr = entry.updateRegistry(false);
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    }
    if (withTypeLib) {
        const HRESULT hr = UnregisterModuleTypeLib(m_instance ? m_instance : ComtlModuleInstance());
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    }
    return result;
}
