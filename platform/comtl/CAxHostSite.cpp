#include "CAxHostSite.h"

HRESULT CAxHostSite::CreateControl(HWND window, const wchar_t* name) {
    if (!window || !name || !*name) return E_INVALIDARG;
    m_window = window;
    CLSID clsid{};
    HRESULT hr =
        name[0] == L'{' ? ::CLSIDFromString(name, &clsid) : ::CLSIDFromProgID(name, &clsid);
    if (FAILED(hr)) return hr;
    if (FAILED(hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                       reinterpret_cast<void**>(&m_control))))
        return hr;
    // A control without OLE embedding is kept (it can still be asked for)
    // but has nothing to show.
    if (FAILED(m_control->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&m_oleObject))))
        return S_OK;
    if (FAILED(hr = m_oleObject->SetClientSite(this))) return hr;
    RECT rect{};
    ::GetClientRect(window, &rect);
    return m_oleObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, window, &rect);
}

void CAxHostSite::DestroyControl() {
    if (m_oleObject) {
        (void)m_oleObject->Close(OLECLOSE_NOSAVE);
        (void)m_oleObject->SetClientSite(nullptr);
        m_oleObject.Release();
    }
    m_control.Release();
    m_window = nullptr;
}

void CAxHostSite::Resize(const RECT& rect) {
    if (!m_control) return;
    CComPtr<IOleInPlaceObject> inPlace;
    if (SUCCEEDED(
            m_control->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace))))
        (void)inPlace->SetObjectRects(&rect, &rect);
}

// IOleClientSite

STDMETHODIMP CAxHostSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (!moniker) return E_POINTER;
    *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CAxHostSite::GetContainer(IOleContainer** container) {
    if (!container) return E_POINTER;
    *container = nullptr;
    return E_NOINTERFACE;
}

// IOleWindow

STDMETHODIMP CAxHostSite::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = m_window;
    return m_window ? S_OK : E_FAIL;
}

// IOleInPlaceSite

STDMETHODIMP CAxHostSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                           RECT* position, RECT* clip, OLEINPLACEFRAMEINFO* info) {
    if (!frame || !document || !position || !clip || !info) return E_POINTER;
    *frame = nullptr;
    *document = nullptr;
    ::GetClientRect(m_window, position);
    *clip = *position;
    info->fMDIApp = FALSE;
    info->hwndFrame = ::GetAncestor(m_window, GA_ROOT);
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP CAxHostSite::OnPosRectChange(const RECT* rect) {
    if (!rect) return E_POINTER;
    Resize(*rect);
    return S_OK;
}
