// The add-in module's life in its host process and its COM entry points,
// apart from the exports so that tests can drive them in a test program.
#pragma once

#include <windows.h>

// Process attach: binds the trace-log library from the module's own folder,
// refuses every host but the browser and regsvr32 (FALSE), then starts the
// COM module (object map, type-library id) and the ActiveX host window
// class.
BOOL QuorvelProcessAttach(HINSTANCE instance);
// Process detach; also after a refused attach, and harmless when repeated.
// Stops the COM module only when attach started it. processEnding (the
// reserved argument was non-null): the trace-log library is let go without
// being unloaded, since the whole process is going and unloading another
// library under the loader lock is unsafe.
void QuorvelProcessDetach(bool processEnding);
bool QuorvelModuleStarted();

// DllGetClassObject: the object map's lookup. A class in the map whose
// object cannot be made in this build answers CLASS_E_CLASSNOTAVAILABLE.
HRESULT QuorvelGetClassObject(REFCLSID clsid, REFIID iid, void** object);
// The COM step of (un)registration: the object map's registrar scripts,
// then the type library (resource TYPELIB 1).
HRESULT QuorvelComRegistration(bool registering);
