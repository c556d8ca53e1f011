// A SELECT element: its options through length/item, the selection by
// index or value, single or multiple choice.
#pragma once

#include "HtmlElement.h"

namespace torva::browser {

class SelectElement final : public HtmlElement, public IHTMLSelectElementNotImpl {
public:
    using HtmlElement::HtmlElement;
    TORVA_BROWSER_ELEMENT_FORWARDERS

    // IHTMLSelectElement
    HRESULT STDMETHODCALLTYPE get_size(LONG* p) override;
    HRESULT STDMETHODCALLTYPE get_multiple(VARIANT_BOOL* p) override;
    HRESULT STDMETHODCALLTYPE put_name(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_name(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_options(IDispatch** p) override;
    HRESULT STDMETHODCALLTYPE put_selectedIndex(LONG v) override;
    HRESULT STDMETHODCALLTYPE get_selectedIndex(LONG* p) override;
    HRESULT STDMETHODCALLTYPE get_type(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_value(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_value(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_disabled(VARIANT_BOOL* p) override;
    HRESULT STDMETHODCALLTYPE get_form(IHTMLFormElement** p) override;
    HRESULT STDMETHODCALLTYPE get_length(LONG* p) override;
    HRESULT STDMETHODCALLTYPE item(VARIANT name, VARIANT index, IDispatch** pdisp) override;

protected:
    HRESULT QueryKind(REFIID iid, void** out) override;
};

} // namespace torva::browser
