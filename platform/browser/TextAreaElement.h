// A TEXTAREA element.
#pragma once

#include "HtmlElement.h"

namespace torva::browser {

class TextAreaElement final : public HtmlElement, public IHTMLTextAreaElementNotImpl {
public:
    using HtmlElement::HtmlElement;
    TORVA_BROWSER_ELEMENT_FORWARDERS

    // IHTMLTextAreaElement
    HRESULT STDMETHODCALLTYPE get_type(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_value(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_value(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_name(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_name(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_disabled(VARIANT_BOOL* p) override;
    HRESULT STDMETHODCALLTYPE get_form(IHTMLFormElement** p) override;
    HRESULT STDMETHODCALLTYPE get_defaultValue(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_readOnly(VARIANT_BOOL* p) override;
    HRESULT STDMETHODCALLTYPE get_rows(LONG* p) override;
    HRESULT STDMETHODCALLTYPE get_cols(LONG* p) override;

protected:
    HRESULT QueryKind(REFIID iid, void** out) override;

private:
    [[nodiscard]] HRESULT NumberAttribute(const wchar_t* name, LONG fallback, LONG* p);
};

} // namespace torva::browser
