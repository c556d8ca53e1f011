#pragma once
#include <windows.h>
#include <objbase.h>

// Creates an instance of one class: (outer, iid, out object).
using ComCreatorFn = HRESULT (*)(IUnknown* outer, REFIID iid, void** object);

// Applies (true) or removes (false) the class's registrar script.
using ComUpdateRegistryFn = HRESULT (*)(bool registering);

// One row of the module's object map: a class the module serves through
// DllGetClassObject and registers through its registrar script.
struct ComObjectEntry {
    const CLSID* clsid;
    ComCreatorFn create;
    ComUpdateRegistryFn updateRegistry;
};

#define OBJECT_ENTRY(clsid, x)                                                                     \
    ComObjectEntry {                                                                               \
        &clsid, &x::CreateInstance, &x::UpdateRegistry                                             \
    }
