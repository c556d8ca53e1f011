// Quorvel.dll's entry point and exports: thin calls into the module code.
// No exception leaves any of them.
#include <QuorvelModule.h>
#include <QuorvelRegistration.h>

#include <CComModule.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        if (!QuorvelProcessAttach(instance)) return FALSE;
        ::DisableThreadLibraryCalls(instance);
        return TRUE;
    case DLL_PROCESS_DETACH:
        QuorvelProcessDetach(reserved != nullptr);
        return TRUE;
    default:
        return TRUE;
    }
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    try {
        return QuorvelGetClassObject(clsid, iid, object);
    } catch (...) {
        return E_UNEXPECTED;
    }
}

STDAPI DllCanUnloadNow() {
    return ComModule().CanUnloadNow();
}

STDAPI DllRegisterServer() {
    try {
        RegistrationPlaces places;
        places.comStep = &QuorvelComRegistration;
        return RegisterQuorvel(places);
    } catch (...) {
        return E_UNEXPECTED;
    }
}

STDAPI DllUnregisterServer() {
    try {
        RegistrationPlaces places;
        places.comStep = &QuorvelComRegistration;
        return UnregisterQuorvel(places);
    } catch (...) {
        return E_UNEXPECTED;
    }
}
