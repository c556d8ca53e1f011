#include "HtmlWindow.h"

#include <new>

namespace torva::browser {

IHTMLWindow2* HtmlWindow::Create(HtmlDocument& doc, std::wstring name) {
    return new (std::nothrow) HtmlWindow(doc, std::move(name));
}

HRESULT HtmlWindow::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID_IHTMLFramesCollection2 &&
        iid != IID_IHTMLWindow2)
        return E_NOINTERFACE;
    *out = static_cast<IHTMLWindow2*>(this);
    AddRef();
    return S_OK;
}

HRESULT HtmlWindow::item(VARIANT* index, VARIANT* result) {
    if (!index || !result) return E_POINTER;
    VariantInit(result);
    const auto& frames = m_doc->frames();
    size_t pick = frames.size();
    if (index->vt == VT_BSTR) {
        const std::wstring name = FromBstr(index->bstrVal);
        for (size_t i = 0; i < frames.size() && pick == frames.size(); ++i)
            if (frames[i].node->Attribute(L"name") == name) pick = i;
    } else {
        VARIANT n;
        VariantInit(&n);
        if (FAILED(VariantChangeType(&n, index, 0, VT_I4))) return E_INVALIDARG;
        if (n.lVal >= 0) pick = static_cast<size_t>(n.lVal);
    }
    if (pick >= frames.size()) return E_INVALIDARG;
    IHTMLWindow2* w = Create(*frames[pick].document.get(), frames[pick].node->Attribute(L"name"));
    if (!w) return E_OUTOFMEMORY;
    result->vt = VT_DISPATCH;
    result->pdispVal = w;
    return S_OK;
}

HRESULT HtmlWindow::get_length(LONG* p) {
    if (!p) return E_POINTER;
    *p = static_cast<LONG>(m_doc->frames().size());
    return S_OK;
}

HRESULT HtmlWindow::get_frames(IHTMLFramesCollection2** p) {
    if (!p) return E_POINTER;
    AddRef();
    *p = static_cast<IHTMLWindow2*>(this);
    return S_OK;
}

HRESULT HtmlWindow::get_document(IHTMLDocument2** p) {
    if (!p) return E_POINTER;
    *p = ComPtr<IHTMLDocument2>(m_doc.get()).detach();
    return S_OK;
}

HRESULT HtmlWindow::get_name(BSTR* p) {
    return ReturnBstr(m_name, p);
}

HRESULT HtmlWindow::get_self(IHTMLWindow2** p) {
    if (!p) return E_POINTER;
    AddRef();
    *p = this;
    return S_OK;
}

HRESULT HtmlWindow::get_window(IHTMLWindow2** p) {
    return get_self(p);
}

} // namespace torva::browser
