// Module entry points of the WebBrowser control server. Each export is a
// thin check around the library; none lets an exception out.
#include "ClassFactory.h"
#include "ServerRegistration.h"
#include "WindowClass.h"

#include <exdisp.h>
#include <olectl.h>

#include <string>

using namespace torva::browser;

namespace {

HINSTANCE g_module = nullptr;

std::wstring ModulePath() {
    wchar_t path[MAX_PATH * 2];
    const DWORD n = GetModuleFileNameW(g_module, path, MAX_PATH * 2);
    return std::wstring(path, n);
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    // Unloaded by FreeLibrary (not at process end): the classes would
    // outlive the code of their procedures.
    if (reason == DLL_PROCESS_DETACH && !reserved) WindowClass::UnregisterAll();
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (clsid != CLSID_WebBrowser) return CLASS_E_CLASSNOTAVAILABLE;
    try {
        IClassFactory* factory = ClassFactory::Create();
        if (!factory) return E_OUTOFMEMORY;
        const HRESULT hr = factory->QueryInterface(iid, out);
        factory->Release();
        return hr;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return (LiveObjects::Count() == 0 && ClassFactory::Locks() == 0) ? S_OK : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    try {
        return ServerRegistration::Register(HKEY_CLASSES_ROOT, ModulePath());
    } catch (...) {
        return SELFREG_E_CLASS;
    }
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    try {
        return ServerRegistration::Unregister(HKEY_CLASSES_ROOT, ModulePath());
    } catch (...) {
        return SELFREG_E_CLASS;
    }
}
