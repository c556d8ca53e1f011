#include "PageLoads.h"

#include <exdispid.h>
#include <ocidl.h>

namespace torva::browser {

PageLoads* PageLoads::Create(IWebBrowser2* browser,
                             std::function<void(const std::wstring&)> topNavigated) {
    auto* loads = new PageLoads();
    loads->m_topNavigated = std::move(topNavigated);
    loads->m_top = browser;
    ComPtr<IConnectionPointContainer> container;
    if (browser &&
        SUCCEEDED(browser->QueryInterface(IID_IConnectionPointContainer,
                                          reinterpret_cast<void**>(container.put()))) &&
        SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, loads->m_point.put())) &&
        FAILED(loads->m_point->Advise(static_cast<IDispatch*>(loads), &loads->m_cookie)))
        loads->m_point.reset();
    return loads;
}

void PageLoads::Detach() {
    if (m_point && m_cookie) m_point->Unadvise(m_cookie);
    m_point.reset();
    m_cookie = 0;
    m_topNavigated = nullptr;
}

int PageLoads::Count(const std::wstring& text) const {
    int n = 0;
    for (const auto& url : m_completed)
        if (url.find(text) != std::wstring::npos) ++n;
    return n;
}

STDMETHODIMP PageLoads::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch && iid != DIID_DWebBrowserEvents2)
        return E_NOINTERFACE;
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) PageLoads::Release() {
    const ULONG refs = --m_refs;
    if (refs == 0) delete this;
    return refs;
}

STDMETHODIMP PageLoads::GetTypeInfoCount(UINT* count) {
    if (count) *count = 0;
    return S_OK;
}

STDMETHODIMP PageLoads::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                               EXCEPINFO*, UINT*) {
    if ((id != DISPID_DOCUMENTCOMPLETE && id != DISPID_NAVIGATECOMPLETE2) || !params ||
        params->cArgs != 2)
        return S_OK;
    // Arguments come last first: rgvarg[1] is the browser the event is for,
    // rgvarg[0] the URL, a VARIANT by reference.
    const VARIANT& who = params->rgvarg[1];
    const VARIANT& arg = params->rgvarg[0];
    const VARIANT* url = arg.vt == (VT_VARIANT | VT_BYREF) ? arg.pvarVal : &arg;
    if (!url || url->vt != VT_BSTR || !url->bstrVal) return S_OK;
    if (id == DISPID_DOCUMENTCOMPLETE) {
        m_completed.emplace_back(url->bstrVal);
    } else if (who.vt == VT_DISPATCH && who.pdispVal == m_top && m_topNavigated) {
        m_topNavigated(url->bstrVal);
    }
    return S_OK;
}

} // namespace torva::browser
