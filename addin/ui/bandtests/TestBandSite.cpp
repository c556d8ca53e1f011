#include "TestBandSite.h"

#include <shlguid.h>

#include <new>

TestBandSite* TestBandSite::Create(HWND strip, IWebBrowser2* browser) {
    return new (std::nothrow) TestBandSite(strip, browser);
}

TestBandSite::TestBandSite(HWND strip, IWebBrowser2* browser) : m_strip(strip), m_browser(browser) {
    if (m_browser) m_browser->AddRef();
}

TestBandSite::~TestBandSite() {
    if (m_browser) m_browser->Release();
}

ULONG TestBandSite::Release() {
    const ULONG n = --m_refs;
    if (!n) delete this;
    return n;
}

HRESULT TestBandSite::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleWindow)
        *out = static_cast<IOleWindow*>(this);
    else if (iid == IID_IInputObjectSite)
        *out = static_cast<IInputObjectSite*>(this);
    else if (iid == IID_IOleCommandTarget)
        *out = static_cast<IOleCommandTarget*>(this);
    else if (iid == IID_IServiceProvider)
        *out = static_cast<IServiceProvider*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT TestBandSite::GetWindow(HWND* hwnd) {
    if (!hwnd) return E_POINTER;
    *hwnd = m_strip;
    return S_OK;
}

HRESULT TestBandSite::OnFocusChangeIS(IUnknown*, BOOL) {
    ++m_focusReports;
    return S_OK;
}

HRESULT TestBandSite::QueryStatus(const GUID*, ULONG, OLECMD[], OLECMDTEXT*) {
    return OLECMDERR_E_UNKNOWNGROUP;
}

HRESULT TestBandSite::Exec(const GUID*, DWORD, DWORD, VARIANT*, VARIANT*) {
    return OLECMDERR_E_UNKNOWNGROUP;
}

HRESULT TestBandSite::QueryService(REFGUID service, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!m_browser || service != SID_SWebBrowserApp) return E_NOINTERFACE;
    return m_browser->QueryInterface(iid, out);
}
