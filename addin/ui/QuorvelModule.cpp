#include "QuorvelModule.h"

#include "CStockBar.h"
#include "HostCheck.h"
#include "QuorvelGuids.h"
#include "resource.h"

#include <AxHostWindow.h>
#include <CComModule.h>
#include <TraceHook.h>
#include <TraceScope.h>

namespace {

bool g_started = false;

// The band object, the module's only class: created by the browser for each
// window that shows the toolbar, registered through script 103.
const ComObjectEntry kObjectMap[] = {
    OBJECT_ENTRY(CLSID_StockBar, CStockBar),
};

} // namespace

BOOL QuorvelProcessAttach(HINSTANCE instance) {
    using torva::trace::TraceHook;
    (void)TraceHook::Bind(instance, L"Quorvel.dll");
    if (!IsAcceptedHost()) {
        TORVA_TRACE_RETURN_TEXT(L"DllMain", L"FALSE");
        TraceHook::Unbind();
        return FALSE;
    }
    if (FAILED(ComModule().Init(kObjectMap, sizeof kObjectMap / sizeof kObjectMap[0], instance,
                                &LIBID_MablixLib))) {
        TORVA_TRACE_RETURN_TEXT(L"DllMain", L"FALSE");
        TraceHook::Unbind();
        return FALSE;
    }
    g_started = true;
    (void)AxHostWindowInit();
    return TRUE;
}

void QuorvelProcessDetach(bool processEnding) {
    using torva::trace::TraceHook;
    if (g_started) {
        ComModule().Term();
        g_started = false;
    }
    TORVA_TRACE_DETAIL(L"DLL_PROCESS_DETACH");
    if (processEnding)
        TraceHook::Abandon();
    else
        TraceHook::Unbind();
}

bool QuorvelModuleStarted() {
    return g_started;
}

HRESULT QuorvelGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    TORVA_TRACE_SCOPE(L"DllGetClassObject");
    if (!object) TORVA_RETURN_HEX(E_POINTER);
    *object = nullptr;
    for (const ComObjectEntry& entry : ComModule().GetObjectMap())
        if (entry.clsid && ::IsEqualCLSID(clsid, *entry.clsid) && !entry.create)
            TORVA_RETURN_HEX(CLASS_E_CLASSNOTAVAILABLE);
    TORVA_RETURN_HEX(ComModule().GetClassObject(clsid, iid, object));
}

HRESULT QuorvelComRegistration(bool registering) {
    return registering ? ComModule().RegisterServer(true) : ComModule().UnregisterServer(true);
}
