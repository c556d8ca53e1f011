// A FORM element: its controls through length/item, and submit, which sends
// the form's data to its action through the page's host.
#pragma once

#include "HtmlElement.h"

namespace torva::browser {

class FormElement final : public HtmlElement, public IHTMLFormElementNotImpl {
public:
    using HtmlElement::HtmlElement;
    TORVA_BROWSER_ELEMENT_FORWARDERS

    // IHTMLFormElement
    HRESULT STDMETHODCALLTYPE get_action(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_action(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_method(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_target(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_name(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_name(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_elements(IDispatch** p) override;
    HRESULT STDMETHODCALLTYPE submit() override;
    HRESULT STDMETHODCALLTYPE get_length(LONG* p) override;
    HRESULT STDMETHODCALLTYPE item(VARIANT name, VARIANT index, IDispatch** pdisp) override;
    HRESULT STDMETHODCALLTYPE tags(VARIANT tagName, IDispatch** pdisp) override;

protected:
    HRESULT QueryKind(REFIID iid, void** out) override;
};

} // namespace torva::browser
