#include "FrameBrowser.h"

#include <new>

namespace torva::browser {

ComPtr<FrameBrowser> FrameBrowser::Create(ComPtr<HtmlDocument> doc) {
    return ComPtr<FrameBrowser>::Adopt(new (std::nothrow) FrameBrowser(std::move(doc)));
}

HRESULT FrameBrowser::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID_IWebBrowser &&
        iid != IID_IWebBrowserApp && iid != IID_IWebBrowser2)
        return E_NOINTERFACE;
    *out = static_cast<IWebBrowser2*>(this);
    AddRef();
    return S_OK;
}

HRESULT FrameBrowser::get_Document(IDispatch** p) {
    if (!p) return E_POINTER;
    *p = m_doc ? ComPtr<IDispatch>(static_cast<IHTMLDocument2*>(m_doc.get())).detach() : nullptr;
    return S_OK;
}

HRESULT FrameBrowser::get_LocationURL(BSTR* p) {
    return ReturnBstr(m_doc ? m_doc->url() : std::wstring(L"about:blank"), p);
}

HRESULT FrameBrowser::get_LocationName(BSTR* p) {
    if (!m_doc) return ReturnBstr(L"about:blank", p);
    const std::wstring title = m_doc->Title();
    return ReturnBstr(title.empty() ? m_doc->url() : title, p);
}

HRESULT FrameBrowser::get_ReadyState(READYSTATE* p) {
    if (!p) return E_POINTER;
    if (!m_doc)
        *p = READYSTATE_LOADING;
    else
        *p = m_doc->ReadyState() == L"complete" ? READYSTATE_COMPLETE : READYSTATE_INTERACTIVE;
    return S_OK;
}

HRESULT FrameBrowser::get_Busy(VARIANT_BOOL* p) {
    if (!p) return E_POINTER;
    *p = m_doc && m_doc->ReadyState() == L"complete" ? VARIANT_FALSE : VARIANT_TRUE;
    return S_OK;
}

} // namespace torva::browser
