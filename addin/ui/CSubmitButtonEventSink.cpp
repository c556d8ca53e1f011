#include "CSubmitButtonEventSink.h"

#include "SubmitClickFlag.h"

#include "ConnectionPoints.h"
#include "Trace.h"

#include <mshtmdid.h>

#include <new>

CSubmitButtonEventSink::CSubmitButtonEventSink() = default;

CSubmitButtonEventSink::~CSubmitButtonEventSink() {
    Detach();
}

CComPtr<CSubmitButtonEventSink> CSubmitButtonEventSink::Create() {
    CComObject<CSubmitButtonEventSink>* created = nullptr;
    if (FAILED(CComObject<CSubmitButtonEventSink>::CreateInstance(&created))) return {};
    return CComPtr<CSubmitButtonEventSink>(created);
}

HRESULT CSubmitButtonEventSink::SetIWB2(IWebBrowser2* browser) noexcept {
    IwebB = browser;
    return S_OK;
}

HRESULT CSubmitButtonEventSink::SetHtmlDoc(IHTMLDocument2* document) noexcept {
    if (pDoc) pDoc->Release();
    pDoc = document;
    return S_OK;
}

HRESULT CSubmitButtonEventSink::GetAdd(const SubmitSinkList* list) noexcept {
    cBAdd = list;
    return S_OK;
}

HRESULT CSubmitButtonEventSink::AdviseToElemenet(IUnknown* element) noexcept {
    TORVA_TRACE_ENTER(L"CSubmitButtonEventSink::AdviseToElemenet");
    if (!element) return E_POINTER;
    if (m_cookie || pUnkIE) return E_UNEXPECTED;
    DWORD cookie = 0;
    const HRESULT hr =
        ComAdvise(element, static_cast<IDispatch*>(this), DIID_HTMLButtonElementEvents, &cookie);
    if (SUCCEEDED(hr)) {
        pUnkIE = element;
        m_cookie = cookie;
    }
    TORVA_TRACE_RETURN_HEX(L"CSubmitButtonEventSink::AdviseToElemenet", static_cast<unsigned>(hr));
    return hr;
}

void CSubmitButtonEventSink::Detach() noexcept {
    cBAdd = nullptr;
    IwebB = nullptr;
    if (pUnkIE && m_cookie) {
        // The page may be gone already (its lists cleared): then there is
        // nothing left to unadvise, and the failure says only that.
        (void)ComUnadvise(pUnkIE, DIID_HTMLButtonElementEvents, m_cookie);
    }
    m_cookie = 0;
    pUnkIE.Release();
    if (pDoc) {
        pDoc->Release();
        pDoc = nullptr;
    }
    m_nHoldDoc = 0;
}

bool CSubmitButtonEventSink::Listed() const noexcept {
    if (!cBAdd) return false;
    for (const auto& sink : *cBAdd)
        if (sink.p == this) return true;
    return false;
}

HRESULT CSubmitButtonEventSink::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT CSubmitButtonEventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

HRESULT CSubmitButtonEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT CSubmitButtonEventSink::Invoke(DISPID dispidMember, REFIID, LCID, WORD, DISPPARAMS*,
                                       VARIANT*, EXCEPINFO*, UINT*) {
    if (dispidMember != DISPID_HTMLELEMENTEVENTS_ONCLICK) return S_OK;
    TORVA_TRACE_ENTER(L"CSubmitButtonEventSink::Invoke");
    // Held for the call: the click may run modal loops in which the band
    // lets this page's sinks go.
    CComPtr<IDispatch> self(static_cast<IDispatch*>(this));
    try {
        (void)m_ExpData.GetOptionData();
        if (m_ExpData.m_option.m_nStopFunc != 0 || m_ExpData.m_option.m_nSetAuto != 1) {
            TORVA_TRACE_RETURN_INT(L"CSubmitButtonEventSink::Invoke", 0);
            return S_OK;
        }
        if (!Listed()) {
            TORVA_TRACE_RETURN_INT(L"CSubmitButtonEventSink::Invoke", 1);
            return S_FALSE; // a sink of a page the band has let go
        }
        g_bSubmitClicked = 1;
        // The capture of the submitted form (the comparison with the stored
        // entries and the registration dialogs) is not part of this sink yet.
    } catch (...) {
        return E_UNEXPECTED;
    }
    TORVA_TRACE_RETURN_INT(L"CSubmitButtonEventSink::Invoke", 0);
    return S_OK;
}
