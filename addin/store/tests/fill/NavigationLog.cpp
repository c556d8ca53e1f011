#include "NavigationLog.h"

#include "CComPtr.h"

#include <exdispid.h>
#include <ocidl.h>

namespace {

CComPtr<IConnectionPoint> EventPoint(IUnknown* browser) {
    CComPtr<IConnectionPointContainer> container;
    CComPtr<IConnectionPoint> point;
    if (SUCCEEDED(browser->QueryInterface(IID_IConnectionPointContainer,
                                          reinterpret_cast<void**>(&container))) &&
        container) {
        if (FAILED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, &point))) {
            point.Release();
        }
    }
    return point;
}

} // namespace

bool NavigationLog::Advise(IUnknown* browser) {
    CComPtr<IConnectionPoint> point = EventPoint(browser);
    if (!point || FAILED(point->Advise(this, &m_cookie))) return false;
    m_source = browser;
    return true;
}

void NavigationLog::Unadvise() {
    if (!m_source) return;
    if (CComPtr<IConnectionPoint> point = EventPoint(m_source)) point->Unadvise(m_cookie);
    m_source = nullptr;
}

HRESULT NavigationLog::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT NavigationLog::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                              EXCEPINFO*, UINT*) {
    // BeforeNavigate2's arguments come last first: the URL is the sixth of seven.
    if (id != DISPID_BEFORENAVIGATE2 || !params || params->cArgs != 7) return S_OK;
    const VARIANT& url = params->rgvarg[5];
    if (url.vt == (VT_VARIANT | VT_BYREF) && url.pvarVal && url.pvarVal->vt == VT_BSTR) {
        const BSTR text = url.pvarVal->bstrVal;
        m_urls.emplace_back(text ? std::wstring(text, ::SysStringLen(text)) : std::wstring());
    }
    return S_OK;
}
