#include "WebBrowserControl.h"

#include <exdisp.h>
#include <olectl.h>

#include <new>

namespace torva::browser {

ComPtr<WebBrowserControl> WebBrowserControl::Create() {
    return ComPtr<WebBrowserControl>::Adopt(new (std::nothrow) WebBrowserControl());
}

WebBrowserControl::~WebBrowserControl() {
    // The view must go before the browser object it observes.
    m_view.reset();
}

HRESULT WebBrowserControl::QueryMore(REFIID iid, void** out) {
    if (iid == IID_IOleObject)
        *out = static_cast<IOleObject*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject)
        *out = static_cast<IOleInPlaceObject*>(this);
    else if (iid == IID_IOleInPlaceActiveObject)
        *out = static_cast<IOleInPlaceActiveObject*>(this);
    else if (iid == IID_IViewObject || iid == IID_IViewObject2)
        *out = static_cast<IViewObject2*>(this);
    else if (iid == IID_IPersist || iid == IID_IPersistStreamInit)
        *out = static_cast<IPersistStreamInit*>(this);
    else if (iid == IID_IOleControl)
        *out = static_cast<IOleControl*>(this);
    else if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2)
        *out = static_cast<IProvideClassInfo2*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT WebBrowserControl::SetClientSite(IOleClientSite* site) {
    m_site = ComPtr<IOleClientSite>(site);
    return S_OK;
}

HRESULT WebBrowserControl::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    *site = ComPtr<IOleClientSite>(m_site).detach();
    return S_OK;
}

HRESULT WebBrowserControl::Close(DWORD) {
    ComPtr<WebBrowserControl> hold(this);
    InPlaceDeactivate();
    Shutdown(); // a closed control shows nothing more and lets go of its sinks
    m_viewSink.reset();
    m_site.reset();
    return S_OK;
}

HRESULT WebBrowserControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                                  LPCRECT rect) {
    switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_UIACTIVATE:
        return Activate(site ? site : m_site.get(), parent, rect, true);
    case OLEIVERB_INPLACEACTIVATE:
        return Activate(site ? site : m_site.get(), parent, rect, false);
    case OLEIVERB_HIDE:
        if (m_view) m_view->Show(false);
        return S_OK;
    default:
        return OLEOBJ_S_INVALIDVERB;
    }
}

HRESULT WebBrowserControl::Activate(IOleClientSite* site, HWND parent, LPCRECT rect, bool ui) {
    if (!m_view) {
        ComPtr<IOleInPlaceSite> ips;
        if (site) site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(ips.put()));
        RECT pos = rect ? *rect : RECT{0, 0, 300, 200};
        if (ips) {
            if (ips->CanInPlaceActivate() != S_OK) return E_FAIL;
            ips->OnInPlaceActivate();
            HWND siteWindow = nullptr;
            if (SUCCEEDED(ips->GetWindow(&siteWindow)) && siteWindow) parent = siteWindow;
            ComPtr<IOleInPlaceFrame> frame;
            ComPtr<IOleInPlaceUIWindow> doc;
            RECT clip{};
            OLEINPLACEFRAMEINFO info{};
            info.cb = sizeof info;
            if (SUCCEEDED(ips->GetWindowContext(frame.put(), doc.put(), &pos, &clip, &info)) &&
                rect)
                pos = *rect;
        }
        if (!parent) return E_INVALIDARG;
        m_view = BrowserView::Create(parent, pos, *this);
        if (!m_view) return E_FAIL;
        m_inPlaceSite = std::move(ips);
    }
    m_view->Show(true);
    if (ui && !m_uiActive) {
        m_uiActive = true;
        if (m_inPlaceSite) m_inPlaceSite->OnUIActivate();
        SetFocus(m_view->server());
    }
    return S_OK;
}

HRESULT WebBrowserControl::InPlaceDeactivate() {
    if (!m_view) return S_OK;
    UIDeactivate();
    m_view.reset();
    if (auto site = std::move(m_inPlaceSite)) site->OnInPlaceDeactivate();
    return S_OK;
}

HRESULT WebBrowserControl::UIDeactivate() {
    if (!m_uiActive) return S_OK;
    m_uiActive = false;
    if (m_inPlaceSite) m_inPlaceSite->OnUIDeactivate(FALSE);
    return S_OK;
}

HRESULT WebBrowserControl::SetObjectRects(LPCRECT pos, LPCRECT) {
    if (!pos) return E_POINTER;
    if (m_view) m_view->SetRect(*pos);
    return S_OK;
}

HRESULT WebBrowserControl::GetWindow(HWND* hwnd) {
    if (!hwnd) return E_POINTER;
    *hwnd = m_view ? m_view->embedding() : nullptr;
    return *hwnd ? S_OK : E_FAIL;
}

HRESULT WebBrowserControl::TranslateAccelerator(LPMSG msg) {
    if (!msg) return E_POINTER;
    return m_view ? m_view->TranslateKey(*msg) : S_FALSE;
}

HRESULT WebBrowserControl::GetUserClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = CLSID_WebBrowser;
    return S_OK;
}

HRESULT WebBrowserControl::SetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    m_extent = *size;
    return S_OK;
}

HRESULT WebBrowserControl::GetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    *size = m_extent;
    return S_OK;
}

HRESULT WebBrowserControl::GetMiscStatus(DWORD, DWORD* status) {
    if (!status) return E_POINTER;
    *status = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT |
              OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;
    return S_OK;
}

HRESULT WebBrowserControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC draw,
                                LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                                ULONG_PTR) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!draw || !bounds) return E_INVALIDARG;
    // An active control draws itself in its windows; otherwise a blank page.
    RECT r{bounds->left, bounds->top, bounds->right, bounds->bottom};
    FillRect(draw, &r, GetSysColorBrush(COLOR_WINDOW));
    return S_OK;
}

HRESULT WebBrowserControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    m_viewAspects = aspects;
    m_viewFlags = flags;
    m_viewSink = ComPtr<IAdviseSink>(sink);
    return S_OK;
}

HRESULT WebBrowserControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
    if (aspects) *aspects = m_viewAspects;
    if (flags) *flags = m_viewFlags;
    if (sink) *sink = ComPtr<IAdviseSink>(m_viewSink).detach();
    return S_OK;
}

HRESULT WebBrowserControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
    return GetExtent(aspect, size);
}

HRESULT WebBrowserControl::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) return E_POINTER;
    size->QuadPart = 0;
    return S_OK;
}

HRESULT WebBrowserControl::GetControlInfo(CONTROLINFO* info) {
    if (!info) return E_POINTER;
    info->cb = sizeof *info;
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

HRESULT WebBrowserControl::GetClassInfo(ITypeInfo** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

HRESULT WebBrowserControl::GetGUID(DWORD kind, GUID* guid) {
    if (!guid) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
    *guid = DIID_DWebBrowserEvents2;
    return S_OK;
}

} // namespace torva::browser
