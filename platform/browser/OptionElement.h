// An OPTION element of a select.
#pragma once

#include "HtmlElement.h"

namespace torva::browser {

class OptionElement final : public HtmlElement, public IHTMLOptionElementNotImpl {
public:
    using HtmlElement::HtmlElement;
    TORVA_BROWSER_ELEMENT_FORWARDERS

    // IHTMLOptionElement
    HRESULT STDMETHODCALLTYPE put_selected(VARIANT_BOOL v) override;
    HRESULT STDMETHODCALLTYPE get_selected(VARIANT_BOOL* p) override;
    HRESULT STDMETHODCALLTYPE put_value(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_value(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_defaultSelected(VARIANT_BOOL* p) override;
    HRESULT STDMETHODCALLTYPE get_index(LONG* p) override;
    HRESULT STDMETHODCALLTYPE get_text(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_form(IHTMLFormElement** p) override;

protected:
    HRESULT QueryKind(REFIID iid, void** out) override;
};

} // namespace torva::browser
